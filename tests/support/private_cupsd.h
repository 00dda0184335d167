// A private CUPS server for tests: its own configuration, spool, logs and
// state in a temporary directory, listening on a free 127.0.0.1 port (or on
// another loopback address and a given port). It never
// touches the machine's own CUPS server, queues or /etc/cups.
//
// Its ServerBin and DataDir are folders of their own that hold symbolic links
// to the system's backends, filters, daemons and data, so that a test can add
// or replace a filter or a backend without touching the system. The model
// folder of DataDir starts empty.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

#include <gtest/gtest.h>

#include "temp_dir.h"

struct QueueState {
    std::string deviceUri;
    std::string makeAndModel;  // from the queue's PPD (*NickName)
    bool acceptingJobs = false;
    bool collateByDefault = false;  // collate-default
    int state = 0;             // printer-state: 3 idle, 4 processing, 5 stopped
};

class PrivateCupsd {
public:
    explicit PrivateCupsd(std::string address = "127.0.0.1");
    ~PrivateCupsd();  // stops the server and removes its directory
    PrivateCupsd(const PrivateCupsd&) = delete;
    PrivateCupsd& operator=(const PrivateCupsd&) = delete;

    // Lays out the directories, starts cupsd and waits until it answers, on
    // the given port or, with 0, on a free one.
    ::testing::AssertionResult Start(int port = 0);
    // Stops the server; its folders stay until the object goes.
    void Stop();

    int port() const { return port_; }
    std::string serverBin() const { return root_ / "serverbin"; }
    std::string dataDir() const { return root_ / "data"; }
    std::string serverRoot() const { return root_ / "etc"; }
    std::string errorLog() const { return root_ / "log/error_log"; }

    // What a child needs to talk to this server and find its folders:
    // CUPS_SERVER, IPP_PORT, CUPS_SERVERBIN, CUPS_DATADIR and CUPS_SERVERROOT
    // (so that libcups reads no client.conf or lpoptions of the machine).
    std::map<std::string, std::optional<std::string>> ClientEnvironment() const;

    // Links the driver files of a package unpacked at root (its
    // usr/lib/cups/filter and usr/share/cups/model entries) into the
    // server's filter and model folders, where installing the package would
    // put them on a machine.
    bool AddPackageRoot(const std::string& root) const;

    // Replaces (or adds) a backend with an executable script of our own.
    bool InstallBackend(const std::string& name, const std::string& script) const;

    // Adds a raw queue (no PPD) with the given device URI.
    bool AddRawQueue(const std::string& name, const std::string& deviceUri) const;
    // Names of all queues, as the server lists them.
    std::vector<std::string> QueueNames() const;
    // The queue's attributes, or nothing when the server does not know it.
    std::optional<QueueState> Queue(const std::string& name) const;
    // The job's job-state (3 pending ... 9 completed), or nothing when the
    // server does not know it.
    std::optional<int> JobState(int jobId) const;

private:
    bool LayOut() const;
    void Launch();
    bool WaitUntilAnswering();
    bool WriteConfiguration() const;
    bool Answers() const;

    TempDir root_{"korla-cupsd-"};
    std::string address_;
    int port_ = 0;
    pid_t pid_ = -1;
};
