// Second pass of a job: every captured page is printed as ESC/POS raster
// images, with the receipt extras at their fixed points around it.
#include <algorithm>

#include "RasterToKORLA.h"
#include "const.h"

namespace {

// The raster bit-image command GS v 0 carries 16-bit width and height.
constexpr uint32_t MAX_IMAGE_FIELD = 0xFFFF;

}  // namespace

void RasterToKORLA::PrintPages(std::vector<JOBINFO>& jobInfo, int nJobCopy)
{
    const int nTotalPage = static_cast<int>(jobInfo.size());
    KORLALog("Number of print job in this page is %d\n", nTotalPage);
    int nPagePrinted = 1;

    PpdHandle ppd = OpenQueuePpd();
    if (!ppd) {
        ReleasePages(jobInfo);
        return;
    }

    const bool bFireCashDrwer = GetOptionChoiceIndex(PPD_FIRE_CASH_DRAWER, ppd.get()) != 0;
    KORLALog("At StartJob bFireCashDrawer is %d\n", bFireCashDrwer);
    ProcessEmulationCmd(PPD_CUSTOM_START_DOC, ppd.get());
    ProcessCashDrawerAtStartDoc(ppd.get());
    const int nLogoOptions = GetOptionChoiceIndex(PPD_LOGO_POSITION, ppd.get());

    // The stream holds every copy, one after another; the copies count only
    // tells where a copy ends.
    const int nPagesPerCopy = nTotalPage / nJobCopy;

    for (uint32_t nCopies = 0; nCopies < jobInfo.size(); ++nCopies) {
        JOBINFO& page = jobInfo[nCopies];
        const bool bEndsCopy = nPagesPerCopy == nPagePrinted;
        KORLALog("\n************ START OF NEW PAGE **************************\n\n");
        StartDoc();

        KORLALog("CHECK : Fire Cash Drawer enabled for each copy\n");
        KORLALog(bFireCashDrwer ? "Fire Cash Drawer enabled for each copy\n"
                                : "Fire Cash drawer disabled for each copy\n");
        if (bFireCashDrwer && bEndsCopy)
            ProcessFireCashDrawerAtStartDoc(ppd.get());

        if (nLogoOptions == LO_TOP_ONLY || nLogoOptions == LO_BOTH)
            ProcessTopLogoOptions();

        PrintPageImage(page);
        KORLALog("DBG : Write to Printer[cmd=0x%x,len=0x%x]\n", 0x1b, Set_Feed_unit[1].nCmdlen);
        Send(Set_Feed_unit[1]);

        KORLALog("CHECK : Sending Bottom Logo to printer +++\n");
        if (nLogoOptions == LO_BOTTOM_ONLY || nLogoOptions == LO_BOTH)
            ProcessBottomLogoOptions();
        KORLALog("CHECK : Sending Bottom Logo to printer ---\n");

        KORLALog("CHECK : Processing Cut paper per copy[%d,%d,%d]\n", nTotalPage, nJobCopy, nPagePrinted);
        if (bEndsCopy) {
            KORLALog("Processing Cut paper per copy\n");
            ProcessCutPaperEachCopy();
            KORLALog("Processing FireCashdrawer options\n");
            if (bFireCashDrwer)
                ProcessFireCashDrawerAtEndDoc(ppd.get());
            nPagePrinted = 0;
        }
        KORLALog("Processing Bottom Logo options\n");
        ++nPagePrinted;

        if (page.szdatabuffer != nullptr) {
            KORLALog("Freeing memory used by the image buffer\n");
            delete[] page.szdatabuffer;
            page.szdatabuffer = nullptr;
        }
        KORLALog("\n************ END OF PAGE **************************\n\n");
    }

    jobInfo.clear();
    ppd.reset();
    KORLALog("Exit StartJob\n");
}

// Sends the page's rows down to its last row with ink. GS v 0 holds at most
// 65535 rows, so a taller page goes out as several images, top to bottom; a
// row wider than 65535 bytes cannot be described at all and is left out.
void RasterToKORLA::PrintPageImage(const JOBINFO& page)
{
    if (page.nBytesPerLine > MAX_IMAGE_FIELD) {
        KORLALog("Page left out: %u bytes per row do not fit the image command\n", page.nBytesPerLine);
        return;
    }

    uint32_t rowsLeft = page.nPageHeight - static_cast<uint32_t>(page.nLinesToRemove);
    // A page whose capture failed holds no bytes and announces no rows.
    const long long imageLen =
        page.nbufferlen - static_cast<long long>(page.nBytesPerLine) * page.nLinesToRemove;
    size_t bytesLeft = static_cast<size_t>(std::max(imageLen, 0LL));
    const char* data = page.szdatabuffer;

    do {
        const uint32_t rows = std::min(rowsLeft, MAX_IMAGE_FIELD);
        const char tmpCmd[8] = {
            0x1d, 0x76, 0x30, 0x00,
            static_cast<char>(page.nBytesPerLine & 0xFF), static_cast<char>((page.nBytesPerLine >> 8) & 0xFF),
            static_cast<char>(rows & 0xFF), static_cast<char>((rows >> 8) & 0xFF),
        };
        const ORVIL_CMD Image_Header = {tmpCmd, 8};
        KORLALog("Image Parms is [ %d -- %d -- %d -- %d ]\n", tmpCmd[4] & 0xFF, tmpCmd[5] & 0xFF,
                 tmpCmd[6] & 0xFF, tmpCmd[7] & 0xFF);
        Send(Image_Header);

        const size_t chunkLen = std::min(bytesLeft, static_cast<size_t>(rows) * page.nBytesPerLine);
        KORLALog("Image buffer Size is %d\n", static_cast<int>(chunkLen));
        WriteToPrinter(reinterpret_cast<const unsigned char*>(data), chunkLen);
        data += chunkLen;
        bytesLeft -= chunkLen;
        rowsLeft -= rows;
    } while (rowsLeft > 0);
}
