// korla-printer-app as a child process for tests: a private folder, a free
// port on 127.0.0.1, no TLS, one printer whose device is receipt-emulator on
// loopback. Stopped with the shutdown sub-command, killed after a guard time.
#pragma once

#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

#include "child_process.h"
#include "emulator_process.h"
#include "temp_dir.h"

inline const std::string PRINTER = "receipt";

class AppServer {
public:
    ~AppServer();

    // Starts the emulator and the server, adds the printer with the driver.
    bool Start(const std::string& driver = "korla_80mm");
    void Stop();

    int port() const { return port_; }
    std::string PrinterUri() const;
    std::string WebUrl(const std::string& path) const;
    const std::string& folder() const { return folder_.path(); }

    // Runs korla-printer-app with --dir and the arguments.
    ChildResult Run(const std::vector<std::string>& arguments) const;
    // Runs ipptool -tv on the printer with the test text and -d NAME=VALUE
    // definitions.
    ChildResult IppTool(const std::string& test, const std::vector<std::string>& definitions = {}) const;

    // The next job that reaches the printer: its raw bytes and its listing.
    struct PrinterJob {
        bool arrived = false;
        std::string bytes;
        std::string listing;
    };
    PrinterJob NextJob();

private:
    bool WaitUntilAnswering() const;
    void WakeUp() const;

    TempDir folder_{"korla-app-"};
    TempDir printerOutput_{"korla-app-printer-"};
    std::unique_ptr<EmulatorProcess> printer_;
    pid_t pid_ = -1;
    int port_ = 0;
    int jobsSeen_ = 0;
};

// A free TCP port on 127.0.0.1, as the kernel hands one out.
int FreeLoopbackPort();

// Lines of the listing that contain text.
int CountLines(const std::string& listing, const std::string& text);
