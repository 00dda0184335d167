// How long the printer application takes to make a 500 mm photo receipt
// (576 x 4000 dots) into one-bit rows: scaling from twice the width, then
// each way of choosing the dots. Prints milliseconds; nothing here is a
// test.
//
//   build/plain/bench/one_bit_speed [REPEATS]
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "image_scaler.h"
#include "one_bit_image.h"

namespace {

constexpr uint32_t WIDTH = 576, HEIGHT = 4000;

GreyImage Photo(uint32_t width, uint32_t height)
{
    GreyImage image{width, height, 0, std::vector<unsigned char>(size_t{width} * height)};
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x)
            image.pixels[size_t{y} * width + x] = static_cast<unsigned char>(128 + 120 * std::sin(x / 23.0 + y / 37.0));
    }
    return image;
}

template <typename Work>
double Milliseconds(int repeats, Work work)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < repeats; ++i)
        work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / repeats;
}

}  // namespace

int main(int argc, char* argv[])
{
    const int repeats = argc > 1 ? atoi(argv[1]) : 5;
    const GreyImage large = Photo(2 * WIDTH, 2 * HEIGHT);
    std::vector<unsigned char> grey(size_t{WIDTH} * HEIGHT);
    printf("scale 1152x8000 to 576x4000: %.1f ms\n", Milliseconds(repeats, [&] {
               ImageScaler scaler(large, WIDTH, HEIGHT);
               for (uint32_t y = 0; y < HEIGHT; ++y)
                   scaler.NextRow(grey.data() + size_t{y} * WIDTH);
           }));
    const struct {
        const char* name;
        OneBitMethod method;
    } methods[] = {{"threshold", OneBitMethod::Threshold},
                   {"ordered dither", OneBitMethod::OrderedDither},
                   {"error diffusion", OneBitMethod::ErrorDiffusion}};
    for (const auto& method : methods) {
        size_t bytes = 0;
        const double ms =
            Milliseconds(repeats, [&] { bytes = ToOneBit(grey.data(), WIDTH, HEIGHT, {method.method, 0}).size(); });
        printf("%s 576x4000: %.1f ms (%zu bytes)\n", method.name, ms, bytes);
    }
    return 0;
}
