// Copies: CUPS hands the filter every copy, collated, in one raster stream
// and the copies count on its command line; the filter prints each page once
// and finishes each copy. lp -n of a two-page text on queues that
// printer-install made.
#include "chain_fixture.h"
#include "raster_writer.h"

namespace {

struct CopiesCase {
    const char* name;
    std::vector<std::string> options;  // lpadmin -o, one each
    int copies;
    std::vector<std::string> expected;  // the job's outline
};

void PrintTo(const CopiesCase& copies, std::ostream* out)
{
    *out << copies.name;
}

const std::vector<std::string> PAGE = {SET_UP, IMAGE, FEED_AFTER_PAGE};
// Drawer 1 due before and after printing, with every copy: the pulses come
// before the copy's last page and after its cut.
const std::vector<std::string> LAST_PAGE_WITH_DRAWER = {SET_UP,         DRAWER_1,    IMAGE,   FEED_AFTER_PAGE,
                                                        FEED_TO_CUTTER, PARTIAL_CUT, DRAWER_1};

// Joins outline pieces.
std::vector<std::string> Outline(std::initializer_list<std::vector<std::string>> pieces)
{
    std::vector<std::string> outline;
    for (const std::vector<std::string>& piece : pieces)
        outline.insert(outline.end(), piece.begin(), piece.end());
    return outline;
}

// The images of `copies` collated copies of the document's pages.
std::vector<PageImage> CollatedCopies(const std::vector<PageImage>& document, int copies)
{
    std::vector<PageImage> images;
    for (int copy = 0; copy < copies; ++copy)
        images.insert(images.end(), document.begin(), document.end());
    return images;
}

class Copies : public ChainTest, public ::testing::WithParamInterface<CopiesCase> {};

TEST_P(Copies, EveryCopyIsPrintedInTurnAndFinished)
{
    const CopiesCase& copies = GetParam();
    const std::string document = SourceFile("tests/e2e/data/two-pages.txt");
    const std::string queue = NetworkQueueWith(copies.options);
    ASSERT_FALSE(queue.empty());
    const Receipt receipt = PrintOnNetwork(queue, document, {"-n", std::to_string(copies.copies)});
    EXPECT_EQ(copies.expected, receipt.outline);
    const std::vector<PageImage> pages = ImagesOf(ReferencePages(document));
    ASSERT_EQ(2u, pages.size());
    EXPECT_FALSE(pages[0] == pages[1]);
    EXPECT_EQ(CollatedCopies(pages, copies.copies), receipt.images) << "pages 1, 2, 1, 2, ...";
}

INSTANTIATE_TEST_SUITE_P(
    TwoPageDocument, Copies,
    ::testing::Values(
        // The defaults: a cut after pages 2, 4 and 6.
        CopiesCase{"ThreeCollatedCopiesEachCut", {}, 3, DefaultOutline(2, 3)},
        CopiesCase{"CutOnceAtTheEndOfTheJob",
                   {"ExecutePaperCut=0"},
                   2,
                   Outline({{SET_UP}, PAGE, PAGE, PAGE, PAGE, {FEED_TO_CUTTER, PARTIAL_CUT, INITIALISE}})},
        CopiesCase{"DrawerWithEveryCopy",
                   {"FireCashDrawer=1", "CashDrawer=1", "CashDrawerOpen1=2"},
                   2,
                   Outline({{SET_UP}, PAGE, LAST_PAGE_WITH_DRAWER, PAGE, LAST_PAGE_WITH_DRAWER, {INITIALISE}})}),
    [](const ::testing::TestParamInfo<CopiesCase>& info) { return info.param.name; });

// CUPS makes no copies of a raster file: the filter gets the copies count
// and a stream of one page. That page ends the job's last copy all the same.
class RasterCopies : public ChainTest {};

TEST_F(RasterCopies, OnePageRasterWithTwoCopiesIsCut)
{
    TempDir folder{"korla-raster-"};
    const RasterPage page = PageWithBlankTail(72, 300, 50);
    WriteRaster(folder / "receipt.ras", {page}, true);
    const std::string queue = NetworkQueueWith({});
    ASSERT_FALSE(queue.empty());
    const Receipt receipt = PrintOnNetwork(queue, folder / "receipt.ras", {"-n", "2"});
    EXPECT_EQ(DefaultOutline(1), receipt.outline);
    ASSERT_EQ(1u, receipt.images.size());
    EXPECT_EQ(TrimmedImage(page), receipt.images[0].data);
}

}  // namespace
