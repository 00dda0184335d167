#include "logo_image.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "image_reader.h"

namespace {

// Each of `to` values the mean of the span of `from` values it covers,
// partly covered values in proportion. Values are step apart in `line`.
template <typename Value>
void ResampleLine(const Value* line, size_t step, unsigned from, double* out, size_t outStep, unsigned to)
{
    const double scale = static_cast<double>(from) / to;
    for (unsigned i = 0; i < to; ++i) {
        const double start = i * scale;
        const double end = start + scale;
        double sum = 0;
        for (unsigned j = static_cast<unsigned>(start); j < from && j < end; ++j)
            sum += line[j * step] * (std::min(end, j + 1.0) - std::max(start, static_cast<double>(j)));
        out[i * outStep] = sum / scale;
    }
}

}  // namespace

GreyImage ScaledToWidth(const GreyImage& image, unsigned width)
{
    const unsigned height =
        std::max(1u, static_cast<unsigned>(std::lround(static_cast<double>(image.height) * width / image.width)));
    std::vector<double> across(size_t{width} * image.height);
    for (unsigned y = 0; y < image.height; ++y)
        ResampleLine(&image.pixels[size_t{y} * image.width], 1, image.width, &across[size_t{y} * width], 1, width);
    std::vector<double> down(size_t{width} * height);
    for (unsigned x = 0; x < width; ++x)
        ResampleLine(&across[x], width, image.height, &down[x], width, height);

    GreyImage scaled;
    scaled.width = width;
    scaled.height = height;
    scaled.pixels.reserve(down.size());
    for (double value : down)
        scaled.pixels.push_back(static_cast<unsigned char>(std::clamp(std::lround(value), 0L, 255L)));
    return scaled;
}

std::optional<PreparedLogo> PrepareLogo(const LogoRecipe& recipe, unsigned paperWidth, std::string& error)
{
    ImageDocument document = ReadImageFile(recipe.path, LOGO_IMAGE_LIMITS);
    if (!document.image) {
        error = document.error;
        return std::nullopt;
    }
    GreyImage image = std::move(*document.image);
    PreparedLogo logo;
    logo.imageWidth = image.width;
    logo.imageHeight = image.height;
    if (image.width > paperWidth)
        image = ScaledToWidth(image, paperWidth);
    logo.bitmap.width = image.width;
    logo.bitmap.height = image.height;
    logo.bitmap.rows = ToOneBit(image.pixels.data(), image.width, image.height, recipe.oneBit);
    return logo;
}

std::string DescribeLogo(const LogoRecipe& recipe, const PreparedLogo& logo)
{
    std::string text = std::to_string(logo.imageWidth) + "x" + std::to_string(logo.imageHeight) + " pixels, ";
    if (logo.bitmap.width != logo.imageWidth)
        text += "scaled to ";
    text += std::to_string(logo.bitmap.width) + "x" + std::to_string(logo.bitmap.height) + " dots, ";
    if (recipe.oneBit.method == OneBitMethod::Threshold)
        return text + "threshold " + std::to_string(recipe.oneBit.threshold);
    return text + OneBitMethodName(recipe.oneBit.method);
}
