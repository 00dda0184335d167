#include "print_chain.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>
#include <utility>

#include <gtest/gtest.h>

namespace {

// Long enough for a sanitized filter behind Ghostscript on a busy machine;
// a guard against hangs, not a measure of speed.
constexpr auto JOB_GUARD = std::chrono::seconds(90);

constexpr int JOB_PROCESSING = 5;  // job-state: 5 processing, 6 stopped, 7 canceled, 8 aborted, 9 completed
constexpr int JOB_STOPPED = 6;
constexpr int JOB_CANCELED = 7;
constexpr int JOB_COMPLETED = 9;
constexpr int PRINTER_IDLE = 3;  // printer-state: 3 idle, 4 processing, 5 stopped
constexpr int PRINTER_STOPPED = 5;

// What the filter's sanitizers write when they find a fault; cupsd logs the
// filter's standard error line by line, marked with the job's id.
const char* const SANITIZER_MARKS[] = {"AddressSanitizer", "LeakSanitizer", "runtime error:"};

std::string Tail(const std::string& text, std::size_t length = 4000)
{
    return text.size() > length ? text.substr(text.size() - length) : text;
}

std::string Transcript(const std::vector<std::string>& argv, const ChildResult& run)
{
    std::string command;
    for (const std::string& word : argv)
        command += word + " ";
    return command + "exited " + std::to_string(run.exitStatus) + "\nstdout: " + Tail(run.out) +
           "\nstderr: " + Tail(run.err);
}

// The text between the first `before` and the next `after`, or "".
std::string Between(const std::string& text, const std::string& before, const std::string& after)
{
    const std::size_t start = text.find(before);
    const std::size_t end = start == std::string::npos ? start : text.find(after, start + before.size());
    return end == std::string::npos ? "" : text.substr(start + before.size(), end - start - before.size());
}

}  // namespace

std::string ShippedPpd()
{
    return SourceFile("KORLA_tessa-300.ppd");
}

std::string SourceFile(const std::string& path)
{
    return std::string(PROJECT_SOURCE_DIR) + "/" + path;
}

void KeepForPeople(const std::string& stem)
{
    namespace fs = std::filesystem;
    const char* folder = std::getenv("KORLA_E2E_OUTPUT");
    if (!folder || !*folder)
        return;
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    std::replace(name.begin(), name.end(), '/', '.');
    std::error_code error;
    fs::create_directories(folder, error);
    for (const char* extension : {".png", ".txt"})
        fs::copy_file(stem + extension, fs::path(folder) / (name + extension), fs::copy_options::overwrite_existing,
                      error);
}

PrintChain::PrintChain(std::string packageRoot)
    : packageRoot_(std::move(packageRoot)),
      installer_(packageRoot_.empty() ? PRINTER_INSTALL_PATH : packageRoot_ + "/usr/sbin/printer-install")
{
}

PrintChain::~PrintChain()
{
    if (printer_)
        printer_->terminate();
}

bool PrintChain::LayOutDriver()
{
    if (!packageRoot_.empty()) {
        const bool linked = cupsd_.AddPackageRoot(packageRoot_);
        if (!linked)
            ADD_FAILURE() << "cannot link the driver files of the package at " << packageRoot_;
        return linked;
    }
    std::error_code error;
    std::filesystem::copy_file(ShippedPpd(), driver_ / "KORLA_tessa-300.ppd", error);
    if (!error)
        std::filesystem::copy_file(FILTER_BINARY, driver_ / "RasterToKPrinter", error);
    if (error)
        ADD_FAILURE() << "cannot lay out the driver folder: " << error.message();
    return !error;
}

bool PrintChain::Start()
{
    const ::testing::AssertionResult started = cupsd_.Start();
    if (!started) {
        ADD_FAILURE() << started.message();
        return false;
    }
    if (!LayOutDriver())
        return false;
    printer_ = std::make_unique<EmulatorProcess>(std::vector<std::string>{
        "--tcp", "127.0.0.1:0", "--raw", printerOutput_ / "job.bin", "--listing",
        printerOutput_ / "job.txt", "--png", printerOutput_ / "job.png"});
    printerPort_ = printer_->readLine();
    if (printerPort_.empty())
        ADD_FAILURE() << "the network printer did not say its port";
    return !printerPort_.empty();
}

ChildResult PrintChain::RunClient(const std::vector<std::string>& argv, const std::string& input,
                                  const std::map<std::string, std::optional<std::string>>& extraEnvironment)
{
    ChildOptions options;
    options.workingDir = driver_.path();
    options.input = input;
    options.environment = cupsd_.ClientEnvironment();
    options.environment["HOME"] = driver_.path();  // no lpoptions of the machine's users
    options.environment["TERM"] = std::nullopt;    // the installer's "clear" stays quiet
    for (const auto& [name, value] : extraEnvironment)
        options.environment[name] = value;
    return RunChild(argv, options);
}

std::string PrintChain::Install(const std::string& answers,
                                const std::map<std::string, std::optional<std::string>>& extraEnvironment,
                                std::string* output)
{
    const std::vector<std::string> argv = {installer_};
    const ChildResult run = RunClient(argv, answers, extraEnvironment);
    if (output)
        *output = run.out;
    const std::string queue = Between(run.out, "PRT_NAME : [", "]");
    if (queue.empty() || run.out.find("Printer added successfuly\n") == std::string::npos || run.exitStatus != 0) {
        ADD_FAILURE() << "printer-install registered no queue\n" << Transcript(argv, run);
        return "";
    }
    return queue;
}

