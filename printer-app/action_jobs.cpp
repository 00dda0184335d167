#include "action_jobs.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>

#include "app_folder.h"
#include "device_channel.h"
#include "drivers.h"
#include "logo_record.h"
#include "paper_status.h"
#include "printer_settings.h"
#include "receipt_engine.h"
#include "test_receipt_facts.h"

namespace {

constexpr char TEST_RECEIPT_TITLE[] = "Test receipt";
constexpr char ACTION_USER[] = "guest";

std::optional<std::vector<unsigned char>> ReadDocument(pappl_job_t* job)
{
    std::ifstream in(papplJobGetFilename(job), std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Abort(pappl_job_t* job, const std::string& reason)
{
    papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Not done: %s", reason.c_str());
    papplJobSetMessage(job, "Not done: %s", reason.c_str());
    return false;
}

std::optional<JobSettings> SettingsOf(pappl_job_t* job)
{
    std::string message;
    std::optional<JobSettings> settings = JobSettingsFor(job, message);
    if (!settings)
        Abort(job, message);
    return settings;
}

bool OpenDrawer(pappl_job_t* job, pappl_device_t* device, void* /*data*/)
{
    const std::optional<std::vector<unsigned char>> document = ReadDocument(job);
    const std::string drawer = document ? std::string(document->begin(), document->end()) : "";
    if (drawer != "1" && drawer != "2")
        return Abort(job, "the drawer must be 1 or 2");
    const std::optional<JobSettings> settings = SettingsOf(job);
    if (!settings)
        return false;
    DeviceChannel channel(job, device);
    ReceiptEngine(settings->receipt, channel).OpenDrawer(drawer == "1" ? 1 : 2);
    return channel.Flush();
}

bool PrintTestReceipt(pappl_job_t* job, pappl_device_t* device, void* /*data*/)
{
    const std::optional<JobSettings> settings = SettingsOf(job);
    if (!settings)
        return false;
    const TestReceiptFacts facts = GatherTestReceiptFacts(job, device);
    if (!WaitForPaper(job, device))
        return false;
    DeviceChannel channel(job, device);
    ReceiptEngine(settings->receipt, channel).PrintTestReceipt(facts);
    if (!channel.Flush())
        return false;
    papplJobSetImpressions(job, 1);
    papplJobSetImpressionsCompleted(job, 1);
    return true;
}

// The record notes the set once the printer has taken every byte of it.
bool StoreLogos(pappl_job_t* job, pappl_device_t* device, void* /*data*/)
{
    const std::optional<std::vector<unsigned char>> document = ReadDocument(job);
    const std::optional<StoredLogoSet> set = document ? SetOfStoringJob(*document) : std::nullopt;
    if (!set)
        return Abort(job, "the document is no job that stores logos");
    DeviceChannel channel(job, device);
    const bool sent = channel.Write(document->data(), document->size()) == static_cast<long>(document->size());
    if (!channel.Flush() || !sent || papplJobIsCanceled(job))
        return Abort(job, "the printer did not take every byte; the logos it holds are unknown");
    std::string error;
    const std::string key = LogoRecordKey(papplPrinterGetDeviceURI(papplJobGetPrinter(job)));
    if (!RecordStoredLogos(AppFolder() + "/" + LOGO_RECORD_FILE, key, *set, error))
        papplLogJob(job, PAPPL_LOGLEVEL_WARN, "The logos are stored, but not the record of them: %s", error.c_str());
    return true;
}

}  // namespace

void AddActionFilters(pappl_system_t* system)
{
    papplSystemAddMIMEFilter(system, OPEN_DRAWER_FORMAT, PRINTER_FORMAT, OpenDrawer, nullptr);
    papplSystemAddMIMEFilter(system, TEST_RECEIPT_FORMAT, PRINTER_FORMAT, PrintTestReceipt, nullptr);
    papplSystemAddMIMEFilter(system, STORE_LOGOS_FORMAT, PRINTER_FORMAT, StoreLogos, nullptr);
}

// The document goes where PAPPL removes a job's file once it is done.
pappl_job_t* SubmitActionJob(pappl_printer_t* printer, const char* format, const char* title,
                             const std::vector<unsigned char>& document, std::string& error)
{
    std::string path = std::string(papplGetTempDir()) + "/korla-action-XXXXXX";
    const int fd = mkstemp(path.data());
    if (fd < 0) {
        error = std::string("cannot make the job's file: ") + strerror(errno);
        return nullptr;
    }
    const bool written = write(fd, document.data(), document.size()) == static_cast<ssize_t>(document.size());
    close(fd);
    pappl_job_t* job =
        written ? papplJobCreateWithFile(printer, ACTION_USER, format, title, 0, nullptr, path.c_str()) : nullptr;
    if (job == nullptr) {
        unlink(path.c_str());
        error = written ? "the printer takes no job now" : "cannot write the job's file";
    }
    return job;
}

const char* QueueTestReceipt(pappl_printer_t* printer, char* /*buffer*/, size_t /*bufsize*/)
{
    std::string error;
    if (SubmitActionJob(printer, TEST_RECEIPT_FORMAT, TEST_RECEIPT_TITLE, {}, error) == nullptr)
        papplLogPrinter(printer, PAPPL_LOGLEVEL_ERROR, "No test receipt: %s", error.c_str());
    return nullptr;
}
