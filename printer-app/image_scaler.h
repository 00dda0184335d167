// A grey image brought to the size it prints at, a row at a time. Each dot
// is the average of the part of the image it covers, so that a photo or a
// fine pattern made smaller keeps its tone for the dithering after it.
#ifndef KORLA_IMAGE_SCALER_H
#define KORLA_IMAGE_SCALER_H

#include <cstdint>
#include <vector>

#include "image_document.h"

class ImageScaler {
public:
    // The image scaled to width x height dots; both at least 1.
    ImageScaler(const GreyImage& image, uint32_t width, uint32_t height);

    // The next row, top to bottom: width grey bytes into out.
    void NextRow(unsigned char* out);

private:
    // The image's source row, scaled across, into sums_ with a weight.
    void AddSourceRow(uint32_t row, double weight);

    // One dot's share of an image column.
    struct Share {
        uint32_t column;
        double weight;
    };

    const GreyImage& image_;
    uint32_t width_;
    uint32_t height_;
    uint32_t row_ = 0;
    std::vector<std::vector<Share>> shares_;  // per dot across
    std::vector<double> sums_;
};

#endif
