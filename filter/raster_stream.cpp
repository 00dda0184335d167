#include "raster_stream.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <unistd.h>

namespace {

// What is read past at a time when rows are not kept.
constexpr size_t SKIP_PIECE_BYTES = size_t{1} << 20;

}  // namespace

uint64_t PageDataBytes(const cups_page_header2_t& header)
{
    const uint64_t planes = header.cupsColorOrder == CUPS_ORDER_PLANAR ? std::max(header.cupsNumColors, 1u) : 1;
    return uint64_t{header.cupsBytesPerLine} * header.cupsHeight * planes;
}

bool ReadPastPixels(cups_raster_t* ras, uint64_t bytes)
{
    std::vector<unsigned char> piece(static_cast<size_t>(std::min<uint64_t>(bytes, SKIP_PIECE_BYTES)));
    while (bytes > 0) {
        const unsigned len = static_cast<unsigned>(std::min<uint64_t>(bytes, piece.size()));
        if (cupsRasterReadPixels(ras, piece.data(), len) != len)
            return false;
        bytes -= len;
    }
    return true;
}

RasterStream::RasterStream(int fd, std::function<bool()> cancelled) : fd_(fd), cancelled_(std::move(cancelled)) {}

RasterStream::~RasterStream()
{
    if (ras_ != nullptr)
        cupsRasterClose(ras_);
}

// A read that a signal interrupts is tried again, unless the signal
// cancelled the job; a cancelled job reads nothing more.
ssize_t RasterStream::Read(void* ctx, unsigned char* buffer, size_t bytes)
{
    auto* stream = static_cast<RasterStream*>(ctx);
    ssize_t got;
    do {
        if (stream->cancelled_())
            return -1;
        got = read(stream->fd_, buffer, bytes);
    } while (got < 0 && errno == EINTR);
    if (got == 0)
        stream->ended_ = true;
    if (got > 0 && stream->capturing_) {
        const size_t room = sizeof(cups_page_header2_t) - std::min(stream->seen_.size(), sizeof(cups_page_header2_t));
        stream->seen_.insert(stream->seen_.end(), buffer, buffer + std::min(static_cast<size_t>(got), room));
    }
    return got;
}

bool RasterStream::Open()
{
    capturing_ = true;
    ras_ = cupsRasterOpenIO(Read, this, CUPS_RASTER_READ);
    capturing_ = false;
    if (ras_ != nullptr && seen_.size() >= sizeof sync_)
        memcpy(&sync_, seen_.data(), sizeof sync_);
    return ras_ != nullptr;
}

// Of an uncompressed stream, libcups reads exactly the bytes of a header,
// so after one it refuses, the stream stands at the page's rows.
bool RasterStream::Uncompressed() const
{
    return sync_ == CUPS_RASTER_SYNC || sync_ == CUPS_RASTER_REVSYNC || sync_ == CUPS_RASTER_SYNCv1 ||
           sync_ == CUPS_RASTER_REVSYNCv1;
}

bool RasterStream::SwappedBytes() const
{
    return sync_ == CUPS_RASTER_REVSYNC || sync_ == CUPS_RASTER_REVSYNCv1;
}

RasterStream::Header RasterStream::ReadHeader(cups_page_header2_t& header)
{
    seen_.clear();
    ended_ = false;
    capturing_ = true;
    const unsigned read = cupsRasterReadHeader2(ras_, &header);
    capturing_ = false;
    if (read)
        return Header::Page;
    // A compressed stream's header may come whole from what libcups read
    // ahead: then no read ends the stream, and the header was refused.
    if (cancelled_() || (ended_ && seen_.empty()))
        return Header::End;
    if (ended_)
        return Header::CutOff;
    return StepOverDamagedPage() ? Header::Damaged : Header::Unreadable;
}

// The rows of a page whose header libcups refused can be stepped over when
// the header still tells how many bytes they take: the stream is
// uncompressed, its rows come one after another (chunked order), and its
// width, bits per pixel and bytes per row agree with each other.
bool RasterStream::StepOverDamagedPage()
{
    if (!Uncompressed())
        return false;
    // The fields are read as the 32-bit numbers the stream holds: a damaged
    // one need not be a value of its type.
    const auto field = [this](size_t offset) {
        uint32_t value = 0;
        if (offset + sizeof value <= seen_.size())
            memcpy(&value, seen_.data() + offset, sizeof value);
        return SwappedBytes() ? __builtin_bswap32(value) : value;
    };
    const uint32_t width = field(offsetof(cups_page_header2_t, cupsWidth));
    const uint32_t height = field(offsetof(cups_page_header2_t, cupsHeight));
    const uint32_t bitsPerPixel = field(offsetof(cups_page_header2_t, cupsBitsPerPixel));
    const uint32_t bytesPerLine = field(offsetof(cups_page_header2_t, cupsBytesPerLine));
    const uint32_t order = field(offsetof(cups_page_header2_t, cupsColorOrder));
    if (order != CUPS_ORDER_CHUNKED || bytesPerLine == 0 ||
        bytesPerLine != (uint64_t{width} * bitsPerPixel + 7) / 8)
        return false;
    SkipBytes(uint64_t{bytesPerLine} * height);
    return true;
}

void RasterStream::SkipPage(const cups_page_header2_t& header)
{
    if (Uncompressed())
        SkipBytes(PageDataBytes(header));
    else
        ReadPastPixels(ras_, PageDataBytes(header));
}

// A file is skipped by seeking; a pipe is read and the bytes dropped.
void RasterStream::SkipBytes(uint64_t bytes)
{
    if (bytes <= static_cast<uint64_t>(INT64_MAX) && lseek(fd_, static_cast<off_t>(bytes), SEEK_CUR) >= 0)
        return;
    std::vector<unsigned char> piece(static_cast<size_t>(std::min<uint64_t>(bytes, SKIP_PIECE_BYTES)));
    while (bytes > 0) {
        const ssize_t got = Read(this, piece.data(), static_cast<size_t>(std::min<uint64_t>(bytes, piece.size())));
        if (got <= 0)
            return;
        bytes -= static_cast<uint64_t>(got);
    }
}
