// Fits the rows that PAPPL hands over to the printer's printable width:
// a wider row keeps its middle (an 80 mm page comes 639 dots wide from a
// driverless queue, the head prints 576), a narrower one is centred.
#ifndef KORLA_ROW_FITTER_H
#define KORLA_ROW_FITTER_H

#include <cstdint>
#include <vector>

class RowFitter {
public:
    // sourceWidth: dots of the incoming row, one bit each, a set bit a
    // printed dot; printableWidth: dots of the printed row, a multiple of 8.
    RowFitter(uint32_t sourceWidth, uint32_t sourceBytesPerLine, uint32_t printableWidth);

    uint32_t BytesPerLine() const { return static_cast<uint32_t>(row_.size()); }
    // The printed row for an incoming one, valid until the next call.
    const unsigned char* Fit(const unsigned char* source);

private:
    bool BitAt(const unsigned char* source, int64_t dot) const;

    uint32_t sourceWidth_;
    uint32_t sourceBytesPerLine_;
    int64_t shift_;  // incoming dot of printed dot 0; negative when centred
    std::vector<unsigned char> row_;
};

#endif
