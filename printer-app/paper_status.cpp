#include "paper_status.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "image_debt.h"
#include "network_link.h"
#include "serial_device.h"
#include "serial_line.h"
#include "status_byte.h"
#include "status_request.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr unsigned char PAPER_NEAR_END = 0x0c;  // bits 2-3: near-end sensor
constexpr unsigned char PAPER_END = 0x60;       // bits 5-6: paper end sensor

// How often a printer that did not answer is asked again, at most.
constexpr auto SILENT_RETRY = std::chrono::seconds(60);
// How often a job waiting for paper asks again.
constexpr auto PAPER_RETRY = std::chrono::seconds(2);

enum class Link { Network, Serial, Silent };

// What is known of one printer link, by device URI.
struct LinkRecord {
    bool answers = false;
    Clock::time_point asked;
};

std::mutex recordsMutex;
std::map<std::string, LinkRecord> records;
std::chrono::seconds checkInterval{0};

Link LinkOf(const std::string& deviceUri)
{
    if (IsSocketUri(deviceUri))
        return Link::Network;
    if (IsSerialUri(deviceUri))
        return Link::Serial;
    return Link::Silent;
}

bool Answers(const std::string& deviceUri)
{
    std::lock_guard<std::mutex> lock(recordsMutex);
    const auto record = records.find(deviceUri);
    return record != records.end() && record->second.answers;
}

bool IsDue(const std::string& deviceUri)
{
    std::lock_guard<std::mutex> lock(recordsMutex);
    const auto record = records.find(deviceUri);
    if (record == records.end())
        return true;
    const Clock::duration wait =
        record->second.answers ? Clock::duration(checkInterval) : Clock::duration(std::max(checkInterval, SILENT_RETRY));
    return Clock::now() - record->second.asked >= wait;
}

const char* Describe(pappl_preason_t reasons)
{
    if (reasons & PAPPL_PREASON_MEDIA_EMPTY)
        return "out of paper";
    if (reasons & PAPPL_PREASON_MEDIA_LOW)
        return "paper near its end";
    return "paper loaded";
}

// The roll as the printer's one supply (printer-supply), for a printer that
// reports its paper: its sensors say full, nearly used up, or out.
void ShowPaperSupply(pappl_printer_t* printer, std::optional<pappl_preason_t> reasons)
{
    if (!reasons) {
        papplPrinterSetSupplies(printer, 0, nullptr);
        return;
    }
    pappl_supply_t roll{};
    roll.color = PAPPL_SUPPLY_COLOR_NO_COLOR;
    papplCopyString(roll.description, "Receipt paper roll", sizeof(roll.description));
    roll.is_consumed = true;
    roll.level = (*reasons & PAPPL_PREASON_MEDIA_EMPTY) ? 0 : (*reasons & PAPPL_PREASON_MEDIA_LOW) ? 10 : 100;
    roll.type = PAPPL_SUPPLY_TYPE_OTHER;
    papplPrinterSetSupplies(printer, 1, &roll);
}

// Notes the answer, or its absence, and shows it on the printer.
void Record(pappl_printer_t* printer, const std::string& deviceUri, std::optional<unsigned char> answer)
{
    const std::optional<pappl_preason_t> reasons = answer ? PaperReasons(*answer) : std::nullopt;
    {
        std::lock_guard<std::mutex> lock(recordsMutex);
        records[deviceUri] = LinkRecord{reasons.has_value(), Clock::now()};
    }
    ShowPaperSupply(printer, reasons);
    const pappl_preason_t shown = papplPrinterGetReasons(printer) & PAPER_REASONS;
    const pappl_preason_t now = reasons.value_or(PAPPL_PREASON_NONE);
    if (shown == now)
        return;
    papplPrinterSetReasons(printer, now, PAPER_REASONS & ~now);
    if (reasons)
        papplLogPrinter(printer, PAPPL_LOGLEVEL_INFO, "The printer reports: %s.", Describe(now));
    else
        papplLogPrinter(printer, PAPPL_LOGLEVEL_INFO, "The printer no longer reports its paper.");
}

