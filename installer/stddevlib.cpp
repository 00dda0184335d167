#include "stddevlib.h"

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

char pszBuff[4096];
char con_dev[4096];

namespace {

// How long a killed program may take to go, and how often that is checked.
constexpr auto REAP_GRACE = std::chrono::seconds(1);
constexpr auto REAP_SLICE = std::chrono::milliseconds(10);

// Starts the program at pszPath with no arguments in a process group of its
// own, its standard input /dev/null and its standard output fdOut.
bool StartProgram(const char* pszPath, int fdOut, pid_t* pPid)
{
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fdOut, STDOUT_FILENO);
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    char* argv[] = {const_cast<char*>(pszPath), nullptr};
    const int nError = posix_spawn(pPid, pszPath, &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    errno = nError;
    return nError == 0;
}

// Reads from fd into pszOut until the end of the output, nSize bytes, or
// the run's deadline. Returns the count read; *pbTimedOut tells the last.
std::size_t ReadUntilDeadline(int fd, char* pszOut, std::size_t nSize, bool* pbTimedOut)
{
    std::size_t nRead = 0;
    *pbTimedOut = false;
    while (nRead < nSize) {
        pollfd poller{fd, POLLIN, 0};
        const int nReady = poll(&poller, 1, static_cast<int>(MillisecondsLeft()));
        if (nReady < 0 && errno == EINTR)
            continue;
        if (nReady == 0) {
            *pbTimedOut = true;
            break;
        }
        const ssize_t nChunk = nReady < 0 ? -1 : read(fd, pszOut + nRead, nSize - nRead);
        if (nChunk < 0 && errno == EINTR)
            continue;
        if (nChunk <= 0)
            break;
        nRead += static_cast<std::size_t>(nChunk);
    }
    return nRead;
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

ssize_t CaptureCommandOutput(const char* pszCmd, char* pszOut, std::size_t nSize)
{
    std::memset(pszOut, 0, nSize);
    std::fflush(stdout);  // keep our own output ahead of the command's
    FILE* pPipe = popen(pszCmd, "r");
    if (!pPipe)
        return -1;
    const std::size_t nRead = std::fread(pszOut, 1, nSize - 1, pPipe);
    pclose(pPipe);
    pszOut[nRead] = '\0';
    return static_cast<ssize_t>(nRead);
}

ssize_t CaptureProgramOutput(const char* pszPath, char* pszOut, std::size_t nSize)
{
    std::memset(pszOut, 0, nSize);
    std::fflush(stdout);  // keep our own output ahead of the program's
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return -1;
    pid_t pid = -1;
    const bool bStarted = StartProgram(pszPath, fds[1], &pid);
    const int nStartError = errno;
    close(fds[1]);
    if (!bStarted) {
        close(fds[0]);
        errno = nStartError;
        return -1;
    }
    bool bTimedOut = false;
    const std::size_t nRead = ReadUntilDeadline(fds[0], pszOut, nSize - 1, &bTimedOut);
    // Output beyond the buffer is not read: the program gets EPIPE.
    close(fds[0]);
    if (bTimedOut || !WaitUntil(pid, RunDeadline())) {
        Stop(pid);
        std::memset(pszOut, 0, nSize);
        errno = ETIMEDOUT;
        return -1;
    }
    return static_cast<ssize_t>(nRead);
}

int _cmd_pipe(const char* pszPath)
{
    if (CaptureProgramOutput(pszPath, pszBuff, sizeof pszBuff) <= 0)
        return -1;
    WriteLine(pszBuff);
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

char* _stdget_usbdev_i()
{
    std::memset(con_dev, 0, sizeof con_dev);
    if (_cmd_pipe(UsbBackendPath().c_str()) != 0) {
        WritePrompt("shell command error");
        return nullptr;
    }
    const char* pszUri = nullptr;
    std::size_t nLength = 0;
    if (!CutDirectDeviceUri(pszBuff, &pszUri, &nLength)) {
        WriteLine("There is no device.");
        return nullptr;
    }
    // The URI lies inside pszBuff, so it is shorter than con_dev.
    std::memcpy(con_dev, pszUri, nLength);
    std::printf("\nConnected Dev Name : [%s]\n", con_dev);
    return con_dev;
}
