// Small device library: runs programs with captured output and finds the
// device URI of a USB printer in the listing of the CUPS usb backend.
#pragma once

#include <cstddef>
#include <string>
#include <sys/types.h>
#include <vector>

// The one way the installer runs a program and reads what it writes: the
// program at argv[0] with the arguments after it and no shell, standard
// input /dev/null, at most nMax bytes of its standard output read into
// *pstrOut. The program must end within the run's time limit
// (time_limit.h); one that does not is killed, with whatever it started.
// Returns the count of bytes read, or -1 (errno set, *pstrOut empty) when
// the program could not be started or did not end in time.
ssize_t CaptureProgramOutput(const std::vector<const char*>& argv, std::size_t nMax, std::string* pstrOut);

// Runs the program at pszPath without arguments, captures at most 4095
// bytes of its output in *pstrOut and writes them as a line. Returns 0 when
// output was captured, -1 otherwise.
int _cmd_pipe(const char* pszPath, std::string* pstrOut);

// Applies the cut rule to a usb backend listing: finds the URI of the first
// "direct" device. Returns true and sets *ppszUri and *pnLength when the URI
// is complete inside pszListing; never reads past its terminating zero.
bool CutDirectDeviceUri(const char* pszListing, const char** ppszUri, std::size_t* pnLength);

// Runs the usb backend and returns the URI of the first direct-attached
// device; "" when there is none.
std::string _stdget_usbdev_i();
