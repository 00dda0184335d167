#include "driver_source.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ppd_file.h"
#include "program_file.h"

namespace {

constexpr off_t MIB = 1 << 20;
constexpr off_t MAX_PPD_BYTES = 1 * MIB;
constexpr off_t MAX_FILTER_BYTES = 64 * MIB;

// Whose files may be installed: root's, those of the user who started the
// installer and, under sudo, those of the user who ran sudo; each of them
// could install the files anyway.
bool IsInstallingUser(uid_t uid)
{
    if (uid == 0 || uid == getuid())
        return true;
    const char* pszSudoUid = std::getenv("SUDO_UID");
    return getuid() == 0 && pszSudoUid && std::to_string(uid) == pszSudoUid;
}

// Why a file with these attributes cannot be a driver file; "" when it can.
std::string FileRefusal(const struct stat& st, off_t nMaxBytes)
{
    if (S_ISDIR(st.st_mode))
        return std::strerror(EISDIR);
    if (!S_ISREG(st.st_mode))
        return "Not a regular file";
    if (!IsInstallingUser(st.st_uid))
        return "Owned by user ID " + std::to_string(st.st_uid) + ", neither root nor the user running the installer";
    // An access control list that lets others write shows in the group bits.
    if (st.st_mode & (S_IWGRP | S_IWOTH))
        return "Writable by users other than its owner";
    // A second name could be another file's, linked in by someone else.
    if (st.st_nlink != 1)
        return "Has more than one name (hard link)";
    if (st.st_size > nMaxBytes)
        return "Larger than " + std::to_string(nMaxBytes / MIB) + " MiB";
    return "";
}

std::string ContentRefusal(int fd, const struct stat& st, driver_file_e eKind)
{
    if (eKind == DF_PPD)
        return PpdRefusal(fd);
    if (!(st.st_mode & S_IXUSR))
        return "Not executable";
    return ProgramRefusal(fd);
}

off_t MaxBytes(driver_file_e eKind)
{
    return eKind == DF_PPD ? MAX_PPD_BYTES : MAX_FILTER_BYTES;
}

std::string Refusal(int fd, driver_file_e eKind)
{
    struct stat st {};
    if (fstat(fd, &st) != 0)
        return std::strerror(errno);
    std::string strReason = FileRefusal(st, MaxBytes(eKind));
    if (strReason.empty())
        strReason = ContentRefusal(fd, st, eKind);
    if (strReason.empty() && lseek(fd, 0, SEEK_SET) != 0)
        strReason = std::strerror(errno);
    return strReason;
}

}  // namespace

std::string SourcePath(const char* pszName)
{
    return std::string("./") + pszName;
}

DriverSource::~DriverSource()
{
    if (fd >= 0)
        close(fd);
}

void OpenDriverSource(const char* pszName, driver_file_e eKind, DriverSource* pSource)
{
    // O_NONBLOCK: opening a FIFO must not wait for a writer.
    const int fd = open(SourcePath(pszName).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int nError = errno;
        if (nError == ENOENT)
            return;
        pSource->eState = SS_REFUSED;
        pSource->strReason = nError == ELOOP ? "Is a symbolic link" : std::strerror(nError);
        return;
    }
    pSource->strReason = Refusal(fd, eKind);
    if (!pSource->strReason.empty()) {
        close(fd);
        pSource->eState = SS_REFUSED;
        return;
    }
    pSource->eState = SS_ACCEPTED;
    pSource->fd = fd;
    pSource->nMaxBytes = static_cast<std::size_t>(MaxBytes(eKind));
}
