// One job on its way to the printer: the receipt engine fed with rows, page
// by page. Pages are held until the job says how many copies to make of
// them, so that the last page of every copy gets the copy's cut.
#ifndef KORLA_RECEIPT_JOB_H
#define KORLA_RECEIPT_JOB_H

#include <cstdint>
#include <memory>
#include <vector>

#include "page_image.h"
#include "printer_channel.h"
#include "receipt_attributes.h"
#include "receipt_engine.h"
#include "row_fitter.h"

class ReceiptJob {
public:
    // Sends the printer set-up, the start bytes and the drawers due before
    // printing.
    ReceiptJob(const JobSettings& settings, PrinterChannel& printer);

    // A page of width x height dots begins; its rows will be fitted to
    // printableWidth.
    void StartPage(uint32_t width, uint32_t bytesPerLine, uint32_t height, uint32_t printableWidth);
    // The page's next row, top to bottom, one bit a dot, a set bit printed.
    void WriteRow(const unsigned char* row);
    // The page is complete; it waits to be printed.
    void EndPage();
    // Prints the pages held, `copies` times, the last page of each copy
    // followed by its cut and drawers; then lets them go.
    void PrintCopies(int copies);
    // The cut and drawers of the job's end, the end bytes, ESC @.
    void Finish();

private:
    bool trimBlankRows_;
    ReceiptEngine engine_;
    std::vector<JOBINFO> pages_;
    std::unique_ptr<RowFitter> fitter_;
    std::unique_ptr<PageBuilder> builder_;
    bool contentStarted_ = false;  // a row with ink has come on this page
};

#endif
