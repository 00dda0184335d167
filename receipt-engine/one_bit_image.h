// Grey pictures made into the printer's one-bit rows: a set bit is a
// printed (black) dot, the first dot in the high bit of the first byte.
//
// Three ways to choose the dots:
//   Threshold       a dot where the grey is darker than the threshold level,
//                   128 unless chosen (127 and darker): text, lines and
//                   barcodes stay sharp, greys become black or white;
//   OrderedDither   a 16 x 16 matrix of thresholds: flat greys become even,
//                   stable patterns (graphics, logos);
//   ErrorDiffusion  Floyd-Steinberg, in serpentine order, each dot decided
//                   by the threshold level once its neighbours' errors are
//                   added: the most detail in photos.
// Pure black and pure white come out as they are whichever the method.
//
// Darkness shifts the greys in between before the dots are chosen: 0 keeps
// them, -100 lightens the most, +100 darkens the most.
#ifndef KORLA_ONE_BIT_IMAGE_H
#define KORLA_ONE_BIT_IMAGE_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class OneBitMethod { Threshold, OrderedDither, ErrorDiffusion };

// The threshold level unless one is chosen (printed documents never choose
// one): 127 and darker print.
inline constexpr int DEFAULT_THRESHOLD = 128;

struct OneBitOptions {
    OneBitMethod method = OneBitMethod::Threshold;
    int darkness = 0;                   // -100 to 100
    int threshold = DEFAULT_THRESHOLD;  // 1 to 255; the ordered dither has its matrix instead
};

// "a threshold", "the ordered dither", "error diffusion": for messages.
const char* OneBitMethodName(OneBitMethod method);

// "threshold", "ordered", "diffusion": the method's word on a command line
// or a form, and back; false for a word that names none.
const char* OneBitMethodWord(OneBitMethod method);
bool ParseOneBitMethod(const std::string& word, OneBitMethod& method);

// Side of the threshold matrix.
inline constexpr int MATRIX_SIZE = 16;
using ThresholdMatrix = std::array<std::array<unsigned char, MATRIX_SIZE>, MATRIX_SIZE>;

// The thresholds of the threshold and ordered methods: a dot is printed at
// column x of row y where grey <= matrix[y % 16][x % 16]. Darkness is
// folded in, so the matrix alone decides. (Error diffusion has none.)
ThresholdMatrix ThresholdsFor(const OneBitOptions& options);

// Converts a picture row by row, top to bottom; error diffusion carries its
// error from one row to the next.
class OneBitConverter {
public:
    OneBitConverter(uint32_t width, const OneBitOptions& options);

    uint32_t BytesPerLine() const { return (width_ + 7) / 8; }
    // grey: width bytes, 0 black to 255 white; out: BytesPerLine() bytes.
    void ConvertRow(const unsigned char* grey, unsigned char* out);

private:
    void Diffuse(const unsigned char* grey, unsigned char* out);

    uint32_t width_;
    OneBitOptions options_;
    ThresholdMatrix thresholds_;
    std::array<unsigned char, 256> tone_;  // darkness applied to a grey
    uint32_t row_ = 0;
    // Error diffusion: the error carried into this row and the next, in
    // 1/16 of a grey level, with a spare column at each end.
    std::vector<int32_t> errorHere_;
    std::vector<int32_t> errorNext_;
};

// A whole picture, width x height grey bytes row after row; the rows of
// (width + 7) / 8 bytes each.
std::vector<unsigned char> ToOneBit(const unsigned char* grey, uint32_t width, uint32_t height,
                                    const OneBitOptions& options);

#endif
