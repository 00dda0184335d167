#include "driver_files.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The signals that end a program from the terminal or from kill are held
// back while it lives, so that a copy is finished or undone, never left
// half-written in a CUPS folder, when one of them comes.
class SignalsHeldBack {
public:
    SignalsHeldBack()
    {
        sigset_t signals;
        sigemptyset(&signals);
        for (const int nSignal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
            sigaddset(&signals, nSignal);
        sigprocmask(SIG_BLOCK, &signals, &saved_);
    }
    ~SignalsHeldBack() { sigprocmask(SIG_SETMASK, &saved_, nullptr); }
    SignalsHeldBack(const SignalsHeldBack&) = delete;
    SignalsHeldBack& operator=(const SignalsHeldBack&) = delete;

private:
    sigset_t saved_;
};

bool WriteAll(int fd, const char* pData, std::size_t nLength)
{
    while (nLength > 0) {
        const ssize_t nWritten = write(fd, pData, nLength);
        if (nWritten < 0 && errno == EINTR)
            continue;
        if (nWritten <= 0)
            return false;
        pData += nWritten;
        nLength -= static_cast<std::size_t>(nWritten);
    }
    return true;
}

bool CopyContent(int fdIn, int fdOut, std::size_t nMaxBytes)
{
    char buffer[65536];
    std::size_t nTotal = 0;
    for (;;) {
        const ssize_t nRead = read(fdIn, buffer, sizeof buffer);
        if (nRead < 0 && errno == EINTR)
            continue;
        if (nRead <= 0)
            return nRead == 0;
        nTotal += static_cast<std::size_t>(nRead);
        if (nTotal > nMaxBytes) {
            errno = EFBIG;
            return false;
        }
        if (!WriteAll(fdOut, buffer, static_cast<std::size_t>(nRead)))
            return false;
    }
}

// "<dir>/.<name>.XXXXXX": beside the destination, so that the rename stays
// in one file system, and hidden, so that CUPS never lists a half-written PPD.
std::string TemporaryNameFor(const std::string& destination)
{
    const std::size_t nSlash = destination.rfind('/');
    const std::size_t nNameStart = nSlash == std::string::npos ? 0 : nSlash + 1;
    return destination.substr(0, nNameStart) + "." + destination.substr(nNameStart) + ".XXXXXX";
}

bool FileExists(const std::string& path)
{
    return access(path.c_str(), F_OK) == 0;
}

}  // namespace

bool ReplaceFile(int fdSource, std::size_t nMaxBytes, const std::string& destination, mode_t mode)
{
    const SignalsHeldBack held;
    std::string temporary = TemporaryNameFor(destination);
    const int fdOut = mkostemp(temporary.data(), O_CLOEXEC);
    if (fdOut < 0)
        return false;
    bool bReplaced = CopyContent(fdSource, fdOut, nMaxBytes) && fchmod(fdOut, mode) == 0 && fsync(fdOut) == 0;
    // close and unlink change errno only when they fail themselves, so the
    // first failure's reason is what the caller sees.
    const bool bClosed = close(fdOut) == 0;
    bReplaced = bReplaced && bClosed && rename(temporary.c_str(), destination.c_str()) == 0;
    if (!bReplaced)
        unlink(temporary.c_str());
    return bReplaced;
}

bool AcceptDriverSource(const DriverSource& source, const char* pszName, const std::string& targetDir)
{
    if (source.eState != SS_REFUSED)
        return true;
    std::printf("Error> cannot copy '%s' to '%s%s': %s\n", SourcePath(pszName).c_str(), targetDir.c_str(), pszName,
                source.strReason.c_str());
    return false;
}

bool PlaceDriverFile(const DriverSource& source, const char* pszName, const std::string& targetDir, mode_t mode)
{
    if (source.eState == SS_REFUSED)
        return AcceptDriverSource(source, pszName, targetDir);
    if (source.eState == SS_ABSENT)
        return UseInstalledDriverFile(pszName, targetDir);
    const std::string strSource = SourcePath(pszName);
    const std::string target = targetDir + pszName;
    if (!ReplaceFile(source.fd, source.nMaxBytes, target, mode)) {
        std::printf("Error> cannot copy '%s' to '%s': %s\n", strSource.c_str(), target.c_str(), std::strerror(errno));
        return false;
    }
    std::printf("'%s' -> '%s'\n", strSource.c_str(), target.c_str());
    return true;
}

bool UseInstalledDriverFile(const char* pszName, const std::string& targetDir)
{
    const std::string target = targetDir + pszName;
    if (!FileExists(target)) {
        std::printf("Error> %s is neither in the current folder nor in %s\n", pszName, targetDir.c_str());
        return false;
    }
    std::printf("using the installed '%s'\n", target.c_str());
    return true;
}
