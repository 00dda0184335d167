#include "app_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <iostream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "serial_device.h"

namespace {

using Clock = std::chrono::steady_clock;

// PAPPL 1.3.1 may not stop after some IPP traffic; then it is killed.
constexpr auto SHUTDOWN_GUARD = std::chrono::seconds(5);

bool Exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// A client of the server that hangs is killed, so that the test fails
// saying where instead of meeting ctest's time limit.
ChildOptions Guarded()
{
    ChildOptions options;
    options.guardSeconds = 120;
    return options;
}

// The last `count` lines of the text.
std::string LastLines(const std::string& text, size_t count)
{
    size_t start = text.size();  // where the lines kept start, past a line break
    for (size_t breaks = 0; breaks <= count && start > 0; ++breaks) {
        const size_t lineBreak = text.rfind('\n', start - 1);
        if (lineBreak == std::string::npos)
            return text;
        start = lineBreak;
    }
    return text.empty() ? text : text.substr(start + 1);
}

// The session token of the page's form, "" if it has none.
std::string SessionToken(const std::string& page)
{
    const std::string mark = "name=\"session\" value=\"";
    const size_t start = page.find(mark);
    if (start == std::string::npos)
        return "";
    const size_t token = start + mark.size();
    return page.substr(token, page.find('"', token) - token);
}

// The HTTP status of a curl run with -w "\n%{http_code}"; the body before it.
int PostStatus(const ChildResult& post, std::string* body)
{
    const size_t lastLine = post.out.rfind('\n');
    if (body != nullptr)
        *body = post.out.substr(0, lastLine);
    return atoi(post.out.c_str() + lastLine + 1);
}

}  // namespace

