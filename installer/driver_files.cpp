#include "driver_files.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char SOURCE_DIR[] = "./";

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

bool CopyContent(int fdIn, int fdOut)
{
    char buffer[65536];
    for (;;) {
        const ssize_t nRead = read(fdIn, buffer, sizeof buffer);
        if (nRead < 0 && errno == EINTR)
            continue;
        if (nRead <= 0)
            return nRead == 0;
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

bool ReplaceFile(const std::string& source, const std::string& destination, mode_t mode)
{
    const int fdIn = open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (fdIn < 0)
        return false;
    std::string temporary = TemporaryNameFor(destination);
    const int fdOut = mkostemp(temporary.data(), O_CLOEXEC);
    bool bReplaced = fdOut >= 0 && CopyContent(fdIn, fdOut) && fchmod(fdOut, mode) == 0 && fsync(fdOut) == 0;
    // close and unlink change errno only when they fail themselves, so the
    // first failure's reason is what the caller sees.
    close(fdIn);
    if (fdOut < 0)
        return false;
    const bool bClosed = close(fdOut) == 0;
    bReplaced = bReplaced && bClosed && rename(temporary.c_str(), destination.c_str()) == 0;
    if (!bReplaced)
        unlink(temporary.c_str());
    return bReplaced;
}

bool PlaceDriverFile(const char* pszName, const std::string& targetDir, mode_t mode)
{
    const std::string source = std::string(SOURCE_DIR) + pszName;
    if (!FileExists(source))
        return UseInstalledDriverFile(pszName, targetDir);
    const std::string target = targetDir + pszName;
    if (!ReplaceFile(source, target, mode)) {
        std::printf("Error> cannot copy '%s' to '%s': %s\n", source.c_str(), target.c_str(),
                    std::strerror(errno));
        return false;
    }
    std::printf("'%s' -> '%s'\n", source.c_str(), target.c_str());
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
