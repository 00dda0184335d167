#include "raster_callbacks.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "device_channel.h"
#include "drivers.h"
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
    unsigned page = 0;            // the page being read, from 1
    uint32_t pageHeight = 0;      // rows the page has
    uint32_t rowsRead = 0;        // rows PAPPL has handed over
    uint32_t longestCut = 0;      // a page longer than the limit: its height
    unsigned truncatedPage = 0;   // the page the document ends in, if it ends early
};

JobState* StateOf(pappl_job_t* job)
{
    return static_cast<JobState*>(papplJobGetData(job));
}

bool StartJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device)
{
    std::string message;
    const std::optional<JobSettings> settings = JobSettingsFor(job, message);
    if (!settings) {
        papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Not printed: %s", message.c_str());
        papplJobSetMessage(job, "Not printed: %s", message.c_str());
        return false;
    }
    auto state = std::make_unique<JobState>(*settings, job, device);
    state->printableWidth = PrintableWidth(papplJobGetPrinter(job));
    state->limit = LengthLimitFor(job, *options);
    papplJobSetData(job, state.release());
    return true;
}

// The page comes as wide and as long as the client made it; the head
// prints the middle of a wider one. A grey page is made into dots by PAPPL
// with the matrix set here for the job's content, before the rows reach
// WriteLine.
bool StartPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* /*device*/, unsigned page)
{
    JobState* state = StateOf(job);
    if (state == nullptr)
        return false;
    const cups_page_header2_t& header = options->header;
    const ThresholdMatrix matrix = ThresholdsFor(OneBitOptionsForStream(*options));
    for (int y = 0; y < MATRIX_SIZE; ++y)
        std::copy(matrix[y].begin(), matrix[y].end(), options->dither[y]);
    state->page = page;
    state->pageHeight = header.cupsHeight;
    state->rowsRead = 0;
    if (header.cupsHeight > state->limit.rows)
        state->longestCut = std::max(state->longestCut, header.cupsHeight);
    state->receipt.StartPage(header.cupsWidth, header.cupsBytesPerLine,
                             std::min(header.cupsHeight, state->limit.rows), state->printableWidth);
    return true;
}

bool WriteLine(pappl_job_t* job, pappl_pr_options_t* /*options*/, pappl_device_t* /*device*/, unsigned /*y*/,
               const unsigned char* line)
{
    JobState* state = StateOf(job);
    if (state == nullptr)
        return false;
    if (state->rowsRead++ < state->limit.rows)
        state->receipt.WriteRow(line);
    return true;
}

// PAPPL streams a raster document once, whatever the copies: its pages
// wait for the job's end, which makes the copies. PAPPL ends a page that
// the document cuts short like any other, and aborts the job only after
// it: such a page, and the job with it, is not printed.
bool EndPage(pappl_job_t* job, pappl_pr_options_t* /*options*/, pappl_device_t* /*device*/, unsigned /*page*/)
{
    JobState* state = StateOf(job);
    if (state == nullptr)
        return false;
    state->receipt.EndPage();
    if (state->rowsRead < state->pageHeight && !papplJobIsCanceled(job) && state->truncatedPage == 0)
        state->truncatedPage = state->page;
    return true;
}

void TellWhatWasLeftOut(pappl_job_t* job, const JobState& state)
{
    if (state.truncatedPage != 0) {
        papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Not printed: the raster document ends inside page %u",
                    state.truncatedPage);
        papplJobSetMessage(job, "Not printed: the raster document ends inside page %u", state.truncatedPage);
        papplJobSetReasons(job, PAPPL_JREASON_DOCUMENT_FORMAT_ERROR, PAPPL_JREASON_NONE);
    } else if (state.longestCut != 0) {
        papplJobSetMessage(job, "Printed the first %u mm of a %u mm page only: %s.",
                           RowsToMillimetres(state.limit.rows), RowsToMillimetres(state.longestCut),
                           state.limit.named ? "the job's medium is that long" : "a receipt is at most that long");
    }
}

bool EndJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device)
{
    std::unique_ptr<JobState> state(StateOf(job));
    papplJobSetData(job, nullptr);
    if (!state)
        return false;
    TellWhatWasLeftOut(job, *state);
    if (state->truncatedPage != 0)
        return false;  // a damaged document leaves nothing on the paper
    // The receipt's first byte goes out now: the paper is asked about
    // before it. A cancelled job's waiting pages stay unprinted; the job
    // still ends cleanly.
    CheckPaperDuringJob(job, device);
    state->receipt.PrintCopies(papplJobIsCanceled(job) ? 0 : std::max(1, options->copies));
    state->receipt.Finish();
    state->channel.Flush();
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
    CheckPaperDuringJob(job, device);
    unsigned char buffer[65536];
    ssize_t bytes;
    bool sent = true;
    while (sent && (bytes = read(fd, buffer, sizeof(buffer))) > 0)
        sent = papplDeviceWrite(device, buffer, static_cast<size_t>(bytes)) == bytes;
    close(fd);
    papplDeviceFlush(device);
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
