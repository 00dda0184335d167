#include "private_cupsd.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cups/cups.h>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "loopback.h"

namespace fs = std::filesystem;

namespace {

constexpr char SYSTEM_SERVERBIN[] = "/usr/lib/cups";
constexpr char SYSTEM_DATADIR[] = "/usr/share/cups";

bool MakeDir(const std::string& path, mode_t mode)
{
    std::error_code error;
    fs::create_directories(path, error);
    return !error && chmod(path.c_str(), mode) == 0;
}

// Links every entry of source into target, except the names in `skip`.
bool LinkEntries(const std::string& source, const std::string& target,
                 const std::vector<std::string>& skip)
{
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(source, error)) {
        const std::string name = entry.path().filename();
        if (std::find(skip.begin(), skip.end(), name) != skip.end())
            continue;
        fs::create_symlink(entry.path(), fs::path(target) / name, error);
        if (error)
            return false;
    }
    return !error;
}

http_t* Connect(const std::string& address, int port)
{
    return httpConnect2(address.c_str(), port, nullptr, AF_INET, HTTP_ENCRYPTION_IF_REQUESTED, 1, 5000,
                        nullptr);
}

ipp_t* NewRequest(ipp_op_t operation, const std::string& printerUri)
{
    ipp_t* request = ippNewRequest(operation);
    if (!printerUri.empty())
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printerUri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, "root");
    return request;
}

std::string PrinterUri(const std::string& name)
{
    return "ipp://localhost/printers/" + name;
}

std::string StringOf(ipp_t* response, const char* attribute)
{
    ipp_attribute_t* found = ippFindAttribute(response, attribute, IPP_TAG_ZERO);
    const char* value = found ? ippGetString(found, 0, nullptr) : nullptr;
    return value ? value : "";
}

}  // namespace

PrivateCupsd::PrivateCupsd(std::string address) : address_(std::move(address)) {}

PrivateCupsd::~PrivateCupsd()
{
    Stop();
}

void PrivateCupsd::Stop()
{
    if (pid_ <= 0)
        return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
}

::testing::AssertionResult PrivateCupsd::Start(int port)
{
    if (root_.path().empty() || !LayOut())
        return ::testing::AssertionFailure() << "cannot lay out " << root_.path();
    // The free port can be taken by someone else before cupsd binds it: try
    // again on another one.
    std::string failures;
    for (int attempt = 0; attempt < (port == 0 ? 3 : 1); ++attempt) {
        port_ = port == 0 ? FreeLoopbackPort() : port;
        if (port_ == 0 || !WriteConfiguration())
            return ::testing::AssertionFailure() << "cannot write the configuration in " << root_.path();
        Launch();
        if (WaitUntilAnswering())
            return ::testing::AssertionSuccess();
        Stop();
        failures += "port " + std::to_string(port_) + ": " + ReadFile(root_ / "log/cupsd.out") +
                    ReadFile(errorLog()) + "\n";
    }
    return ::testing::AssertionFailure() << "cupsd does not answer\n" << failures;
}

