#include "one_bit_image.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int WHITE = 255;
constexpr int MAX_DARKNESS = 100;

struct MethodNames {
    OneBitMethod method;
    const char* word;  // on a command line or a form
    const char* name;  // in a message
};

constexpr MethodNames METHOD_NAMES[] = {
    {OneBitMethod::Threshold, "threshold", "a threshold"},
    {OneBitMethod::OrderedDither, "ordered", "the ordered dither"},
    {OneBitMethod::ErrorDiffusion, "diffusion", "error diffusion"},
};

const MethodNames& NamesOf(OneBitMethod method)
{
    for (const MethodNames& names : METHOD_NAMES) {
        if (names.method == method)
            return names;
    }
    return METHOD_NAMES[0];
}

// A dot prints where the grey is darker than this; white never prints.
int ThresholdLevel(const OneBitOptions& options)
{
    return std::clamp(options.threshold, 1, WHITE);
}

// Darkness as a gamma on the grey: +100 squares it (darker), -100 takes its
// square root (lighter); black and white stay where they are.
std::array<unsigned char, 256> ToneCurve(int darkness)
{
    const double gamma = std::pow(2.0, std::clamp(darkness, -MAX_DARKNESS, MAX_DARKNESS) / double(MAX_DARKNESS));
    std::array<unsigned char, 256> tone{};
    for (int grey = 0; grey <= WHITE; ++grey)
        tone[grey] = static_cast<unsigned char>(std::lround(WHITE * std::pow(grey / double(WHITE), gamma)));
    return tone;
}

// The 16 x 16 Bayer matrix, 0 to 255, each value once.
int Bayer(int x, int y)
{
    int value = 0;
    for (int bit = 0; bit < 4; ++bit) {
        const int xb = (x >> bit) & 1;
        const int yb = (y >> bit) & 1;
        value |= ((xb ^ yb) << (2 * (3 - bit) + 1)) | (yb << (2 * (3 - bit)));
    }
    return value;
}

// The largest grey whose toned value is at most the threshold, so that
// comparing a raw grey with it gives what comparing the toned grey would.
unsigned char Untoned(const std::array<unsigned char, 256>& tone, int threshold)
{
    int grey = 0;
    while (grey < WHITE && tone[grey + 1] <= threshold)
        ++grey;
    return static_cast<unsigned char>(grey);
}

}  // namespace

const char* OneBitMethodName(OneBitMethod method)
{
    return NamesOf(method).name;
}

const char* OneBitMethodWord(OneBitMethod method)
{
    return NamesOf(method).word;
}

bool ParseOneBitMethod(const std::string& word, OneBitMethod& method)
{
    for (const MethodNames& names : METHOD_NAMES) {
        if (word == names.word) {
            method = names.method;
            return true;
        }
    }
    return false;
}

ThresholdMatrix ThresholdsFor(const OneBitOptions& options)
{
    const std::array<unsigned char, 256> tone = ToneCurve(options.darkness);
    ThresholdMatrix matrix{};
    for (int y = 0; y < MATRIX_SIZE; ++y) {
        for (int x = 0; x < MATRIX_SIZE; ++x) {
            // The lightest grey that prints; the ordered thresholds run from 0
            // to 254, so that white never prints.
            const int lightest = options.method == OneBitMethod::OrderedDither ? Bayer(x, y) * WHITE / 256
                                                                                : ThresholdLevel(options) - 1;
            matrix[y][x] = Untoned(tone, lightest);
        }
    }
    return matrix;
}

OneBitConverter::OneBitConverter(uint32_t width, const OneBitOptions& options)
    : width_(width), options_(options), thresholds_(ThresholdsFor(options)), tone_(ToneCurve(options.darkness))
{
    if (options.method == OneBitMethod::ErrorDiffusion) {
        errorHere_.assign(width + 2, 0);
        errorNext_.assign(width + 2, 0);
    }
}

void OneBitConverter::ConvertRow(const unsigned char* grey, unsigned char* out)
{
    std::fill(out, out + BytesPerLine(), 0);
    if (options_.method == OneBitMethod::ErrorDiffusion) {
        Diffuse(grey, out);
    } else {
        const auto& thresholds = thresholds_[row_ % MATRIX_SIZE];
        for (uint32_t x = 0; x < width_; ++x) {
            if (grey[x] <= thresholds[x % MATRIX_SIZE])
                out[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
        }
    }
    ++row_;
}

// Floyd-Steinberg: 7/16 of a dot's error to the next dot of the row, 3/16,
// 5/16 and 1/16 to the dots below. The error is kept in 1/256 of a grey
// level. Black and white dots print as they are and pass no error on, so
// that text and barcodes beside a photo stay sharp.
void OneBitConverter::Diffuse(const unsigned char* grey, unsigned char* out)
{
    constexpr int32_t SCALE = 256;
    const int32_t threshold = ThresholdLevel(options_) * SCALE;
    const bool leftToRight = row_ % 2 == 0;
    const int step = leftToRight ? 1 : -1;
    std::fill(errorNext_.begin(), errorNext_.end(), 0);
    for (uint32_t i = 0; i < width_; ++i) {
        const uint32_t x = leftToRight ? i : width_ - 1 - i;
        const size_t at = x + 1;  // index with the spare column
        const int toned = tone_[grey[x]];
        int32_t error = 0;
        bool black = toned == 0;
        if (toned != 0 && toned != WHITE) {
            const int32_t value = toned * SCALE + errorHere_[at];
            black = value < threshold;
            error = value - (black ? 0 : WHITE * SCALE);
        }
        if (black)
            out[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
        errorHere_[at + step] += error * 7 / 16;
        errorNext_[at - step] += error * 3 / 16;
        errorNext_[at] += error * 5 / 16;
        errorNext_[at + step] += error / 16;
    }
    errorHere_.swap(errorNext_);
}

std::vector<unsigned char> ToOneBit(const unsigned char* grey, uint32_t width, uint32_t height,
                                    const OneBitOptions& options)
{
    OneBitConverter converter(width, options);
    std::vector<unsigned char> rows(size_t{converter.BytesPerLine()} * height);
    for (uint32_t y = 0; y < height; ++y)
        converter.ConvertRow(grey + size_t{y} * width, rows.data() + size_t{y} * converter.BytesPerLine());
    return rows;
}
