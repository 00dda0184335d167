#include "page_image.h"

#include <algorithm>
#include <cstring>

namespace {

// Moves the page's rows to a block of exactly `size` bytes.
bool Reallocate(JOBINFO& page, size_t size)
{
    void* moved = realloc(page.szdatabuffer.get(), std::max<size_t>(size, 1));
    if (moved == nullptr)
        return false;
    (void)page.szdatabuffer.release();
    page.szdatabuffer.reset(static_cast<unsigned char*>(moved));
    page.nBufferSize = size;
    return true;
}

}  // namespace

bool RemoveLine(const unsigned char* szBuffer, long nSize)
{
    return nSize <= 0 || (szBuffer[0] == 0 && memcmp(szBuffer, szBuffer + 1, static_cast<size_t>(nSize) - 1) == 0);
}

PageBuilder::PageBuilder(JOBINFO& page, uint32_t width, uint32_t height, uint32_t bytesPerLine,
                         uint32_t bitsPerPixel)
    : page_(page)
{
    page_.nBitsPerPixel = bitsPerPixel;
    page_.nbufferlen = 0;
    page_.nLinesToRemove = height;
    page_.nPageWidth = width;
    page_.nPageHeight = height;
    page_.nBytesPerLine = bytesPerLine;
}

// Room for `rows` rows in all. A first request is met exactly (the filter
// asks for a whole page at once); later ones at least double the room, so
// that a page read row by row is not copied at every row.
bool PageBuilder::Grow(size_t rows)
{
    const size_t size = rows * page_.nBytesPerLine;
    if (size > PAGE_BYTES_LIMIT) {
        overLimit_ = true;
        return false;
    }
    return (page_.szdatabuffer && size <= page_.nBufferSize) ||
           Reallocate(page_, std::min(std::max(size, 2 * page_.nBufferSize), PAGE_BYTES_LIMIT));
}

unsigned char* PageBuilder::Reserve(uint32_t rows)
{
    if (storedRows_ + blankRows_ + rows > page_.nPageHeight || !Grow(storedRows_ + rows))
        return nullptr;
    return RowAt(storedRows_);
}

// The new rows stand right after the stored ones. Rows after the last ink
// among them are only counted; blank rows that were counted before them move
// in between when they turn out to be inside the page.
bool PageBuilder::Commit(uint32_t rows)
{
    const long bytesPerLine = page_.nBytesPerLine;
    size_t lastInk = rows;
    while (lastInk > 0 && RemoveLine(RowAt(storedRows_ + lastInk - 1), bytesPerLine))
        --lastInk;
    if (lastInk == 0) {
        blankRows_ += rows;
        return true;
    }
    if (blankRows_ > 0) {
        if (!Grow(storedRows_ + blankRows_ + lastInk))
            return false;
        memmove(RowAt(storedRows_ + blankRows_), RowAt(storedRows_), lastInk * page_.nBytesPerLine);
        memset(RowAt(storedRows_), 0, blankRows_ * page_.nBytesPerLine);
    }
    storedRows_ += blankRows_ + lastInk;
    blankRows_ = rows - lastInk;
    return true;
}

bool PageBuilder::AppendRow(const unsigned char* row)
{
    unsigned char* slot = Reserve(1);
    if (slot == nullptr)
        return false;
    memcpy(slot, row, page_.nBytesPerLine);
    return Commit(1);
}

void PageBuilder::Discard()
{
    storedRows_ = 0;
    blankRows_ = 0;
}

void PageBuilder::Finish()
{
    page_.nbufferlen = storedRows_ * page_.nBytesPerLine;
    page_.nLinesToRemove = page_.nPageHeight - static_cast<uint32_t>(storedRows_);
}

void ReleaseSpareRoom(JOBINFO& page)
{
    if (page.nbufferlen == 0) {
        page.szdatabuffer.reset();
        page.nBufferSize = 0;
    } else if (page.nbufferlen < page.nBufferSize) {
        Reallocate(page, page.nbufferlen);
    }
}