bool AddDriverlessQueue(const PrivateCupsd& cupsd, const std::string& queue, const std::string& printerUri)
{
    ChildOptions client;
    client.environment = cupsd.ClientEnvironment();
    const ChildResult added =
        RunChild({"/usr/sbin/lpadmin", "-p", queue, "-E", "-v", printerUri, "-m", "everywhere"}, client);
    if (added.exitStatus != 0) {
        ADD_FAILURE() << "lpadmin: " << added.out << added.err;
        return false;
    }
    const auto deadline = Clock::now() + std::chrono::seconds(kGuardSeconds);
    while (Clock::now() < deadline) {
        const std::optional<QueueState> state = cupsd.Queue(queue);
        if (state && state->makeAndModel.find("IPP Everywhere") != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ADD_FAILURE() << "the driverless queue got no PPD";
    return false;
}

std::string UrlEncoded(const std::string& text)
{
    std::string encoded;
    for (const unsigned char c : text) {
        if (isalnum(c) || strchr("-._~/", c) != nullptr) {
            encoded += static_cast<char>(c);
        } else {
            char escape[4];
            snprintf(escape, sizeof(escape), "%%%02X", c);
            encoded += escape;
        }
    }
    return encoded;
}

std::string IppRequest(const std::string& operation)
{
    return "{\nOPERATION " + operation +
           "\nGROUP operation-attributes-tag\n"
           "ATTR charset attributes-charset utf-8\nATTR naturalLanguage attributes-natural-language en\n"
           "ATTR uri printer-uri $uri\nATTR name requesting-user-name test\n";
}

std::string IppAttribute(const AppServer& server, const std::string& name, int jobId)
{
    const std::string request = jobId > 0 ? IppRequest("Get-Job-Attributes") + "ATTR integer job-id " +
                                                std::to_string(jobId) + "\n"
                                          : IppRequest("Get-Printer-Attributes");
    const ChildResult run =
        server.IppTool(request + "ATTR keyword requested-attributes " + name + "\nSTATUS successful-ok\n}\n");
    const std::string mark = "        " + name + " (";  // in the response, not the request
    const size_t start = run.out.find(mark);
    if (start == std::string::npos)
        return "";
    const size_t value = run.out.find(" = ", start) + 3;
    return run.out.substr(value, run.out.find('\n', value) - value);
}

std::string AwaitIppAttribute(const AppServer& server, const std::string& name, const std::string& value, int jobId)
{
    const auto deadline = Clock::now() + std::chrono::seconds(kGuardSeconds);
    std::string now = IppAttribute(server, name, jobId);
    while (now != value && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        now = IppAttribute(server, name, jobId);
    }
    return now;
}

bool IsStatusRequest(const std::string& bytes, size_t at)
{
    return bytes.size() >= at + 3 && static_cast<unsigned char>(bytes[at]) == DLE &&
           static_cast<unsigned char>(bytes[at + 1]) == EOT && bytes[at + 2] >= 1 && bytes[at + 2] <= 4;
}

int CountLines(const std::string& listing, const std::string& text)
{
    std::istringstream lines(listing);
    int count = 0;
    for (std::string line; std::getline(lines, line);)
        count += line.find(text) != std::string::npos;
    return count;
}

AppServer::~AppServer()
{
    Stop();
    if (::testing::Test::HasFailure())
        std::cerr << "The server's log, its end:\n" << LastLines(ReadFile(folder_ / "korla-printer-app.log"), 150);
    if (printer_)
        printer_->terminate();
    if (mounted_)
        RunChild({"/bin/umount", folder_.path()}, {});
}

bool AppServer::StartPrinter(const PrinterSetup& setup)
{
    if (!setup.deviceUri.empty()) {
        deviceUri_ = setup.deviceUri;
        return true;
    }
    std::vector<std::string> arguments = {"--jobs", "100000", "--raw", printerOutput_ / "job.bin"};
    if (!setup.bytesOnly)
        arguments.insert(arguments.end(),
                         {"--listing", printerOutput_ / "job.txt", "--png", printerOutput_ / "job.png"});
    printerJobs_ = EmulatorJobs(printerOutput_ / "job", setup.bytesOnly ? ".bin" : ".png");
    if (setup.serial)
        arguments.insert(arguments.begin(), {"--pty", "--pty-link", SerialPort()});
    else
        arguments.insert(arguments.begin(), {"--tcp", "127.0.0.1:0"});
    arguments.insert(arguments.end(), setup.emulatorOptions.begin(), setup.emulatorOptions.end());
    printer_ = std::make_unique<EmulatorProcess>(arguments);
    const std::string reachedAt = printer_->readLine();
    if (reachedAt.empty())
        return false;
    deviceUri_ = setup.serial ? "serial:" + SerialPort() + "?" + setup.serialSettings
                              : "socket://127.0.0.1:" + reachedAt;
    return true;
}

bool AppServer::Start(const PrinterSetup& setup)
{
    port_ = FreeLoopbackPort();
    if (setup.folderBytes > 0) {
        const ChildResult mounted = RunChild({"/bin/mount", "-t", "tmpfs", "-o",
                                              "size=" + std::to_string(setup.folderBytes) + ",mode=0700", "tmpfs",
                                              folder_.path()},
                                             {});
        mounted_ = mounted.exitStatus == 0;
        if (!mounted_) {
            ADD_FAILURE() << "no tmpfs for the server's folder: " << mounted.err;
            return false;
        }
    }
    if (!StartPrinter(setup) || port_ == 0) {
        ADD_FAILURE() << "no printer or no port for the server";
        return false;
    }
    setup_ = setup;
    if (!StartServer())
        return false;
    if (setup.addedOnWebPage)
        return AddPrinterOnWebPage(setup);
    const ChildResult added = Run({"add", "-d", PRINTER, "-v", deviceUri_, "-m", setup.driver});
    if (added.exitStatus != 0)
        ADD_FAILURE() << "add: " << added.out << added.err;
    return added.exitStatus == 0;
}

bool AppServer::Restart()
{
    Stop();
    return StartServer();
}

bool AppServer::StartServer()
{
    const PrinterSetup& setup = setup_;
    std::vector<std::string> arguments = {APP_PATH,
                                          "--dir",
                                          folder_.path(),
                                          "server",
                                          "-o",
                                          "server-port=" + std::to_string(port_),
                                          "-o",
                                          "log-level=" + setup.logLevel,
                                          "-o",
                                          "status-interval=" + std::to_string(setup.statusInterval)};
    for (const std::string& option : setup.serverOptions)
        arguments.insert(arguments.end(), {"-o", option});
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
        const int log = open((folder_ / "server.out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(log, STDOUT_FILENO);
        dup2(log, STDERR_FILENO);
        setenv(DEVICE_FOLDER_VARIABLE, deviceFolder_.path().c_str(), 1);
        execv(APP_PATH, argv.data());
        _exit(127);
    }
    if (!WaitUntilAnswering()) {
        ADD_FAILURE() << "the server did not answer\n" << ReadFile(folder_ / "server.out");
        return false;
    }
    return true;
}

// The serial port is chosen as the page lists it; its line settings come
// from the form's own fields.
bool AppServer::AddPrinterOnWebPage(const PrinterSetup& setup)
{
    std::string device = "network&hostname=" + deviceUri_.substr(deviceUri_.find("//") + 2);
    if (setup.serial) {
        const std::string page = WebPage("/addprinter");
        const std::string listed = "<option value=\"serial:" + SerialPort() + "?";
        const size_t start = page.find(listed);
        if (start == std::string::npos) {
            ADD_FAILURE() << "the serial port is not offered:\n" << page;
            return false;
        }
        const size_t value = start + listed.find("serial:");
        device = page.substr(value, page.find('"', value) - value);
        std::string settings = setup.serialSettings;
        std::replace(settings.begin(), settings.end(), '+', '&');
        device = UrlEncoded(device) + "&" + settings;
    }
    std::string answer;
    const int status =
        PostForm("/addprinter", "printer_name=" + PRINTER + "&driver_name=" + setup.driver + "&device_uri=" + device,
                 &answer);
    if (status != 302)
        ADD_FAILURE() << "the printer was not added: HTTP " << status << "\n" << answer;
    return status == 302;
}

bool AppServer::WaitUntilAnswering() const
{
    const auto deadline = Clock::now() + std::chrono::seconds(kGuardSeconds);
    while (Clock::now() < deadline) {
        // "status" says "Server is not running." and ends with success when
        // nothing answers on the socket, which a stopped server leaves.
        if (Exists(folder_ / "korla-printer-app.sock")) {
            const ChildResult status = Run({"status"});
            if (status.exitStatus == 0 && status.out.find("not running") == std::string::npos)
                return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

// A sanitizer's report from the server lands in its output, which no
// test reads otherwise; the server's exit is not looked at, since PAPPL
// itself may report at shutdown.
void AppServer::Stop()
{
    if (pid_ <= 0)
        return;
    const std::string output = ReadFile(folder_ / "server.out");
    if (output.find("Sanitizer") != std::string::npos || output.find("runtime error") != std::string::npos)
        ADD_FAILURE() << "the server reported an error\n" << output;
    Run({"shutdown"});
    int status = 0;
    const auto deadline = Clock::now() + SHUTDOWN_GUARD;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            break;
        }
        WakeUp();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    pid_ = -1;
}

void AppServer::Kill()
{
    if (pid_ <= 0)
        return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

double AppServer::WaitForExit(double maxSeconds)
{
    const auto start = Clock::now();
    const auto deadline = start + std::chrono::duration<double>(maxSeconds);
    while (waitpid(pid_, nullptr, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            Kill();
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    pid_ = -1;
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// PAPPL notices a shutdown only when something happens: a connection.
void AppServer::WakeUp() const
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port_));
    connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    close(fd);
}

std::string AppServer::PrinterUri() const
{
    return "ipp://" + clientHost_ + ":" + std::to_string(port_) + "/ipp/print/" + PRINTER;
}

std::string AppServer::LocalPrinterUri() const
{
    // CUPS takes a host name that starts with a slash for a local socket.
    std::string host;
    for (const char c : UrlEncoded(folder_ / "korla-printer-app.sock"))
        host += c == '/' ? std::string("%2F") : std::string(1, c);
    return "ipp://" + host + "/ipp/print/" + PRINTER;
}

std::string AppServer::WebUrl(const std::string& path) const
{
    return "http://" + clientHost_ + ":" + std::to_string(port_) + path;
}

// curl with the cookies, when they are kept.
std::vector<std::string> AppServer::Curl(std::vector<std::string> arguments) const
{
    std::vector<std::string> argv = {"/usr/bin/curl", "-s", "-g"};
    if (!cookieJar_.empty())
        argv.insert(argv.end(), {"-b", cookieJar_, "-c", cookieJar_});
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return argv;
}

std::string AppServer::WebPage(const std::string& path) const
{
    return RunChild(Curl({WebUrl(path)}), Guarded()).out;
}

int AppServer::PostUploads(const std::string& path, const std::vector<std::string>& fields, std::string* body) const
{
    const std::string session = SessionToken(WebPage(path));
    if (session.empty())
        return 0;
    std::vector<std::string> argv = Curl({"-w", "\n%{http_code}", "-F", "session=" + session});
    for (const std::string& field : fields) {
        argv.push_back("-F");
        argv.push_back(field);
    }
    argv.push_back(WebUrl(path));
    return PostStatus(RunChild(argv, Guarded()), body);
}

int AppServer::PostForm(const std::string& path, const std::string& fields, std::string* body) const
{
    const std::string session = SessionToken(WebPage(path));
    if (session.empty())
        return 0;
    const std::vector<std::string> argv =
        Curl({"-w", "\n%{http_code}", "--data", "session=" + session + "&" + fields, WebUrl(path)});
    return PostStatus(RunChild(argv, Guarded()), body);
}

ChildResult AppServer::Run(const std::vector<std::string>& arguments) const
{
    std::vector<std::string> argv = {APP_PATH, "--dir", folder_.path()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return RunChild(argv, Guarded());
}

ChildResult AppServer::IppTool(const std::string& test, const std::vector<std::string>& definitions) const
{
    return RunIppTool(PrinterUri(), test, definitions);
}

ChildResult AppServer::AdminIppTool(const std::string& test, const std::vector<std::string>& definitions) const
{
    return RunIppTool(LocalPrinterUri(), test, definitions);
}

ChildResult AppServer::RunIppTool(const std::string& printerUri, const std::string& test,
                                  const std::vector<std::string>& definitions) const
{
    // Tests send requests from several threads at once: each its own file.
    static std::atomic<int> count{0};
    const std::string file = folder_ / ("test-" + std::to_string(++count) + ".test");
    WriteFile(file, test);
    std::vector<std::string> argv = {"/usr/bin/ipptool", "-tv"};
    for (const std::string& definition : definitions) {
        argv.push_back("-d");
        argv.push_back(definition);
    }
    argv.push_back(printerUri);
    argv.push_back(file);
    ChildResult run = RunChild(argv, Guarded());
    // ipptool stops with success at a test it cannot parse: the run counts
    // as passed only when every test of the text has passed.
    std::istringstream lines(test);
    int tests = 0;
    for (std::string line; std::getline(lines, line);)
        tests += line == "{";
    const int passed = CountLines(run.out, "[PASS]");
    if (run.exitStatus == 0 && passed != tests) {
        run.exitStatus = 1;
        run.err += "ipptool passed " + std::to_string(passed) + " of the " + std::to_string(tests) + " tests\n";
    }
    return run;
}

ChildResult AppServer::PrintRaster(const std::string& file, const std::string& jobAttribute) const
{
    return IppTool(IppRequest("Print-Job") +
                       "ATTR mimeMediaType document-format image/pwg-raster\nGROUP job-attributes-tag\n" +
                       jobAttribute + "\nFILE $filename\nSTATUS successful-ok\n}\n",
                   {"filename=" + file});
}

std::string AppServer::ProcessingJob() const
{
    const auto deadline = Clock::now() + std::chrono::seconds(kGuardSeconds);
    while (Clock::now() < deadline) {
        std::istringstream jobs(Run({"jobs", "-d", PRINTER}).out);
        for (std::string line; std::getline(jobs, line);) {
            if (line.find(" processing ") != std::string::npos)
                return line.substr(0, line.find(' '));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return "0";
}

// The emulator numbers its outputs session by session and writes them once
// the session has ended: the bytes, the listing, then the paper picture, so
// that the picture's file, once whole, says the other two are complete.
AppServer::PrinterJob AppServer::NextJob()
{
    const auto deadline = Clock::now() + std::chrono::seconds(kGuardSeconds);
    while (Clock::now() < deadline) {
        const int number = sessionsSeen_ + 1;
        if (!printerJobs_.Complete(number)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            continue;
        }
        ++sessionsSeen_;
        PrinterJob job;
        job.bytes = printerJobs_.Bytes(number);
        job.listing = printerJobs_.Listing(number);
        job.picture = printerJobs_.Path(number, ".png");
        while (IsStatusRequest(job.bytes, 0)) {
            job.bytes.erase(0, PAPER_STATUS_REQUEST.size());
            ++job.statusRequests;
        }
        if (job.bytes.empty() && job.statusRequests > 0)
            continue;  // a paper check or a probe between jobs
        while (job.bytes.size() >= PAPER_STATUS_REQUEST.size() &&
               IsStatusRequest(job.bytes, job.bytes.size() - PAPER_STATUS_REQUEST.size())) {
            job.bytes.resize(job.bytes.size() - PAPER_STATUS_REQUEST.size());
            ++job.statusRequests;
        }
        job.receipt = ReadReceipt(job.bytes);
        job.arrived = true;
        return job;
    }
    return {};
}

// The emulator writes a session's outputs when the session ends, and the
// one in progress when it is told to stop.
std::string AppServer::StopAndCollectBytes()
{
    Stop();
    if (!printer_)
        return "";
    printer_->terminate();
    printer_->wait();
    std::string bytes;
    for (int session = 1; Exists(printerJobs_.Path(session, ".bin")); ++session)
        bytes += printerJobs_.Bytes(session);
    return bytes;
}

void AppServer::RemovePrinter()
{
    if (!printer_)
        return;
    printer_->terminate();
    printer_->wait();
}
