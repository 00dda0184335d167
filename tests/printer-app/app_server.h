// korla-printer-app as a child process for tests: a private folder, a free
// port on 127.0.0.1, no TLS, one printer whose device is receipt-emulator,
// on loopback or on a pseudo-terminal as a serial printer. Stopped with the
// shutdown sub-command, killed after a guard time.
#pragma once

#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

#include "child_process.h"
#include "emulator_jobs.h"
#include "emulator_process.h"
#include "loopback.h"
#include "printer_outline.h"
#include "private_cupsd.h"
#include "status_byte.h"
#include "temp_dir.h"

inline const std::string PRINTER = "receipt";

// The printer the server is given.
struct PrinterSetup {
    std::string driver = "korla_80mm";
    // The emulator on a pseudo-terminal, reached as serial:PORT?serialSettings;
    // else on a TCP port, reached as socket://.
    bool serial = false;
    std::string serialSettings = "baud=115200+bits=8+parity=none+flow=hard";
    std::vector<std::string> emulatorOptions;  // more arguments for the emulator
    int statusInterval = 30;                   // the server's status-interval
    bool addedOnWebPage = false;               // else with the add sub-command
    std::string deviceUri;                     // a printer of the test's own instead of the emulator
    bool bytesOnly = false;                    // the emulator keeps each session's bytes, nothing else
    std::string logLevel = "debug";            // the server's
    std::vector<std::string> serverOptions;    // more -o NAME=VALUE for the server
    size_t folderBytes = 0;                    // when not 0, the folder is a tmpfs of that size
};

class AppServer {
public:
    ~AppServer();

    // Starts the emulator and the server, adds the printer.
    bool Start(const PrinterSetup& setup = {});
    void Stop();
    // Stops the server and starts it again with the same folder and port.
    bool Restart();
    // Options for the server's next start.
    void SetServerOptions(const std::vector<std::string>& options) { setup_.serverOptions = options; }
    // Starts the server alone, with the folder and printer it has.
    bool StartServer();
    // Kills the server with SIGKILL, as a crash would end it.
    void Kill();
    // Waits for the server to end of itself: the seconds it took, or -1
    // when it had not ended after maxSeconds (it is then killed).
    double WaitForExit(double maxSeconds);
    pid_t pid() const { return pid_; }

    // Clients reach the server at this address (127.0.0.1 unless set;
    // an IPv6 address in brackets).
    void SetClientHost(const std::string& host) { clientHost_ = host; }
    // The web pages keep their cookies, the login's, from now on.
    void KeepCookies() { cookieJar_ = deviceFolder_ / "cookies"; }

    int port() const { return port_; }
    std::string PrinterUri() const;
    // The printer's URI through the local socket.
    std::string LocalPrinterUri() const;
    std::string WebUrl(const std::string& path) const;
    const std::string& folder() const { return folder_.path(); }
    // The folder the server looks for serial ports in, and the printer's port.
    const std::string& deviceFolder() const { return deviceFolder_.path(); }
    std::string SerialPort() const { return deviceFolder_ / "ttyUSB0"; }
    // The printer's device URI.
    const std::string& DeviceUri() const { return deviceUri_; }

    // A web page's HTML; "" when it cannot be had.
    std::string WebPage(const std::string& path) const;
    // Posts the form of a web page as a browser would, with the page's
    // session token, "NAME=VALUE&..." already URL-encoded. The HTTP status,
    // with the page the server answers in body.
    int PostForm(const std::string& path, const std::string& fields, std::string* body = nullptr) const;
    // The same as a form of file uploads: each field "NAME=VALUE", or
    // "NAME=@FILE" for a file.
    int PostUploads(const std::string& path, const std::vector<std::string>& fields, std::string* body = nullptr) const;

