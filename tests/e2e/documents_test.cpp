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

}  // namespace
