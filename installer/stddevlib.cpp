#include "stddevlib.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "console.h"
#include "install_paths.h"
#include "time_limit.h"

extern char** environ;

namespace {

// How long a killed program may take to go, and how often that is checked.
constexpr auto REAP_GRACE = std::chrono::seconds(1);
constexpr auto REAP_SLICE = std::chrono::milliseconds(10);

constexpr std::size_t LISTING_SIZE = 4095;  // the most of the usb backend's listing that is read

// Starts the program at argv[0] in a process group of its own, its
// standard input /dev/null and its standard output fdOut.
bool StartProgram(const std::vector<const char*>& argv, int fdOut, pid_t* pPid)
{
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fdOut, STDOUT_FILENO);
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    std::vector<char*> args;
    for (const char* pszArg : argv)
        args.push_back(const_cast<char*>(pszArg));
    args.push_back(nullptr);
    const int nError = posix_spawn(pPid, argv[0], &actions, &attributes, args.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    errno = nError;
    return nError == 0;
}

// Reads from fd into *pstrOut until the end of the output, nMax bytes, or
// the run's deadline; *pbTimedOut tells the last.
void ReadUntilDeadline(int fd, std::size_t nMax, std::string* pstrOut, bool* pbTimedOut)
{
    char szChunk[4096];
    *pbTimedOut = false;
    while (pstrOut->size() < nMax) {
        pollfd poller{fd, POLLIN, 0};
        const int nReady = poll(&poller, 1, static_cast<int>(MillisecondsLeft()));
        if (nReady < 0 && errno == EINTR)
            continue;
        if (nReady == 0) {
            *pbTimedOut = true;
            break;
        }
        const std::size_t nWanted = std::min(sizeof szChunk, nMax - pstrOut->size());
        const ssize_t nChunk = nReady < 0 ? -1 : read(fd, szChunk, nWanted);
        if (nChunk < 0 && errno == EINTR)
            continue;
        if (nChunk <= 0)
            break;
        pstrOut->append(szChunk, static_cast<std::size_t>(nChunk));
    }
}

// Waits for the child to end until the given time; true once it has.
bool WaitUntil(pid_t pid, InstallClock::time_point until)
{
    for (;;) {
        const pid_t nDone = waitpid(pid, nullptr, WNOHANG);
        if (nDone == pid || (nDone < 0 && errno != EINTR))
            return true;
        if (InstallClock::now() >= until)
            return false;
        std::this_thread::sleep_for(REAP_SLICE);
    }
}

// Ends the program and everything it started. One that does not go even
// then (stuck in the kernel on a device) is left behind, not waited for.
void Stop(pid_t pid)
{
    kill(-pid, SIGKILL);
    WaitUntil(pid, InstallClock::now() + REAP_GRACE);
}

}  // namespace

ssize_t CaptureProgramOutput(const std::vector<const char*>& argv, std::size_t nMax, std::string* pstrOut)
{
    pstrOut->clear();
    std::fflush(stdout);  // keep our own output ahead of the program's
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return -1;
    pid_t pid = -1;
    const bool bStarted = StartProgram(argv, fds[1], &pid);
    const int nStartError = errno;
    close(fds[1]);
    if (!bStarted) {
        close(fds[0]);
        errno = nStartError;
        return -1;
    }
    bool bTimedOut = false;
    ReadUntilDeadline(fds[0], nMax, pstrOut, &bTimedOut);
    // Output beyond nMax is not read: the program gets EPIPE.
    close(fds[0]);
    if (bTimedOut || !WaitUntil(pid, RunDeadline())) {
        Stop(pid);
        pstrOut->clear();
        errno = ETIMEDOUT;
        return -1;
    }
    return static_cast<ssize_t>(pstrOut->size());
}

int _cmd_pipe(const char* pszPath, std::string* pstrOut)
{
    if (CaptureProgramOutput({pszPath}, LISTING_SIZE, pstrOut) <= 0)
        return -1;
    WriteLine(pstrOut->c_str());
    return 0;
}

bool CutDirectDeviceUri(const char* pszListing, const char** ppszUri, std::size_t* pnLength)
{
    static constexpr char DEVICE_CLASS[] = "direct";
    const char* pszDirect = std::strstr(pszListing, DEVICE_CLASS);
    // The URI starts after the class word and the one separator after it.
    const std::size_t nWordLength = sizeof DEVICE_CLASS - 1;
    if (!pszDirect || pszDirect[nWordLength] == '\0')
        return false;
    const char* pszUri = pszDirect + nWordLength + 1;
    const char* pszUsb = std::strstr(pszUri, "usb");
    if (!pszUsb)
        return false;
    const char* pszEnd = std::strstr(pszUsb, " \"");
    if (!pszEnd)
        return false;
    *ppszUri = pszUri;
    *pnLength = static_cast<std::size_t>(pszEnd - pszUri);
    return true;
}

std::string _stdget_usbdev_i()
{
    std::string strListing;
    if (_cmd_pipe(UsbBackendPath().c_str(), &strListing) != 0) {
        WritePrompt("shell command error");
        return "";
    }
    const char* pszUri = nullptr;
    std::size_t nLength = 0;
    if (!CutDirectDeviceUri(strListing.c_str(), &pszUri, &nLength)) {
        WriteLine("There is no device.");
        return "";
    }
    const std::string strUri(pszUri, nLength);
    std::printf("\nConnected Dev Name : [%s]\n", strUri.c_str());
    return strUri;
}
