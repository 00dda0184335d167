// The job's pages: each is printed as ESC/POS raster images, with the
// receipt extras at their fixed points around it.
#include <algorithm>

#include "cmd_defs.h"
#include "const.h"
#include "receipt_engine.h"
#include "trace.h"

namespace {

bool PrintsLogo(int nLogoOptions, orvil_logo_options_e which)
{
    return nLogoOptions == which || nLogoOptions == LO_BOTH;
}

// The blank rows above the page's first ink, of the rows that print.
uint32_t BlankRowsAtTop(const JOBINFO& page, uint32_t rows)
{
    uint32_t row = 0;
    while (row < rows && RemoveLine(page.szdatabuffer.get() + size_t{row} * page.nBytesPerLine, page.nBytesPerLine))
        ++row;
    return row;
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

bool ReceiptEngine::MarksCopyEnds() const
{
    if (!settings_)
        return false;
    bool drawersDue = false;
    for (int drawer : {1, 2}) {
        for (DrawerPoint point : {DrawerPoint::BeforePrint, DrawerPoint::AfterPrint})
            drawersDue = drawersDue || DrawerDue(drawer, point);
    }
    return settings_->executePaperCut == CUT_PAPER_PER_COPY || (settings_->fireCashDrawer != 0 && drawersDue);
}

PageOutcome ReceiptEngine::PrintPage(JOBINFO& page, bool bEndsCopy)
{
    return PrintPageFrame(&page, bEndsCopy);
}

void ReceiptEngine::PrintLeftOutPage(bool bEndsCopy)
{
    PrintPageFrame(nullptr, bEndsCopy);
}

// A page whose image cannot be printed (page null, too wide, not one bit)
// still gets everything around it, so that the copy's structure holds.
PageOutcome ReceiptEngine::PrintPageFrame(JOBINFO* page, bool bEndsCopy)
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

    const PageOutcome outcome = page ? PrintPageImage(*page) : PageOutcome::NotPrinted;
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

// Sends the page's rows down to its last row with ink (from its first, when
// the settings leave out the blank rows above). GS v 0 holds at most 65535
// rows, so a taller page goes out as several images, top to bottom. A row
// wider than 65535 bytes cannot be described at all, and a page of more than
// one bit per pixel would print as other dots than it shows: both are left
// out.
PageOutcome ReceiptEngine::PrintPageImage(JOBINFO& page)
{
    if (page.nBytesPerLine > MAX_IMAGE_FIELD) {
        KORLALog("Page left out: %u bytes per row do not fit the image command\n", page.nBytesPerLine);
        return PageOutcome::LeftOutTooWide;
    }
    if (page.nBitsPerPixel != 1)
        return PageOutcome::LeftOutNotOneBit;
    const uint32_t endRow = page.nPageHeight - page.nLinesToRemove;
    const uint32_t firstRow = settings_->trimTopBlankRows == 1 ? BlankRowsAtTop(page, endRow) : 0;
    if (settings_->fasterPrinting == 1) {
        PrintCompactImage(page, firstRow, endRow);
        return PageOutcome::Printed;
    }

    uint32_t rowsLeft = endRow - firstRow;
    const size_t skipped = size_t{firstRow} * page.nBytesPerLine;
    size_t bytesLeft = page.nbufferlen - std::min(page.nbufferlen, skipped);
    const unsigned char* data = page.szdatabuffer.get() + (page.nbufferlen - bytesLeft);
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
