// Small device library: runs commands and programs with captured output and
// finds the device URI of a USB printer in the listing of the CUPS usb
// backend.
#pragma once

#include <cstddef>
#include <sys/types.h>

// Output of the last command run by _cmd_pipe: at most 4095 bytes and a zero.
extern char pszBuff[4096];
// Device URI found by the last _stdget_usbdev_i, zero-filled before each search.
extern char con_dev[4096];

// Runs pszCmd through the shell, reading at most nSize - 1 bytes of its
// standard output into pszOut, which it zero-terminates (after clearing it).
// Returns the count of bytes read, or -1 (errno set) when the command could
// not be started.
ssize_t CaptureCommandOutput(const char* pszCmd, char* pszOut, std::size_t nSize);

// Runs the program at pszPath with no arguments and no shell, standard input
// /dev/null, reading at most nSize - 1 bytes of its standard output into
// pszOut, which it zero-terminates (after clearing it). The program must end
// within the run's time limit (time_limit.h); one that does not is killed,
// with whatever it started. Returns the count of bytes read, or -1 (errno
// set) when the program could not be started or did not end in time.
ssize_t CaptureProgramOutput(const char* pszPath, char* pszOut, std::size_t nSize);

// Runs the program at pszPath with CaptureProgramOutput, captures its output
// in pszBuff and writes it as a line. Returns 0 when output was captured,
// -1 otherwise.
int _cmd_pipe(const char* pszPath);

// Applies the cut rule to a usb backend listing: finds the URI of the first
// "direct" device. Returns true and sets *ppszUri and *pnLength when the URI
// is complete inside pszListing; never reads past its terminating zero.
bool CutDirectDeviceUri(const char* pszListing, const char** ppszUri, std::size_t* pnLength);

// Runs the usb backend and returns the URI of the first direct-attached
// device (kept in con_dev), or nullptr when there is none.
char* _stdget_usbdev_i();
