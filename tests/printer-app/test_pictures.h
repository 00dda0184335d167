// Pictures for the printer application's tests: grey images and the PNG
// and JPEG files that hold them, read back by the application's readers,
// and how a printed picture's tone is compared with its source.
#pragma once

#include <string>
#include <vector>

#include "image_document.h"
#include "png_reader.h"

struct GreyPicture {
    unsigned width = 0;
    unsigned height = 0;
    std::vector<unsigned char> pixels;  // 0 black to 255 white, row after row

    unsigned char& at(unsigned x, unsigned y) { return pixels[size_t{y} * width + x]; }
};

// A receipt of the things that print in grey: from the top, a solid black
// bar, a 50% grey box, a logo of a grey ramp from white to black, a
// barcode and a photo (soft rings of every grey). Each a band of
// bandHeight rows, 16 white rows apart.
struct ReceiptBand {
    const char* name;
    unsigned top;
};
GreyPicture GreyReceipt(unsigned width, unsigned bandHeight, std::vector<ReceiptBand>* bands = nullptr);

std::string GreyPng(const GreyPicture& picture);
// A JPEG of the picture; its JFIF density says ppi when not 0.
std::string GreyJpeg(const GreyPicture& picture, int quality = 95, int ppi = 0);

// Limits no test picture reaches.
inline constexpr ImageLimits ROOMY_LIMITS{16384, 16384, size_t{1} << 30};

// What the reader makes of a file of these bytes.
ImageDocument ReadBytes(ImageReader reader, const std::string& bytes, const ImageLimits& limits = ROOMY_LIMITS);

// The mean tone of each block of the paper picture, 0 black to 255 white,
// against the source's: the largest difference between the two, block by
// block, over the part of the picture the source covers. The source sits in
// the middle of the head's width, its top row at the paper's top.
int LargestToneDifference(const Picture& paper, unsigned headWidth, const GreyPicture& source, unsigned block);
