#include "raster_callbacks.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "device_channel.h"
#include "drivers.h"
#include "image_debt.h"
#include "one_bit_choice.h"
#include "paper_status.h"
#include "printer_settings.h"
#include "receipt_job.h"
#include "receipt_layout.h"

namespace {

// What a job keeps between PAPPL's calls.
struct JobState {
    JobState(const JobSettings& settings, pappl_job_t* job, pappl_device_t* device)
        : channel(job, device), receipt(settings, channel)
    {
    }
    DeviceChannel channel;
    ReceiptJob receipt;
    unsigned printableWidth = 0;
    LengthLimit limit{};
    uint32_t longestCut = 0;      // a page longer than the limit: its height
};

JobState* StateOf(pappl_job_t* job)
{
    return static_cast<JobState*>(papplJobGetData(job));
}

bool StartJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device)
{
    SettleImageDebt(papplJobGetPrinter(job), device);
    const std::optional<JobSettings> settings = JobSettingsToPrint(job);
    if (!settings)
        return false;
    if (!WaitForPaper(job, device))
        return false;
    auto state = std::make_unique<JobState>(*settings, job, device);
    state->printableWidth = PrintableWidth(papplJobGetPrinter(job));
    state->limit = LengthLimitFor(job, *options);
    papplJobSetData(job, state.release());
    return true;
}

// The page comes as wide and as long as the client made it; the head
// prints the middle of a wider one. A grey page is made into dots with the
// matrix set here for the job's content (raster_filter.cpp), before the
// rows reach WriteLine.
bool StartPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* /*device*/, unsigned /*page*/)
{
    JobState* state = StateOf(job);
    if (state == nullptr)
        return false;
    const cups_page_header2_t& header = options->header;
    const ThresholdMatrix matrix = ThresholdsFor(OneBitOptionsForStream(*options));
    for (int y = 0; y < MATRIX_SIZE; ++y)
        std::copy(matrix[y].begin(), matrix[y].end(), options->dither[y]);
    if (header.cupsHeight > state->limit.rows)
        state->longestCut = std::max(state->longestCut, header.cupsHeight);
    state->receipt.StartPage(header.cupsWidth, header.cupsBytesPerLine,
                             std::min(header.cupsHeight, state->limit.rows), state->printableWidth);
    return true;
}

bool WriteLine(pappl_job_t* job, pappl_pr_options_t* /*options*/, pappl_device_t* /*device*/, unsigned y,
               const unsigned char* line)
{
    JobState* state = StateOf(job);
    if (state == nullptr)
        return false;
    if (y < state->limit.rows)
        state->receipt.WriteRow(line);
    return true;
}

// A raster document is read once, whatever the copies: its pages wait for
// the job's end, which makes the copies.
bool EndPage(pappl_job_t* job, pappl_pr_options_t* /*options*/, pappl_device_t* /*device*/, unsigned /*page*/)
{
    JobState* state = StateOf(job);
    if (state == nullptr)
        return false;
    state->receipt.EndPage();
    return true;
}

void TellWhatWasLeftOut(pappl_job_t* job, const JobState& state)
{
    if (state.longestCut == 0)
        return;
    papplJobSetMessage(job, "Printed the first %u mm of a %u mm page only: %s.", RowsToMillimetres(state.limit.rows),
                       RowsToMillimetres(state.longestCut),
                       state.limit.named ? "the job's medium is that long" : "a receipt is at most that long");
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
    TellWhatWasLeftOut(job, *state);
    return true;
}

// A printer-ready ESC/POS file goes to the printer as it is.
bool PrintFile(pappl_job_t* job, pappl_pr_options_t* /*options*/, pappl_device_t* device)
{
    SettleImageDebt(papplJobGetPrinter(job), device);
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
