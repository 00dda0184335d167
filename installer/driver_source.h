// The driver files that the current folder offers. The installer runs as
// root from whatever folder it is started in, which may be one that other
// users can write to: a file is taken from it only when root may trust it.
#pragma once

#include <cstddef>
#include <string>

enum driver_file_e { DF_PPD, DF_FILTER };

enum source_state_e {
    SS_ABSENT,    // nothing of that name in the current folder
    SS_ACCEPTED,  // open in fd, at its start, for the copy
    SS_REFUSED,   // strReason says why
};

struct DriverSource {
    source_state_e eState = SS_ABSENT;
    int fd = -1;
    std::size_t nMaxBytes = 0;  // the most that a copy of it may hold
    std::string strReason;

    DriverSource() = default;
    DriverSource(const DriverSource&) = delete;
    DriverSource& operator=(const DriverSource&) = delete;
    ~DriverSource();
};

// "./<pszName>", the name the file is read by and shown with.
std::string SourcePath(const char* pszName);

// Opens "./<pszName>" and checks it on the open descriptor, so that what is
// checked is what is copied. It is taken only when it is a regular file,
// not reached through a symbolic link, with one name, owned by root or by
// the user who started the installer (with sudo, the user who ran sudo),
// writable by its owner alone, at most 1 MiB for a PPD and 64 MiB for the
// filter; a PPD must be this printer's as libcups's PPD reader sees it, the
// filter an executable ELF program of this machine. A FIFO or a device is
// refused without being waited on.
void OpenDriverSource(const char* pszName, driver_file_e eKind, DriverSource* pSource);
