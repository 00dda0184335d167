#include "row_fitter.h"

#include <cstring>

RowFitter::RowFitter(uint32_t sourceWidth, uint32_t sourceBytesPerLine, uint32_t printableWidth)
    : sourceWidth_(sourceWidth),
      sourceBytesPerLine_(sourceBytesPerLine),
      shift_((static_cast<int64_t>(sourceWidth) - printableWidth) / 2),
      row_(printableWidth / 8)
{
}

bool RowFitter::BitAt(const unsigned char* source, int64_t dot) const
{
    if (dot < 0 || dot >= sourceWidth_)
        return false;
    return (source[dot / 8] >> (7 - dot % 8)) & 1;
}

const unsigned char* RowFitter::Fit(const unsigned char* source)
{
    // The common case, a row as wide as the head: the bytes as they are.
    if (shift_ == 0 && sourceBytesPerLine_ >= row_.size() && sourceWidth_ >= row_.size() * 8)
        return source;
    for (size_t byte = 0; byte < row_.size(); ++byte) {
        unsigned char value = 0;
        for (int bit = 0; bit < 8; ++bit)
            value = static_cast<unsigned char>(value << 1 | BitAt(source, shift_ + static_cast<int64_t>(byte) * 8 + bit));
        row_[byte] = value;
    }
    return row_.data();
}
