// Runs printer-install as a child process against a private cupsd, from a
// working folder that holds the shipped PPD and the built filter, and builds
// the texts that the installer is expected to write.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "child_process.h"
#include "private_cupsd.h"
#include "temp_dir.h"

// The repository's PPD and the build's filter, as the installer copies them.
std::string ShippedPpdText();
std::string FilterText();
// The quoted value of a main keyword of the shipped PPD ("NickName").
std::string ShippedPpdValue(const std::string& keyword);

// What the menu writes after a failed Ethernet set-up.
inline const std::string LAN_FAILURE = "Install Fail!.\nCheck Connection LAN Cable or Printer Power.\n";

// The menu up to and including its prompt.
std::string MenuText();
// What follows a successful set-up when the input ends there: the offer of
// a test receipt on the queue, unanswered.
std::string TestReceiptOffer(const std::string& queue);
// "Number of printers found ..." through "Found Same Name Exist ...", for a
// proposed name and the queues that exist, in the server's order; names
// match without regard to case.
std::string PrinterListText(const std::string& proposal, const std::vector<std::string>& existing);

class InstallerTest : public ::testing::Test {
protected:
    void SetUp() override;

    // Runs the installer with the answers on its standard input.
    ChildResult RunInstaller(const std::string& answers,
                             const std::map<std::string, std::optional<std::string>>& extraEnvironment = {});

    // What AddPrinter writes up to its request, the summary before it included.
    std::string RegistrationStart(const std::string& uri, const std::string& name) const;
    // The same and the server's answer.
    std::string RegistrationText(const std::string& uri, const std::string& name,
                                 const std::string& status = "successful-ok") const;
    // Both copy commands with their output, on this machine; cp writes
    // nothing to standard output when the PPD is missing.
    std::string CopyText(bool ppdCopied = true) const;

    // Checks that the server holds the queue with our PPD and that the
    // driver files are in the server's CUPS folders.
    void ExpectRegistered(const std::string& name, const std::string& uri) const;

    // Where the driver files belong in the server's CUPS folders.
    std::string InstalledPpd() const { return cupsd_.dataDir() + "/model/KORLA_tessa-300.ppd"; }
    std::string InstalledFilter() const { return cupsd_.serverBin() + "/filter/RasterToKPrinter"; }
    // Moves the driver files from the working folder into the CUPS folders,
    // as the package installs them.
    void MoveDriverFilesToCupsFolders() const;

    PrivateCupsd cupsd_;
    TempDir work_{"korla-install-"};
    std::string runDir_;  // the installer's working folder: work_ unless a test says otherwise
    std::function<void(pid_t)> started_;  // told the installer's process id, if set
    std::string installer_;
};
