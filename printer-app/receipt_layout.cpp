#include "receipt_layout.h"

#include <algorithm>

#include "drivers.h"

namespace {

uint32_t Scaled(uint64_t value, uint64_t numerator, uint64_t denominator)
{
    return static_cast<uint32_t>(std::max<uint64_t>(1, (value * numerator + denominator / 2) / denominator));
}

bool NamesMedium(pappl_job_t* job)
{
    return papplJobGetAttribute(job, "media") != nullptr || papplJobGetAttribute(job, "media-col") != nullptr;
}

}  // namespace

LengthLimit LengthLimitFor(pappl_job_t* job, const pappl_pr_options_t& options)
{
    const uint32_t longest = MaxReceiptRows(papplJobGetPrinter(job));
    if (!NamesMedium(job) || options.media.size_length <= 0)
        return {longest, false};
    const uint32_t rows = Scaled(static_cast<uint64_t>(options.media.size_length), PRINTER_DPI, 2540);
    return {std::min(rows, longest), true};
}

ImageLayout LayOutImage(uint32_t imageWidth, uint32_t imageHeight, int ppi, uint32_t printableWidth,
                        pappl_scaling_t scaling, const LengthLimit& limit)
{
    const uint32_t naturalWidth = ppi > 0 ? Scaled(imageWidth, PRINTER_DPI, static_cast<uint64_t>(ppi)) : imageWidth;
    const bool toWidth = scaling == PAPPL_SCALING_FIT || scaling == PAPPL_SCALING_FILL;
    ImageLayout layout{};
    layout.width = toWidth ? printableWidth : std::min(naturalWidth, printableWidth);
    layout.height = Scaled(imageHeight, layout.width, imageWidth);
    if (limit.named && layout.height > limit.rows) {
        layout.height = limit.rows;
        layout.width = std::min(printableWidth, Scaled(imageWidth, limit.rows, imageHeight));
    }
    layout.printedRows = std::min(layout.height, limit.rows);
    layout.left = (printableWidth - layout.width) / 2;
    return layout;
}
