// The job's pages: each is printed as ESC/POS raster images, with the
// receipt extras at their fixed points around it.
#include <algorithm>

#include "const.h"
#include "receipt_engine.h"
#include "trace.h"

namespace {

bool PrintsLogo(int nLogoOptions, orvil_logo_options_e which)
{
    return nLogoOptions == which || nLogoOptions == LO_BOTH;
}

}  // namespace

// Once per job, before the first page: the custom start bytes, then the
// drawers due before printing when they open around the whole job.
void ReceiptEngine::BeginJob()
{
    if (!settings_)
        return;
    KORLALog("At StartJob bFireCashDrawer is %d\n", settings_->fireCashDrawer != 0);
    ProcessEmulationCmd(settings_->startDoc);
    ProcessCashDrawerAtStartDoc();
}

// A page whose image cannot be printed still gets everything around it, so
// that the copy's structure (set-up, logos, cuts, drawers) holds.
PageOutcome ReceiptEngine::PrintPage(const JOBINFO& page, bool bEndsCopy)
{
    if (!settings_ || Cancelled())
        return PageOutcome::NotPrinted;
    const bool bFireCashDrwer = settings_->fireCashDrawer != 0;
    const int nLogoOptions = settings_->logoPosition;
    KORLALog("\n************ START OF NEW PAGE **************************\n\n");
    StartDoc();

    if (bFireCashDrwer && bEndsCopy)
        ProcessFireCashDrawerAtStartDoc();
    if (PrintsLogo(nLogoOptions, LO_TOP_ONLY))
        ProcessTopLogoOptions();

    const PageOutcome outcome = PrintPageImage(page);
    Send(Set_Feed_unit[1]);

    if (PrintsLogo(nLogoOptions, LO_BOTTOM_ONLY))
        ProcessBottomLogoOptions();
    if (bEndsCopy) {
        ProcessCutPaperEachCopy();
        if (bFireCashDrwer)
            ProcessFireCashDrawerAtEndDoc();
    }
    KORLALog("\n************ END OF PAGE **************************\n\n");
    return Cancelled() ? PageOutcome::NotPrinted : outcome;
}

// Sends the page's rows down to its last row with ink. GS v 0 holds at most
// 65535 rows, so a taller page goes out as several images, top to bottom. A
// row wider than 65535 bytes cannot be described at all, and a page of more
// than one bit per pixel would print as other dots than it shows: both are
// left out.
PageOutcome ReceiptEngine::PrintPageImage(const JOBINFO& page)
{
    if (page.nBytesPerLine > MAX_IMAGE_FIELD) {
        KORLALog("Page left out: %u bytes per row do not fit the image command\n", page.nBytesPerLine);
        return PageOutcome::LeftOutTooWide;
    }
    if (page.nBitsPerPixel != 1)
        return PageOutcome::LeftOutNotOneBit;
    if (settings_->fasterPrinting == 1) {
        PrintCompactImage(page);
        return PageOutcome::Printed;
    }

    uint32_t rowsLeft = page.nPageHeight - page.nLinesToRemove;
    size_t bytesLeft = page.nbufferlen;
    const unsigned char* data = page.szdatabuffer.get();
    do {
        const uint32_t rows = std::min(rowsLeft, MAX_IMAGE_FIELD);
        const size_t chunkLen = std::min(bytesLeft, static_cast<size_t>(rows) * page.nBytesPerLine);
        SendImageCommand(page.nBytesPerLine, rows, chunkLen);
        if (chunkLen > 0)
            WriteImageData(data, chunkLen);
        data += chunkLen;
        bytesLeft -= chunkLen;
        rowsLeft -= rows;
    } while (rowsLeft > 0);
    return PageOutcome::Printed;
}
