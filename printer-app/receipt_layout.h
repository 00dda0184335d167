// How long a receipt may be, and where an image goes on it. A receipt is
// as long as its content, up to the longest receipt the printer takes; a
// medium that the job names keeps its length.
#ifndef KORLA_RECEIPT_LAYOUT_H
#define KORLA_RECEIPT_LAYOUT_H

#include <pappl/pappl.h>

#include <cstdint>

struct LengthLimit {
    uint32_t rows;  // the most rows a page prints
    bool named;     // the job named its medium: content is fitted to it, not cut
};

LengthLimit LengthLimitFor(pappl_job_t* job, const pappl_pr_options_t& options);

// An image's place on the paper, in dots.
struct ImageLayout {
    uint32_t width;        // the image scaled across
    uint32_t height;       // and down
    uint32_t left;         // dots left blank before it
    uint32_t printedRows;  // rows that print: height, or fewer when the receipt would be too long
};

// The image at its size (pixels per inch, a dot a pixel when the file gives
// none), made smaller to fit the printable width, never larger; scaled to
// the printable width when print-scaling is fit or fill. The length follows
// the width: an image longer than the limit is cut there, or fitted into a
// named medium's length.
ImageLayout LayOutImage(uint32_t imageWidth, uint32_t imageHeight, int ppi, uint32_t printableWidth,
                        pappl_scaling_t scaling, const LengthLimit& limit);

#endif
