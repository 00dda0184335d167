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
//   EndDoc()                         cut per job, drawers after printing (per job),
//                                    "EndDoc" bytes, ESC @
//
// Every command is one write on the printer channel.
#ifndef KORLA_RECEIPT_ENGINE_H
#define KORLA_RECEIPT_ENGINE_H

#include <cstddef>
#include <optional>
#include <string>

#include "cmd_defs.h"
#include "page_image.h"
#include "printer_channel.h"
#include "receipt_settings.h"

class ReceiptEngine {
public:
    // settings: nothing when the front end could not read them; then only
    // the set-up reaches the printer.
    ReceiptEngine(std::optional<ReceiptSettings> settings, PrinterChannel& printer);
    ReceiptEngine(const ReceiptEngine&) = delete;
    ReceiptEngine& operator=(const ReceiptEngine&) = delete;

    // The job, in the order above.
    void StartDoc();
    void BeginJob();
    void PrintPage(const JOBINFO& page, bool bEndsCopy);
    void EndDoc();

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

    void PrintPageImage(const JOBINFO& page);
    void ProcessLogo(const LogoSettings& logo);
    bool IsCopyMode(DrawerPoint point) const;
    void PulseDueDrawers(DrawerPoint point);

    std::optional<ReceiptSettings> settings_;
    PrinterChannel& printer_;
};

// The bytes of a custom value's tokens (the text after "Custom."): \xH or
// \xHH, one byte each. Returns how many were stored in arr (at most MAX_SIZE).
size_t ScanEmulationBytes(const char* szTemp, unsigned char* arr);

#endif
