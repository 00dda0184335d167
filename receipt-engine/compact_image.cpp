// Compact image mode, for printers on slow links: a page's image goes out as
// bands. A run of blank rows inside the page becomes a paper feed instead of
// image data, and each band of inked rows is one raster image only as wide
// as its rightmost inked byte, still starting at the left margin.
#include <algorithm>

#include "receipt_engine.h"

namespace {

constexpr int MAX_FEED_UNITS = 255;           // ESC J n carries one byte
// The set-up's motion unit is 1/180 inch; a row is 1/203 inch.
constexpr long MOTION_UNITS_PER_INCH = 180;
constexpr long ROWS_PER_INCH = 203;
// What a split costs: the next band's image command and the feed.
constexpr size_t SPLIT_COST = 8 + 3;

// One stretch of the page: inked rows (width > 0, in bytes) or blank rows.
struct Stretch {
    uint32_t firstRow;
    uint32_t rows;
    size_t width;  // 0 for blank rows
};

// How many bytes of the row carry ink: up to its rightmost inked byte.
size_t InkedWidth(const unsigned char* row, size_t bytesPerLine)
{
    size_t width = bytesPerLine;
    while (width > 0 && row[width - 1] == 0)
        --width;
    return width;
}

// The page's rows as alternating stretches of inked and blank rows.
std::vector<Stretch> RowStretches(const JOBINFO& page)
{
    const size_t bytesPerLine = page.nBytesPerLine;
    const uint32_t rows = page.nPageHeight - page.nLinesToRemove;
    std::vector<Stretch> stretches;
    for (uint32_t row = 0; row < rows; ++row) {
        const size_t width = InkedWidth(page.szdatabuffer.get() + row * bytesPerLine, bytesPerLine);
        if (!stretches.empty() && (stretches.back().width > 0) == (width > 0)) {
            stretches.back().rows += 1;
            stretches.back().width = std::max(stretches.back().width, width);
        } else {
            stretches.push_back({row, 1, width});
        }
    }
    return stretches;
}

// The bands and feeds a page goes out as. A blank run between two bands
// joins them when printing it costs no more bytes than a split would; the
// rows above the first ink are always fed. (The page ends with ink: its
// blank tail is never printed.)
std::vector<Stretch> BandsAndFeeds(const JOBINFO& page)
{
    const std::vector<Stretch> stretches = RowStretches(page);
    std::vector<Stretch> result;
    for (size_t i = 0; i < stretches.size(); ++i) {
        const Stretch& stretch = stretches[i];
        const bool gapBetweenBands = stretch.width == 0 && i > 0 && i + 1 < stretches.size();
        if (gapBetweenBands) {
            Stretch& before = result.back();
            const Stretch& after = stretches[i + 1];
            const size_t width = std::max(before.width, after.width);
            if (stretch.rows * width <= SPLIT_COST) {
                before.rows += stretch.rows + after.rows;
                before.width = width;
                ++i;
                continue;
            }
        }
        result.push_back(stretch);
    }
    return result;
}

}  // namespace

void ReceiptEngine::PrintCompactImage(const JOBINFO& page)
{
    const std::vector<Stretch> stretches = BandsAndFeeds(page);
    if (stretches.empty())
        return;
    const unsigned char alignLeft[3] = {0x1b, 0x61, 0x00};  // ESC a 0
    WriteToPrinter(alignLeft, sizeof alignLeft);
    for (const Stretch& s : stretches) {
        if (s.width == 0)
            FeedRows(s.rows);
        else
            PrintBand(page, s.firstRow, s.rows, s.width);
    }
}

// The band's rows, cut to its width, as images of at most 65535 rows.
void ReceiptEngine::PrintBand(const JOBINFO& page, uint32_t firstRow, uint32_t rows, size_t width)
{
    for (uint32_t done = 0; done < rows;) {
        const uint32_t n = std::min(rows - done, MAX_IMAGE_FIELD);
        bandBuffer_.resize(n * width);
        for (uint32_t r = 0; r < n; ++r)
            std::copy_n(page.szdatabuffer.get() + (firstRow + done + r) * size_t{page.nBytesPerLine}, width,
                        bandBuffer_.begin() + r * width);
        SendImageCommand(static_cast<uint32_t>(width), n, bandBuffer_.size());
        WriteImageData(bandBuffer_.data(), bandBuffer_.size());
        done += n;
    }
}

// Feeds the paper by `rows` rows in motion units. A feed is seldom a whole
// number of units, so the job's feeds are counted together and each sends
// what brings the total nearest to the rows fed so far: the paper is never
// more than half a unit (about half a row) from where the rows would have
// left it, however many feeds the receipt takes.
void ReceiptEngine::FeedRows(uint32_t rows)
{
    feedRows_ += rows;
    const long target = (feedRows_ * MOTION_UNITS_PER_INCH * 2 + ROWS_PER_INCH) / (2 * ROWS_PER_INCH);
    long units = target - feedUnits_;
    feedUnits_ = target;
    while (units > 0) {
        const int n = static_cast<int>(std::min<long>(units, MAX_FEED_UNITS));
        const unsigned char feed[3] = {0x1b, 0x4a, static_cast<unsigned char>(n)};  // ESC J n
        WriteToPrinter(feed, sizeof feed);
        units -= n;
    }
}
