// The receipt engine: the one place that decides what the printer gets.
//
// A front end hands it the job's settings and its pages; the engine sends
// the printer set-up, the custom start and end bytes, the stored logos, each
// page as ESC/POS raster images, the paper cuts and the cash-drawer pulses,
// in this order:
//
//   StartDoc()                       set-up, before any page is read
//   BeginJob()                       "StartDoc" bytes, drawers before printing (per job)
//   PrintPage(page, endsCopy) ...    per page: set-up, drawers (per copy), logos,
//                                    image, feed, cut and drawers after a copy
//                                    (PrintLeftOutPage: the same without an image)
//   EndDoc()                         cut per job, drawers after printing (per job),
//                                    "EndDoc" bytes, ESC @
//
// Every command is one write on the printer channel. When the channel says
// that the job has been cancelled, the engine finishes the command it is
// writing (the rest of an image as blank rows), resets the printer with
// ESC @ and sends nothing more, so that the printer takes the next job
// clean.
#ifndef KORLA_RECEIPT_ENGINE_H
#define KORLA_RECEIPT_ENGINE_H

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "page_image.h"
#include "printer_channel.h"
#include "printer_command.h"
#include "receipt_settings.h"

struct TestReceiptFacts;

// What became of a page's image.
enum class PageOutcome {
    Printed,
    LeftOutTooWide,    // rows wider than the image command can announce
    LeftOutNotOneBit,  // not one bit per pixel: the printer would take it for other dots
    NotPrinted,        // no settings, or the job was cancelled
};

class ReceiptEngine {
public:
    // The raster bit-image command GS v 0 carries 16-bit width and height.
    static constexpr uint32_t MAX_IMAGE_FIELD = 0xFFFF;

    // settings: nothing when the front end could not read them; then only
    // the set-up reaches the printer.
    ReceiptEngine(std::optional<ReceiptSettings> settings, PrinterChannel& printer);
    ReceiptEngine(const ReceiptEngine&) = delete;
    ReceiptEngine& operator=(const ReceiptEngine&) = delete;

    bool HasSettings() const { return settings_.has_value(); }
    // Whether a page of such rows can be printed at all: the image command
    // announces at most 65535 bytes a row, and the printer takes one bit a
    // dot. A front end need not keep the rows of a page that cannot.
    static bool CanPrintRows(uint32_t bytesPerLine, uint32_t bitsPerPixel)
    {
        return bytesPerLine <= MAX_IMAGE_FIELD && bitsPerPixel == 1;
    }
    // Whether the end of a copy sends anything (a cut per copy, or drawers
    // that open with every copy): only then does it matter which page ends one.
    bool MarksCopyEnds() const;

    // The job, in the order above.
    void StartDoc();
    void BeginJob();
    // With faster printing a band's rows are narrowed in the page's buffer
    // while they go out, and put back after.
    PageOutcome PrintPage(JOBINFO& page, bool bEndsCopy);
    // A page whose image cannot be printed: everything around it, so that
    // the copy's structure (set-up, logos, cuts, drawers) holds.
    void PrintLeftOutPage(bool bEndsCopy);
    void EndDoc();

    // The clean end of a cancelled job: an image begun is completed with
    // blank rows, then ESC @. Nothing is sent after it.
    void EndCancelledJob();
    bool Cancelled() const { return printer_.Cancelled() || jobEnded_; }

    // Jobs of their own, outside receipts: a pulse to drawer 1 or 2 with its
    // pulse time, nothing printed; the test receipt, with the cut that the
    // settings choose.
    void OpenDrawer(int drawer);
    void PrintTestReceipt(const TestReceiptFacts& facts);

    // The pieces of the job.
    void ProcessEmulationCmd(const std::optional<std::string>& szOptionName);
    void CutPaper();
    void ProcessCutPaperEachCopy();
    void ProcessTopLogoOptions();
    void ProcessBottomLogoOptions();
    void ProcessCashDrawerOptions(int nCDTime, int nDrawer);
    void ProcessCashDrawerAtStartDoc();
    void ProcessCashDrawerAtEndDoc();
    void ProcessFireCashDrawerAtStartDoc();
    void ProcessFireCashDrawerAtEndDoc();

private:
    enum class DrawerPoint { BeforePrint, AfterPrint };

    int WriteToPrinter(const unsigned char* szData, size_t nLen);
    void Send(const ORVIL_CMD& cmd);
    long SendWhole(const unsigned char* data, size_t len);
    void SendImageCommand(uint32_t bytesPerRow, uint32_t rows, size_t announcedBytes);
    void WriteImageData(const unsigned char* data, size_t len);

    PageOutcome PrintPageFrame(JOBINFO* page, bool bEndsCopy);
    PageOutcome PrintPageImage(JOBINFO& page);
    void PrintCompactImage(JOBINFO& page, uint32_t firstRow, uint32_t endRow);
    void PrintBand(JOBINFO& page, uint32_t firstRow, uint32_t rows, size_t width);
    void FeedRows(uint32_t rows);
    void SendTextLine(const std::string& text, unsigned width);
    void SendImage(const std::vector<unsigned char>& rows, uint32_t bytesPerRow);
    bool DrawerDue(int drawer, DrawerPoint point) const;
    void ProcessLogo(const LogoSettings& logo);
    bool IsCopyMode(DrawerPoint point) const;
    void PulseDueDrawers(DrawerPoint point);

    std::optional<ReceiptSettings> settings_;
    PrinterChannel& printer_;
    size_t imageBytesOwed_ = 0;  // image data announced and not yet sent
    bool feedUnitIsRow_ = false;  // compact mode: the page's feeds count dot rows
    bool jobEnded_ = false;      // a cancelled job has been ended
};

#endif
