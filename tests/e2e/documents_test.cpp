// Real documents through CUPS to the network printer on a queue that
// printer-install registered, with the PPD's defaults: every page one image,
// exactly as CUPS's own filters rasterise the document, without its blank
// tail; a cut after the job.
#include "chain_fixture.h"

namespace {

struct Document {
    const char* name;
    const char* file;
    std::vector<std::string> options;  // given to lp and to cupsfilter alike
    std::size_t pages;
};

void PrintTo(const Document& document, std::ostream* out)
{
    *out << document.name;
}

class PrintedDocuments : public ChainTest, public ::testing::WithParamInterface<Document> {};

std::vector<std::string> LpOptions(const std::vector<std::string>& options)
{
    std::vector<std::string> arguments;
    for (const std::string& option : options)
        arguments.insert(arguments.end(), {"-o", option});
    return arguments;
}

TEST_P(PrintedDocuments, EveryPageIsOneTrimmedImageAndTheJobIsCut)
{
    const std::string queue = NetworkQueueWith({});
    ASSERT_FALSE(queue.empty());
    const Document& document = GetParam();
    const std::vector<ReferencePage> reference = ReferencePages(SourceFile(document.file), document.options);
    ASSERT_EQ(document.pages, reference.size());
    const Receipt receipt = PrintOnNetwork(queue, SourceFile(document.file), LpOptions(document.options));

    EXPECT_EQ(DefaultOutline(static_cast<int>(document.pages)), receipt.outline);
    EXPECT_EQ(ImagesOf(reference), receipt.images);
    for (const ReferencePage& page : reference) {
        EXPECT_EQ(72u, page.image.bytesPerRow) << "576 dots, the 80 mm roll's printable width";
        EXPECT_GT(page.image.rows, 0u);
    }
    EXPECT_LT(reference.back().image.rows, reference.back().pageRows) << "the last page has a blank tail";
}

INSTANTIATE_TEST_SUITE_P(
    Documents, PrintedDocuments,
    ::testing::Values(Document{"TextReceipt", "samples/receipt.txt", {}, 1},
                      Document{"PdfReceiptWithGraphics", "tests/e2e/data/receipt.pdf", {}, 1},
                      Document{"TwoPageText", "tests/e2e/data/two-pages.txt", {}, 2},
                      Document{"LongReceiptOnMetrePages", "tests/e2e/data/long-receipt.txt",
                               {"PageSize=X80MMY1000MM"}, 2}),
    [](const ::testing::TestParamInfo<Document>& info) { return info.param.name; });

// A PDF receipt shorter than the queue's page (80 x 120 mm on the 200 mm
// page): CUPS's filters centre it on the page, so that it starts below some
// 50 mm of blank paper. With TrimTopBlankRows=1 it prints from its first
// row with ink, its rows otherwise as they are.
class TrimmedPrintedDocuments : public ChainTest {};

TEST_F(TrimmedPrintedDocuments, AShortPdfStartsAtItsFirstInk)
{
    const std::string document = SourceFile("tests/e2e/data/short-receipt.pdf");
    const std::vector<ReferencePage> reference = ReferencePages(document);
    ASSERT_EQ(1u, reference.size());
    const PageImage& page = reference[0].image;
    unsigned blankTop = 0;
    while (blankTop < page.rows &&
           page.data.substr(blankTop * page.bytesPerRow, page.bytesPerRow).find_first_not_of('\0') == std::string::npos)
        ++blankTop;
    EXPECT_GT(blankTop, 400u) << "some 50 mm of blank paper above the receipt";

    const std::string queue = NetworkQueueWith({"TrimTopBlankRows=1"});
    ASSERT_FALSE(queue.empty());
    const Receipt receipt = PrintOnNetwork(queue, document);
    EXPECT_EQ(DefaultOutline(1), receipt.outline);
    ASSERT_EQ(1u, receipt.images.size());
    EXPECT_EQ(page.rows - blankTop, receipt.images[0].rows);
    EXPECT_TRUE(page.data.substr(blankTop * page.bytesPerRow) == receipt.images[0].data);
}

}  // namespace