std::string PrintChain::InstallNetworkQueue(const std::string& laterAnswers, std::string* output)
{
    return Install("4\n127.0.0.1\n" + printerPort_ + "\n" + laterAnswers, {}, output);
}

bool PrintChain::SetOptions(const std::string& queue, const std::vector<std::string>& options)
{
    std::vector<std::string> argv = {"/usr/sbin/lpadmin", "-p", queue};
    for (const std::string& option : options) {
        argv.push_back("-o");
        argv.push_back(option);
    }
    const ChildResult run = RunClient(argv);
    if (run.exitStatus != 0)
        ADD_FAILURE() << Transcript(argv, run);
    return run.exitStatus == 0;
}

bool PrintChain::Print(const std::string& queue, const std::string& file, const std::vector<std::string>& lpArguments)
{
    const int jobId = Submit(queue, file, lpArguments);
    return jobId > 0 && WaitForJob(queue, jobId) && SanitizerQuiet(jobId);
}

int PrintChain::Submit(const std::string& queue, const std::string& file, const std::vector<std::string>& lpArguments)
{
    std::vector<std::string> argv = {"/usr/bin/lp", "-d", queue};
    argv.insert(argv.end(), lpArguments.begin(), lpArguments.end());
    argv.push_back(file);
    const ChildResult run = RunClient(argv);
    // "request id is QUEUE-ID (1 file(s))"
    const std::string id = Between(run.out, "request id is " + queue + "-", " ");
    if (run.exitStatus != 0 || id.empty() || id.find_first_not_of("0123456789") != std::string::npos) {
        ADD_FAILURE() << Transcript(argv, run);
        return 0;
    }
    return std::stoi(id);
}

bool PrintChain::WaitUntilProcessing(int jobId)
{
    return WaitForState(jobId, JOB_PROCESSING);
}

bool PrintChain::Cancel(const std::string& queue, int jobId)
{
    const std::vector<std::string> argv = {"/usr/bin/cancel", std::to_string(jobId)};
    const ChildResult run = RunClient(argv);
    if (run.exitStatus != 0) {
        ADD_FAILURE() << Transcript(argv, run);
        return false;
    }
    if (!WaitForState(jobId, JOB_CANCELED))
        return false;
    // CUPS calls the job cancelled at once; its backend may still be
    // forwarding what the filter wrote, and the queue stays busy until it
    // ends.
    if (!PollUntil([&] { return cupsd_.Queue(queue).value_or(QueueState{}).state == PRINTER_IDLE; })) {
        ADD_FAILURE() << queue << " stays busy after job " << jobId << " was cancelled";
        return false;
    }
    return SanitizerQuiet(jobId);
}

bool PrintChain::WaitForState(int jobId, int wanted)
{
    std::optional<int> state;
    if (PollUntil([&] { return (state = cupsd_.JobState(jobId)) == wanted; }))
        return true;
    ADD_FAILURE() << "job " << jobId << " never reached state " << wanted << ", last " << state.value_or(0)
                  << "\nits lines in the error_log:\n" << Tail(JobLog(jobId), 12000);
    return false;
}

bool PrintChain::PollUntil(const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + JOB_GUARD;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// Polls until the job has completed. A job that stops the queue (a filter
// or backend that failed) or never ends is a failure, with the server's log.
bool PrintChain::WaitForJob(const std::string& queue, int jobId)
{
    std::optional<int> state;
    const auto ended = [&] {
        state = cupsd_.JobState(jobId);
        const std::optional<QueueState> printer = cupsd_.Queue(queue);
        return (state && *state >= JOB_STOPPED) || (printer && printer->state == PRINTER_STOPPED);
    };
    if (PollUntil(ended) && state == JOB_COMPLETED)
        return true;
    ADD_FAILURE() << "job " << jobId << " on " << queue << " ended in state " << state.value_or(0)
                  << "\nits lines in the error_log:\n" << Tail(JobLog(jobId), 12000);
    return false;
}

std::string PrintChain::JobLog(int jobId) const
{
    std::istringstream log(ReadFile(cupsd_.errorLog()));
    const std::string mark = "[Job " + std::to_string(jobId) + "] ";
    std::string lines;
    for (std::string line; std::getline(log, line);) {
        if (line.find(mark) != std::string::npos)
            lines += line + "\n";
    }
    return lines;
}

bool PrintChain::SanitizerQuiet(int jobId) const
{
    const std::string lines = JobLog(jobId);
    for (const char* mark : SANITIZER_MARKS) {
        if (lines.find(mark) != std::string::npos) {
            ADD_FAILURE() << "the filter's sanitizers spoke in job " << jobId << ":\n" << Tail(lines, 12000);
            return false;
        }
    }
    return true;
}

// The job files are numbered by connection; the newest one is the job just
// printed, also when an earlier job failed before it reached the printer.
std::string PrintChain::NewestNetworkJob()
{
    const std::string files = NewestNetworkJobFiles();
    return files.empty() ? "" : ReadFile(files + ".bin");
}

std::string PrintChain::NewestNetworkJobFiles()
{
    // The printer writes a job's files once the connection has ended, which
    // may be a moment after CUPS reports the job completed.
    const int newest = printerJobs_.AwaitNewest(networkJobsSeen_);
    if (newest == networkJobsSeen_) {
        ADD_FAILURE() << "no new job reached the network printer";
        return "";
    }
    networkJobsSeen_ = newest;
    KeepForPeople(printerJobs_.Path(newest, ""));
    return printerJobs_.Path(newest, "");
}
