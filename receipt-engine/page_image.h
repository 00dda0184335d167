// Pages as the receipt engine prints them: the rows from the top of the page
// down to its last row with ink. The blank rows below are counted, never
// stored, so that a page's blank tail costs no memory and never reaches the
// paper.
#ifndef KORLA_PAGE_IMAGE_H
#define KORLA_PAGE_IMAGE_H

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

struct FreeDeleter {
    void operator()(void* p) const { free(p); }
};

// The most a page may hold: its rows down to the last row with ink. 256 MiB
// is over 3.7 million rows of an 80 mm receipt, some 460 m of paper; a page
// that would hold more is no receipt.
inline constexpr size_t PAGE_BYTES_LIMIT = size_t{256} << 20;

// One page to print.
typedef struct __JOBINFO {
    std::unique_ptr<unsigned char, FreeDeleter> szdatabuffer;  // the rows that print, top to bottom
    size_t nBufferSize = 0;       // bytes the buffer has room for
    size_t nbufferlen = 0;        // bytes of the rows that print: (nPageHeight - nLinesToRemove) x nBytesPerLine
    uint32_t nLinesToRemove = 0;  // blank rows at the bottom of the page
    uint32_t nPageWidth = 0;      // dots per row; recorded, not used for output
    uint32_t nPageHeight = 0;     // rows
    uint32_t nBytesPerLine = 0;
    uint32_t nBitsPerPixel = 1;   // the printer takes 1: a set bit is a printed dot
} JOBINFO;

// True when the row holds no ink (all nSize bytes zero); a count of 0 or
// less is blank.
bool RemoveLine(const unsigned char* szBuffer, long nSize);

// Fills a page with its rows as a front end reads them, a row or many rows
// at a time, top to bottom. The page's buffer is reused: a front end that
// prints each page before it reads the next needs one page's room in all.
// Rows not delivered by the time the page is finished count as blank.
class PageBuilder {
public:
    PageBuilder(JOBINFO& page, uint32_t width, uint32_t height, uint32_t bytesPerLine,
                uint32_t bitsPerPixel = 1);

    // Room for the next `rows` rows, to be filled and then committed; null
    // when they would pass the page's height or PAGE_BYTES_LIMIT, or memory
    // runs out.
    unsigned char* Reserve(uint32_t rows);
    // Takes the `rows` rows just filled in. False when the page would pass
    // PAGE_BYTES_LIMIT or memory runs out.
    bool Commit(uint32_t rows);
    // Reserve, copy and commit one row.
    bool AppendRow(const unsigned char* row);
    // Forgets every row delivered: the page prints as empty.
    void Discard();
    // Whether a Reserve or Commit failed because the page would pass
    // PAGE_BYTES_LIMIT (rather than for want of memory).
    bool OverLimit() const { return overLimit_; }

    // Sets the page's counts from the rows delivered.
    void Finish();

private:
    bool Grow(size_t rows);
    unsigned char* RowAt(size_t row) const { return page_.szdatabuffer.get() + row * page_.nBytesPerLine; }

    JOBINFO& page_;
    size_t storedRows_ = 0;  // rows down to the last row with ink seen so far
    size_t blankRows_ = 0;   // blank rows delivered after them, not stored
    bool overLimit_ = false;
};

// Gives back the room a finished page holds beyond its rows, for a page
// that waits for its turn to print.
void ReleaseSpareRoom(JOBINFO& page);

#endif