// A serial printer is asked over its device, which PAPPL lends only while
// no job has it.
void AskIdleSerialPrinter(pappl_printer_t* printer, const std::string& deviceUri)
{
    pappl_device_t* device = papplPrinterOpenDevice(printer);
    if (device == nullptr) {
        if (papplPrinterGetState(printer) != IPP_PSTATE_PROCESSING)
            Record(printer, deviceUri, std::nullopt);
        return;
    }
    const std::optional<unsigned char> answer = AskOverDevice(device);
    DiscardUnsentOutput(device);
    papplPrinterCloseDevice(printer);
    Record(printer, deviceUri, answer);
}

void CheckIdlePrinter(pappl_printer_t* printer, void* /*data*/)
{
    const std::string deviceUri = papplPrinterGetDeviceURI(printer);
    const Link link = LinkOf(deviceUri);
    // A printer that an image still owes bytes would take the request as
    // rows: its next job settles the image first.
    if (link == Link::Silent || papplPrinterGetState(printer) == IPP_PSTATE_PROCESSING || !IsDue(deviceUri) ||
        OwesImage(printer))
        return;
    if (link == Link::Network)
        Record(printer, deviceUri, AskOverNetwork(deviceUri));
    else
        AskIdleSerialPrinter(printer, deviceUri);
}

bool CheckIdlePrinters(pappl_system_t* system, void* /*data*/)
{
    papplSystemIteratePrinters(system, CheckIdlePrinter, nullptr);
    return true;
}

}  // namespace

std::optional<pappl_preason_t> PaperReasons(unsigned char status)
{
    if (!IsStatusByte(status))
        return std::nullopt;
    if (status & PAPER_END)
        return PAPPL_PREASON_MEDIA_EMPTY | PAPPL_PREASON_MEDIA_NEEDED;
    if (status & PAPER_NEAR_END)
        return PAPPL_PREASON_MEDIA_LOW;
    return PAPPL_PREASON_NONE;
}

bool LinkAnswers(const std::string& deviceUri)
{
    return LinkOf(deviceUri) != Link::Silent;
}

bool KnownNotToAnswer(const std::string& deviceUri)
{
    std::lock_guard<std::mutex> lock(recordsMutex);
    const auto record = records.find(deviceUri);
    return record != records.end() && !record->second.answers;
}

void CheckPaperDuringJob(pappl_job_t* job, pappl_device_t* device)
{
    pappl_printer_t* printer = papplJobGetPrinter(job);
    const std::string deviceUri = papplPrinterGetDeviceURI(printer);
    if (LinkOf(deviceUri) != Link::Silent && Answers(deviceUri))
        Record(printer, deviceUri, AskOverDevice(device));
}

bool WaitForPaper(pappl_job_t* job, pappl_device_t* device)
{
    pappl_printer_t* printer = papplJobGetPrinter(job);
    CheckPaperDuringJob(job, device);
    if (!(papplPrinterGetReasons(printer) & PAPPL_PREASON_MEDIA_EMPTY))
        return true;
    papplJobSetStopped(job, true);
    papplJobSetMessage(job, "Waiting for paper: the receipt prints once paper is loaded.");
    papplLogJob(job, PAPPL_LOGLEVEL_INFO, "Waiting for paper.");
    while ((papplPrinterGetReasons(printer) & PAPPL_PREASON_MEDIA_EMPTY) && !papplJobIsCanceled(job) &&
           papplSystemIsRunning(papplPrinterGetSystem(printer))) {
        std::this_thread::sleep_for(PAPER_RETRY);
        CheckPaperDuringJob(job, device);
    }
    papplJobSetStopped(job, false);
    papplJobSetMessage(job, "Printing.");
    return !papplJobIsCanceled(job);
}

void StartPaperChecks(pappl_system_t* system, int intervalSeconds)
{
    if (intervalSeconds <= 0)
        return;
    checkInterval = std::chrono::seconds(intervalSeconds);
    papplSystemAddTimerCallback(system, 0, 1, CheckIdlePrinters, nullptr);
}
