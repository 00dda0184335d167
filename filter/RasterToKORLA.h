// The driver object: turns one job's CUPS raster into ESC/POS commands and
// wraps the pages in the receipt extras that the queue's PPD selects.
#ifndef KORLA_RASTER_TO_KORLA_H
#define KORLA_RASTER_TO_KORLA_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include <cups/raster.h>

#include "cmd_defs.h"
#include "ppd_api.h"

// One captured page.
typedef struct __JOBINFO {
    char* szdatabuffer;       // rows top to bottom; new[] array of nbufferlen + 1 bytes
    int32_t nbufferlen;       // bytes captured: height x bytes per line, 0 if capture failed
    int32_t nLinesToRemove;   // blank rows at the bottom of the page
    uint32_t nPageWidth;      // cupsWidth
    uint32_t nPageHeight;     // cupsHeight
    uint32_t nBytesPerLine;   // cupsBytesPerLine
} JOBINFO;

class RasterToKORLA {
public:
    RasterToKORLA() = default;
    RasterToKORLA(const RasterToKORLA&) = delete;
    RasterToKORLA& operator=(const RasterToKORLA&) = delete;
    virtual ~RasterToKORLA();

    // The job: capture every page of the raster on fd, then print them.
    void StartJob(int fd, int nJobCopy);
    int ExtractPrintDataFromRaster(cups_page_header2_t* header, cups_raster_t* ras);
    static bool RemoveLine(const char* szBuffer, int nSize);

    // Trace call; produces no output.
    void KORLALog(const char* szMsg, ...) __attribute__((format(printf, 2, 3)));

    // Option accessors; both read through a handle that the caller holds open.
    const char* GetPrinterOption(const char* OptionName, ppd_file_t* ppd);
    int GetOptionChoiceIndex(const char* choiceName, ppd_file_t* ppd);

    // Document start and end.
    void StartDoc();
    void EndDoc();
    void ProcessEmulationCmd(const char* OptionName, ppd_file_t* ppd);

    // Paper cut.
    void CutPaper();
    void ProcessCutPaperEachCopy();

    // Logos stored in the printer.
    void ProcessTopLogoOptions();
    void ProcessBottomLogoOptions();

    // Cash drawers.
    void ProcessCashDrawerOptions(const char* pulse, int nDrawer);
    void ProcessCashDrawerAtStartDoc(ppd_file_t* ppd);
    void ProcessCashDrawerAtEndDoc(ppd_file_t* ppd);
    void ProcessFireCashDrawerAtStartDoc(ppd_file_t* ppd);
    void ProcessFireCashDrawerAtEndDoc(ppd_file_t* ppd);

private:
    struct LogoKeywords;
    enum class DrawerPoint { BeforePrint, AfterPrint };

    int WriteToPrinter(const unsigned char* szData, size_t nLen);
    void Send(const ORVIL_CMD& cmd);

    PpdHandle OpenQueuePpd();

    bool CapturePages(int fd, std::vector<JOBINFO>& jobInfo);
    bool CapturePage(cups_page_header2_t& header, cups_raster_t* ras, JOBINFO& page);
    void ReleaseCaptureBuffers();

    void PrintPages(std::vector<JOBINFO>& jobInfo, int nJobCopy);
    void PrintPageImage(const JOBINFO& page);

    size_t ScanEmulationBytes(const char* szTemp, unsigned char* arr);
    void ProcessLogo(const LogoKeywords& keywords);
    bool IsCopyMode(ppd_file_t* ppd, DrawerPoint point);
    void PulseDueDrawers(ppd_file_t* ppd, DrawerPoint point);

    char* imageRaw = nullptr;     // row buffer during page capture
    char* imageBuffer = nullptr;  // page buffer during page capture
};

// Releases every page's array and empties the list.
void ReleasePages(std::vector<JOBINFO>& jobInfo);

#endif