    // Runs korla-printer-app with --dir and the arguments.
    ChildResult Run(const std::vector<std::string>& arguments) const;
    // Runs ipptool -tv on the printer with the test text and -d NAME=VALUE
    // definitions; it fails unless every test of the text passed.
    ChildResult IppTool(const std::string& test, const std::vector<std::string>& definitions = {}) const;
    // The same through the server's local socket, the one client trusted
    // with administration (Set-Printer-Attributes and the like).
    ChildResult AdminIppTool(const std::string& test, const std::vector<std::string>& definitions = {}) const;

    // Prints a PWG raster file with Print-Job, and the job attribute line
    // ("ATTR keyword NAME VALUE") when given.
    ChildResult PrintRaster(const std::string& file, const std::string& jobAttribute = "") const;
    // The id of the job the printer is processing; "0" when none is, within
    // the guard time.
    std::string ProcessingJob() const;

    // The next job that reaches the printer, passing over the server's
    // paper checks and probes between jobs (sessions of status requests
    // alone): its raw bytes without the status requests that came before
    // its first byte and after its last, how many those were, its outline,
    // the emulator's listing (for failure messages) and the file of its
    // paper picture.
    struct PrinterJob {
        bool arrived = false;
        std::string bytes;
        int statusRequests = 0;
        Receipt receipt;
        std::string listing;
        std::string picture;
    };
    PrinterJob NextJob();
    // Stops the server and the printer, then every byte the printer took,
    // session after session.
    std::string StopAndCollectBytes();
    // Takes the printer away, as a cable pulled out: the emulator ends, and
    // with it its TCP connection or pseudo-terminal.
    void RemovePrinter();

private:
    bool StartPrinter(const PrinterSetup& setup);
    std::vector<std::string> Curl(std::vector<std::string> arguments) const;
    bool AddPrinterOnWebPage(const PrinterSetup& setup);
    bool WaitUntilAnswering() const;
    ChildResult RunIppTool(const std::string& printerUri, const std::string& test,
                           const std::vector<std::string>& definitions) const;
    void WakeUp() const;

    TempDir folder_{"korla-app-"};
    TempDir printerOutput_{"korla-app-printer-"};
    EmulatorJobs printerJobs_{printerOutput_ / "job"};
    TempDir deviceFolder_{"korla-app-dev-"};
    std::unique_ptr<EmulatorProcess> printer_;
    std::string deviceUri_;
    pid_t pid_ = -1;
    int port_ = 0;
    PrinterSetup setup_;
    int sessionsSeen_ = 0;
    std::string clientHost_ = "127.0.0.1";
    std::string cookieJar_;
    bool mounted_ = false;
};

// The paper check the server sends, DLE EOT 4.
inline const std::string PAPER_STATUS_REQUEST = [] {
    const auto request = StatusRequest(StatusKind::PaperSensor);
    return std::string(request.begin(), request.end());
}();

// The start of an ipptool test of the printer: the operation and what every
// request carries, up to the request's own attributes.
std::string IppRequest(const std::string& operation);

// A printer attribute, or with jobId one of that job's, as ipptool shows its
// value; "" when the answer has none.
std::string IppAttribute(const AppServer& server, const std::string& name, int jobId = 0);
// Reads it again, every 0.1 s for the guard time at most, until it has the
// value; returns the last value read.
std::string AwaitIppAttribute(const AppServer& server, const std::string& name, const std::string& value,
                              int jobId = 0);

// Whether the text at `at` is a status request, DLE EOT 1 to 4.
bool IsStatusRequest(const std::string& bytes, size_t at);

// Adds a driverless queue (lpadmin -m everywhere) of the private cupsd for
// the printer at printerUri, and waits until cupsd has made its PPD from
// the printer's attributes, which it does after lpadmin returns: until
// then the queue is raw. False when it did not come.
bool AddDriverlessQueue(const PrivateCupsd& cupsd, const std::string& queue, const std::string& printerUri);

// The text as a form field's value: letters, digits and -._~/ as they are.
std::string UrlEncoded(const std::string& text);

// Lines of the listing that contain text.
int CountLines(const std::string& listing, const std::string& text);
