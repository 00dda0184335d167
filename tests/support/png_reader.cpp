#include "png_reader.h"

#include <gtest/gtest.h>
#include <png.h>

Picture readPng(const std::string& path)
{
    Picture picture;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        ADD_FAILURE() << path << ": " << image.message;
        return picture;
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> buffer(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, buffer.data(), 0, nullptr)) {
        ADD_FAILURE() << path << ": " << image.message;
        return picture;
    }
    picture.width = int(image.width);
    picture.height = int(image.height);
    picture.rgb = std::move(buffer);
    return picture;
}
