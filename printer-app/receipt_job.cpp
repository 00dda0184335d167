#include "receipt_job.h"

ReceiptJob::ReceiptJob(const JobSettings& settings, PrinterChannel& printer)
    : trimBlankRows_(settings.trimBlankRows), engine_(settings.receipt, printer)
{
    engine_.StartDoc();
    engine_.BeginJob();
}

void ReceiptJob::StartPage(uint32_t width, uint32_t bytesPerLine, uint32_t height, uint32_t printableWidth)
{
    fitter_ = std::make_unique<RowFitter>(width, bytesPerLine, printableWidth);
    pages_.emplace_back();
    builder_ = std::make_unique<PageBuilder>(pages_.back(), printableWidth, height, fitter_->BytesPerLine());
    contentStarted_ = false;
}

// Blank rows above the content are left out here when the job trims them;
// the page builder leaves out those below it in any case.
void ReceiptJob::WriteRow(const unsigned char* row)
{
    if (!builder_)
        return;
    const unsigned char* fitted = fitter_->Fit(row);
    if (!contentStarted_ && trimBlankRows_ && RemoveLine(fitted, fitter_->BytesPerLine()))
        return;
    contentStarted_ = true;
    builder_->AppendRow(fitted);
}

void ReceiptJob::EndPage()
{
    if (!builder_)
        return;
    builder_->Finish();
    builder_.reset();
    ReleaseSpareRoom(pages_.back());
}

void ReceiptJob::PrintCopies(int copies)
{
    for (int copy = 0; copy < copies; ++copy) {
        for (size_t i = 0; i < pages_.size(); ++i)
            engine_.PrintPage(pages_[i], i + 1 == pages_.size());
    }
    pages_.clear();
}

void ReceiptJob::Finish()
{
    engine_.EndDoc();
}
