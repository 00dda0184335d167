// The job's CUPS raster as libcups reads it, through a read call of our own:
// a cancelled job stops the reading at once (libcups's own read call would
// wait on for input), and the bytes of every page header are seen as they
// pass, so that a page whose header libcups refuses can be stepped over
// where the raster after it can still be read.
#ifndef KORLA_RASTER_STREAM_H
#define KORLA_RASTER_STREAM_H

#include <cstdint>
#include <functional>
#include <vector>

#include <cups/raster.h>

class RasterStream {
public:
    // cancelled tells when the job has been cancelled: the stream then ends.
    RasterStream(int fd, std::function<bool()> cancelled);
    ~RasterStream();
    RasterStream(const RasterStream&) = delete;
    RasterStream& operator=(const RasterStream&) = delete;

    // False when the input does not start as a CUPS raster stream.
    bool Open();
    cups_raster_t* Raster() const { return ras_; }

    enum class Header {
        Page,        // a page whose rows follow
        Damaged,     // refused by libcups; its rows have been stepped over
        Unreadable,  // refused, and where its rows end cannot be told: nothing after it can be read
        CutOff,      // the stream ends inside it
        End,         // the stream ends
    };
    Header ReadHeader(cups_page_header2_t& header);

    // Reads past the rows of the page whose header was just read, without
    // keeping them: an uncompressed stream skips them, a compressed one
    // decodes them.
    void SkipPage(const cups_page_header2_t& header);

private:
    static ssize_t Read(void* ctx, unsigned char* buffer, size_t bytes);
    bool Uncompressed() const;
    bool SwappedBytes() const;
    bool StepOverDamagedPage();
    void SkipBytes(uint64_t bytes);

    int fd_;
    std::function<bool()> cancelled_;
    cups_raster_t* ras_ = nullptr;
    uint32_t sync_ = 0;
    bool capturing_ = false;  // keep what is read in seen_
    bool ended_ = false;      // a read found the end of the stream
    std::vector<unsigned char> seen_;
};

// The bytes of a page's rows in the stream, uncompressed.
uint64_t PageDataBytes(const cups_page_header2_t& header);

// Reads `bytes` more of the current page's rows through libcups and drops
// them; false when the stream ends first.
bool ReadPastPixels(cups_raster_t* ras, uint64_t bytes);

#endif
