#include "raster_callbacks.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "device_channel.h"
#include "drivers.h"
#include "paper_status.h"
#include "printer_settings.h"
#include "receipt_job.h"

namespace {

// What a job keeps between PAPPL's calls.
struct JobState {
    JobState(const JobSettings& settings, pappl_job_t* job, pappl_device_t* device)
        : channel(job, device), receipt(settings, channel)
    {
    }
    DeviceChannel channel;
    ReceiptJob receipt;
    bool rasterDocument = false;  // pages come once: the copies are made here
    unsigned printableWidth = 0;
};

// PAPPL streams a PWG or Apple raster document to the callbacks once,
// whatever the copies; it renders an image once for every copy.
bool IsRasterDocument(const char* format)
{
    return format != nullptr && (strcmp(format, "image/pwg-raster") == 0 || strcmp(format, "image/urf") == 0);
}

JobState* StateOf(pappl_job_t* job)
{
    return static_cast<JobState*>(papplJobGetData(job));
}

bool StartJob(pappl_job_t* job, pappl_pr_options_t* /*options*/, pappl_device_t* device)
{
    std::string message;
    const std::optional<JobSettings> settings = JobSettingsFor(job, message);
    if (!settings) {
        papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Not printed: %s", message.c_str());
        papplJobSetMessage(job, "Not printed: %s", message.c_str());
        return false;
    }
    if (!WaitForPaper(job, device))
        return false;
    auto state = std::make_unique<JobState>(*settings, job, device);
    state->printableWidth = PrintableWidth(papplJobGetPrinter(job));
    state->rasterDocument = IsRasterDocument(papplJobGetFormat(job));
    papplJobSetData(job, state.release());
    return true;
}

// Rows come as wide as the job's media (639 dots for 80 mm); the head
// prints their middle.
bool StartPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* /*device*/, unsigned /*page*/)
{
    JobState* state = StateOf(job);
    if (state == nullptr)
        return false;
    const cups_page_header2_t& header = options->header;
    state->receipt.StartPage(header.cupsWidth, header.cupsBytesPerLine, header.cupsHeight, state->printableWidth);
    return true;
}

bool WriteLine(pappl_job_t* job, pappl_pr_options_t* /*options*/, pappl_device_t* /*device*/, unsigned /*y*/,
               const unsigned char* line)
{
    JobState* state = StateOf(job);
    if (state == nullptr)
        return false;
    state->receipt.WriteRow(line);
    return true;
}

// PAPPL prints an image once for every copy, so each image page is a copy
// of its own; a raster document's pages wait for the job's end.
bool EndPage(pappl_job_t* job, pappl_pr_options_t* /*options*/, pappl_device_t* /*device*/, unsigned /*page*/)
{
    JobState* state = StateOf(job);
    if (state == nullptr)
        return false;
    state->receipt.EndPage();
    if (!state->rasterDocument)
        state->receipt.PrintCopies(1);
    return true;
}

bool EndJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device)
{
    std::unique_ptr<JobState> state(StateOf(job));
    papplJobSetData(job, nullptr);
    if (!state)
        return false;
    // A cancelled job's waiting pages stay unprinted; the job still ends
    // cleanly.
    state->receipt.PrintCopies(papplJobIsCanceled(job) ? 0 : std::max(1, options->copies));
    state->receipt.Finish();
    if (!state->channel.Flush())
        return false;
    CheckPaperDuringJob(job, device);
    return true;
}

// A printer-ready ESC/POS file goes to the printer as it is.
bool PrintFile(pappl_job_t* job, pappl_pr_options_t* /*options*/, pappl_device_t* device)
{
    const int fd = open(papplJobGetFilename(job), O_RDONLY);
    if (fd < 0) {
        papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Cannot open the job's file");
        return false;
    }
    if (!WaitForPaper(job, device)) {
        close(fd);
        return false;
    }
    DeviceChannel channel(job, device);
    unsigned char buffer[65536];
    ssize_t bytes;
    while (!channel.Cancelled() && (bytes = read(fd, buffer, sizeof(buffer))) > 0)
        channel.Write(buffer, static_cast<size_t>(bytes));
    close(fd);
    const bool sent = channel.Flush();
    CheckPaperDuringJob(job, device);
    papplJobSetImpressions(job, 1);
    papplJobSetImpressionsCompleted(job, 1);
    return sent;
}

}  // namespace

void SetReceiptCallbacks(pappl_pr_driver_data_t* data)
{
    data->rstartjob_cb = StartJob;
    data->rstartpage_cb = StartPage;
    data->rwriteline_cb = WriteLine;
    data->rendpage_cb = EndPage;
    data->rendjob_cb = EndJob;
    data->printfile_cb = PrintFile;
}
