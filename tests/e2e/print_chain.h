// The real print chain of the end-to-end tests: a private cupsd into which
// printer-install puts the driver and registers its queues, `lp` and
// `lpadmin` against that server, and receipt-emulator on 127.0.0.1 as the
// network printer. Failures are reported to the running test and signalled
// by an empty or false result.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"
#include "emulator_jobs.h"
#include "emulator_process.h"
#include "private_cupsd.h"
#include "temp_dir.h"

class PrintChain {
public:
    // The driver is the build's: printer-install runs from a folder that
    // holds the PPD and the filter, and copies them into the server's
    // folders. With packageRoot, the driver is the package unpacked there:
    // its files stand in the server's folders from the start, and its
    // printer-install runs from an empty folder.
    explicit PrintChain(std::string packageRoot = "");
    ~PrintChain();  // stops the network printer

    // Starts cupsd and the network printer, and lays out the folder that the
    // installer runs from.
    bool Start();

    // Runs printer-install with the answers on its standard input; returns
    // the name of the queue that it registered, once it has exited 0, and
    // what it wrote in *output where given.
    std::string Install(const std::string& answers,
                        const std::map<std::string, std::optional<std::string>>& extraEnvironment = {},
                        std::string* output = nullptr);
    // The Ethernet set-up, pointed at the network printer, with the answers
    // after the port's.
    std::string InstallNetworkQueue(const std::string& laterAnswers = "", std::string* output = nullptr);

    // Stores options as the queue's defaults: lpadmin -p QUEUE -o OPTION...
    bool SetOptions(const std::string& queue, const std::vector<std::string>& options);
    // Prints the file with lp and waits until CUPS reports the job completed.
    bool Print(const std::string& queue, const std::string& file, const std::vector<std::string>& lpArguments = {});
    // Submits the file with lp; returns the job's id, or 0.
    int Submit(const std::string& queue, const std::string& file, const std::vector<std::string>& lpArguments = {});
    // Waits until CUPS says the job is being processed.
    bool WaitUntilProcessing(int jobId);
    // Cancels the job and waits until CUPS reports it cancelled and the
    // queue idle again: the job's filter and backend have ended.
    bool Cancel(const std::string& queue, int jobId);
    // The bytes of the job that reached the network printer last.
    std::string NewestNetworkJob();
    // The same job's files, as a path without its extension (.bin, .png, .txt).
    std::string NewestNetworkJobFiles();

    const PrivateCupsd& cupsd() const { return cupsd_; }
    // Runs a program as a client of the server, from the installer's folder.
    ChildResult RunClient(const std::vector<std::string>& argv, const std::string& input = "",
                          const std::map<std::string, std::optional<std::string>>& extraEnvironment = {});

private:
    bool WaitForJob(const std::string& queue, int jobId);
    bool WaitForState(int jobId, int state);
    // Whether done() came true before the job guard ran out.
    static bool PollUntil(const std::function<bool()>& done);
    bool SanitizerQuiet(int jobId) const;
    // The lines of the server's log about the job.
    std::string JobLog(int jobId) const;

    bool LayOutDriver();

    std::string packageRoot_;
    std::string installer_;
    PrivateCupsd cupsd_;
    TempDir driver_{"korla-driver-"};  // the installer's working folder
    TempDir printerOutput_{"korla-printer-"};
    EmulatorJobs printerJobs_{printerOutput_ / "job"};
    std::unique_ptr<EmulatorProcess> printer_;
    std::string printerPort_;
    int networkJobsSeen_ = 0;
};

// The repository's PPD, as the installer and cupsfilter get it.
std::string ShippedPpd();
// A file of the repository, by its path from the top.
std::string SourceFile(const std::string& path);

// When KORLA_E2E_OUTPUT names a folder, copies the printer's picture and
// listing of a job (stem.png, stem.txt) there under the running test's name,
// for a person to look at.
void KeepForPeople(const std::string& stem);