void PrivateCupsd::Launch()
{
    const std::string log = root_ / "log/cupsd.out";
    const std::string cupsdConf = serverRoot() + "/cupsd.conf";
    const std::string filesConf = serverRoot() + "/cups-files.conf";
    pid_ = fork();
    if (pid_ == 0) {
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(out, 2);
        execl("/usr/sbin/cupsd", "cupsd", "-f", "-c", cupsdConf.c_str(), "-s", filesConf.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
}

// True once the server answers; false when it ends or takes far too long.
bool PrivateCupsd::WaitUntilAnswering()
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (pid_ > 0 && std::chrono::steady_clock::now() < deadline) {
        if (Answers())
            return true;
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_)
            pid_ = -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

bool PrivateCupsd::LayOut() const
{
    const group* lp = getgrnam("lp");
    const std::string spool = root_ / "spool";
    // Filters and backends run as user lp: every folder they need is traversable.
    bool ok = MakeDir(serverBin(), 0755) && MakeDir(serverBin() + "/backend", 0755) &&
              MakeDir(serverBin() + "/filter", 0755) && MakeDir(serverBin() + "/driver", 0755) &&
              MakeDir(dataDir(), 0755) && MakeDir(dataDir() + "/model", 0755) &&
              MakeDir(serverRoot(), 0755) && MakeDir(root_ / "cache", 0755) &&
              MakeDir(root_ / "state", 0755) && MakeDir(root_ / "log", 0755) &&
              MakeDir(root_ / "tmp", 01777) && MakeDir(spool, 0710) && lp &&
              chown(spool.c_str(), 0, lp->gr_gid) == 0;
    // The driver folder stays empty: the system's drivers would browse the
    // network for printers whenever cups-driverd lists the models. Our own
    // filter comes from the build or the package under test, never from a
    // copy installed on the machine.
    ok = ok && LinkEntries(SYSTEM_SERVERBIN, serverBin(), {"backend", "filter", "driver"}) &&
         LinkEntries(std::string(SYSTEM_SERVERBIN) + "/backend", serverBin() + "/backend", {}) &&
         LinkEntries(std::string(SYSTEM_SERVERBIN) + "/filter", serverBin() + "/filter", {"RasterToKPrinter"}) &&
         LinkEntries(SYSTEM_DATADIR, dataDir(), {"model"});
    return ok;
}

bool PrivateCupsd::WriteConfiguration() const
{
    const std::string cupsd =
        "LogLevel debug\n"
        "Listen " + address_ + ":" + std::to_string(port_) + "\n"
        "WebInterface No\n"
        "Browsing Off\n"
        "DefaultAuthType None\n"
        "<Policy default>\n"
        "  <Limit All>\n"
        "    Order allow,deny\n"
        "    Allow all\n"
        "  </Limit>\n"
        "</Policy>\n";
    const std::string files =
        "ServerRoot " + serverRoot() + "\n"
        "ServerBin " + serverBin() + "\n"
        "DataDir " + dataDir() + "\n"
        "CacheDir " + root_ / "cache" + "\n"
        "StateDir " + root_ / "state" + "\n"
        "RequestRoot " + root_ / "spool" + "\n"
        "TempDir " + root_ / "tmp" + "\n"
        "AccessLog " + root_ / "log/access_log" + "\n"
        "ErrorLog " + errorLog() + "\n"
        "PageLog " + root_ / "log/page_log" + "\n"
        "Printcap " + root_ / "printcap" + "\n"
        "User lp\n"
        "Group lp\n"
        "SystemGroup root\n";
    return WriteFile(serverRoot() + "/cupsd.conf", cupsd) &&
           WriteFile(serverRoot() + "/cups-files.conf", files);
}

bool PrivateCupsd::Answers() const
{
    http_t* http = Connect(address_, port_);
    if (!http)
        return false;
    ippDelete(cupsDoRequest(http, NewRequest(IPP_OP_CUPS_GET_PRINTERS, ""), "/"));
    const bool answered = cupsLastError() <= IPP_STATUS_ERROR_NOT_FOUND;
    httpClose(http);
    return answered;
}

std::map<std::string, std::optional<std::string>> PrivateCupsd::ClientEnvironment() const
{
    return {{"CUPS_SERVER", address_ + ":" + std::to_string(port_)},
            {"IPP_PORT", std::to_string(port_)},
            {"CUPS_SERVERBIN", serverBin()},
            {"CUPS_DATADIR", dataDir()},
            {"CUPS_SERVERROOT", serverRoot()}};
}

bool PrivateCupsd::AddPackageRoot(const std::string& root) const
{
    return LinkEntries(root + SYSTEM_SERVERBIN + "/filter", serverBin() + "/filter", {}) &&
           LinkEntries(root + SYSTEM_DATADIR + "/model", dataDir() + "/model", {});
}

bool PrivateCupsd::InstallBackend(const std::string& name, const std::string& script) const
{
    return WriteFile(serverBin() + "/backend/" + name, script, 0755);
}

bool PrivateCupsd::AddRawQueue(const std::string& name, const std::string& deviceUri) const
{
    http_t* http = Connect(address_, port_);
    if (!http)
        return false;
    ipp_t* request = NewRequest(IPP_OP_CUPS_ADD_MODIFY_PRINTER, PrinterUri(name));
    ippAddString(request, IPP_TAG_PRINTER, IPP_TAG_URI, "device-uri", nullptr, deviceUri.c_str());
    ippDelete(cupsDoRequest(http, request, "/"));
    const bool added = cupsLastError() == IPP_STATUS_OK;
    httpClose(http);
    return added;
}

std::vector<std::string> PrivateCupsd::QueueNames() const
{
    std::vector<std::string> names;
    http_t* http = Connect(address_, port_);
    if (!http)
        return names;
    ipp_t* request = NewRequest(IPP_OP_CUPS_GET_PRINTERS, "");
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "printer-name");
    ipp_t* response = cupsDoRequest(http, request, "/");
    for (ipp_attribute_t* attr = ippFindAttribute(response, "printer-name", IPP_TAG_NAME); attr;
         attr = ippFindNextAttribute(response, "printer-name", IPP_TAG_NAME))
        names.push_back(ippGetString(attr, 0, nullptr));
    ippDelete(response);
    httpClose(http);
    return names;
}

std::optional<QueueState> PrivateCupsd::Queue(const std::string& name) const
{
    http_t* http = Connect(address_, port_);
    if (!http)
        return std::nullopt;
    ipp_t* response = cupsDoRequest(http, NewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, PrinterUri(name)), "/");
    std::optional<QueueState> state;
    if (response && ippGetStatusCode(response) == IPP_STATUS_OK) {
        state = QueueState{};
        state->deviceUri = StringOf(response, "device-uri");
        state->makeAndModel = StringOf(response, "printer-make-and-model");
        state->acceptingJobs = ippGetBoolean(ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN), 0);
        state->collateByDefault = ippGetBoolean(ippFindAttribute(response, "collate-default", IPP_TAG_BOOLEAN), 0);
        state->state = ippGetInteger(ippFindAttribute(response, "printer-state", IPP_TAG_ENUM), 0);
    }
    ippDelete(response);
    httpClose(http);
    return state;
}

std::optional<int> PrivateCupsd::JobState(int jobId) const
{
    http_t* http = Connect(address_, port_);
    if (!http)
        return std::nullopt;
    ipp_t* request = NewRequest(IPP_OP_GET_JOB_ATTRIBUTES, "");
    const std::string jobUri = "ipp://localhost/jobs/" + std::to_string(jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, jobUri.c_str());
    ipp_t* response = cupsDoRequest(http, request, "/");
    std::optional<int> state;
    if (ipp_attribute_t* found = ippFindAttribute(response, "job-state", IPP_TAG_ENUM))
        state = ippGetInteger(found, 0);
    ippDelete(response);
    httpClose(http);
    return state;
}
