// First pass of a job: every page of the raster stream is read into memory
// and the blank rows at its bottom are counted.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

#include "RasterToKORLA.h"

namespace {

// A page's byte count and row width must fit the signed 32-bit counts of
// JOBINFO, with room for the array's extra byte; a header that announces more
// is as good as damaged.
bool FitsPageCounts(const cups_page_header2_t& header)
{
    const unsigned long long pageBytes =
        static_cast<unsigned long long>(header.cupsBytesPerLine) * header.cupsHeight;
    return header.cupsBytesPerLine <= INT_MAX && pageBytes < INT_MAX;
}

// Blank rows at the bottom of the page; the rows above the last row with ink
// are never examined.
int32_t CountBlankTail(const char* page, uint32_t bytesPerLine, uint32_t height)
{
    int32_t blankRows = 0;
    for (long long row = static_cast<long long>(height) - 1; row >= 0; --row) {
        const char* szTemp = page + static_cast<size_t>(bytesPerLine) * row;
        if (!RasterToKORLA::RemoveLine(szTemp, static_cast<int>(bytesPerLine)))
            break;
        ++blankRows;
    }
    return blankRows;
}

}  // namespace

void ReleasePages(std::vector<JOBINFO>& jobInfo)
{
    for (JOBINFO& page : jobInfo) {
        delete[] page.szdatabuffer;
        page.szdatabuffer = nullptr;
    }
    jobInfo.clear();
}

void RasterToKORLA::StartJob(int fd, int nJobCopy)
{
    KORLALog("Inside StartJob\n");
    KORLALog("DBG : Number of copy = %d\n", nJobCopy);
    if (nJobCopy == 0)
        nJobCopy = 1;

    std::vector<JOBINFO> jobInfo;
    if (CapturePages(fd, jobInfo))
        PrintPages(jobInfo, nJobCopy);
}

// Reads pages until the stream ends or a header is damaged. False when memory
// ran out: the pages captured so far are then dropped.
bool RasterToKORLA::CapturePages(int fd, std::vector<JOBINFO>& jobInfo)
{
    cups_raster_t* ras = cupsRasterOpen(fd, CUPS_RASTER_READ);
    if (ras == nullptr) {
        KORLALog("Can't open CUPS raster file. %s\n", strerror(errno));
        return false;
    }

    bool captured = true;
    cups_page_header2_t header;
    while (cupsRasterReadHeader2(ras, &header) && FitsPageCounts(header)) {
        JOBINFO printInfo{};
        if (!CapturePage(header, ras, printInfo)) {
            KORLALog("Invalid memory allocation\n");
            ReleasePages(jobInfo);
            captured = false;
            break;
        }
        jobInfo.push_back(printInfo);
    }
    cupsRasterClose(ras);
    return captured;
}

// Captures the page whose header has just been read. False only when memory
// runs out; a page whose rows cannot be read is recorded empty.
bool RasterToKORLA::CapturePage(cups_page_header2_t& header, cups_raster_t* ras, JOBINFO& page)
{
    const uint32_t imageBytes = header.cupsBytesPerLine;
    const size_t pageBytes = static_cast<size_t>(imageBytes) * header.cupsHeight;

    imageRaw = static_cast<char*>(calloc(std::max<size_t>(imageBytes, 1), 1));
    imageBuffer = imageRaw ? static_cast<char*>(calloc(std::max<size_t>(pageBytes, 1), 1)) : nullptr;
    if (imageBuffer == nullptr) {
        ReleaseCaptureBuffers();
        return false;
    }

    const int nDataLen = ExtractPrintDataFromRaster(&header, ras);
    KORLALog("Size of data buf is %d\n", nDataLen);
    KORLALog("Bytes per line = %d\nCups Height  = %d\n", imageBytes, header.cupsHeight);

    // A page that yielded no bytes is all zero: every row counts as blank,
    // without scanning a buffer that a damaged header may have made huge.
    const int32_t nLinesToRemove = nDataLen == 0 ? static_cast<int32_t>(header.cupsHeight)
                                                 : CountBlankTail(imageBuffer, imageBytes, header.cupsHeight);
    const uint32_t rows = header.cupsHeight - static_cast<uint32_t>(nLinesToRemove);
    KORLALog("IMG WIDTH = %d, HEIGHT=%d", header.cupsWidth, header.cupsHeight);
    KORLALog("Image Parms is [ %d -- %d -- %d -- %d ]\n", imageBytes & 0xFF, imageBytes >> 8,
             rows & 0xFF, rows >> 8);
    KORLALog("Image buffer Size is %d\n", nDataLen - static_cast<int>(imageBytes) * nLinesToRemove);

    char* szdatabuffer = new (std::nothrow) char[static_cast<size_t>(nDataLen) + 1];
    if (szdatabuffer == nullptr) {
        ReleaseCaptureBuffers();
        return false;
    }
    memcpy(szdatabuffer, imageBuffer, static_cast<size_t>(nDataLen));
    szdatabuffer[nDataLen] = '\0';

    page.szdatabuffer = szdatabuffer;
    page.nbufferlen = nDataLen;
    page.nLinesToRemove = nLinesToRemove;
    page.nPageWidth = header.cupsWidth;
    page.nPageHeight = header.cupsHeight;
    page.nBytesPerLine = imageBytes;
    ReleaseCaptureBuffers();
    return true;
}

// Reads the page's rows, each through imageRaw, into imageBuffer, which has
// room for the whole page. On success imageBuffer holds exactly the page's
// bytes and their count is returned; on failure 0 is returned and imageBuffer
// is all zero bytes again.
int RasterToKORLA::ExtractPrintDataFromRaster(cups_page_header2_t* header, cups_raster_t* ras)
{
    if (ras == nullptr) {
        KORLALog("No more ras buffer\n");
        exit(0);
    }
    if (imageBuffer == nullptr) {
        KORLALog("invalid image data \n");
        return 0;
    }

    const unsigned bytesPerLine = header->cupsBytesPerLine;
    size_t bufSize = 0;
    for (unsigned row = 0; row < header->cupsHeight; ++row) {
        if (cupsRasterReadPixels(ras, reinterpret_cast<unsigned char*>(imageRaw), bytesPerLine) == 0) {
            KORLALog("CupsRasterReadPixels Failed %d  %s\n", errno, strerror(errno));
            memset(imageBuffer, 0, bufSize);
            return 0;
        }
        memcpy(imageBuffer + bufSize, imageRaw, bytesPerLine);
        bufSize += bytesPerLine;
    }
    KORLALog("The bufSize is %d\n", static_cast<int>(bufSize));
    return static_cast<int>(bufSize);
}

bool RasterToKORLA::RemoveLine(const char* szBuffer, int nSize)
{
    return std::all_of(szBuffer, szBuffer + std::max(nSize, 0), [](char c) { return c == 0; });
}
