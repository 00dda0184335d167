// How a job's greys become the printer's dots. print-content-optimize
// chooses: text a threshold, so that letters and barcodes stay sharp;
// graphics (and text-and-graphics) the ordered dither; photo error
// diffusion; auto decides from the image. print-quality draft prints every
// grey as black or white, as PAPPL does. The job's print-darkness and the
// printer's printer-darkness-configured (50 is neutral) make greys darker
// or lighter.
#ifndef KORLA_ONE_BIT_CHOICE_H
#define KORLA_ONE_BIT_CHOICE_H

#include <pappl/pappl.h>

#include "image_document.h"
#include "one_bit_image.h"

// For an image the application reads itself.
OneBitOptions OneBitOptionsFor(const pappl_pr_options_t& options, const GreyImage& image);

// For a raster stream, whose grey rows PAPPL turns into dots with a matrix
// before the driver sees them: error diffusion is not to be had there, so
// photo and auto take the ordered dither.
OneBitOptions OneBitOptionsForStream(const pappl_pr_options_t& options);

// What auto takes for an image: a threshold for one that is black and white
// but for the edges of its shapes, error diffusion for one of many greys
// (a photo), the ordered dither for a few flat greys (a graphic).
OneBitMethod MethodForImage(const GreyImage& image);

#endif
