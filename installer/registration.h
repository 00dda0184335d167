// Driver installation and queue registration, where every set-up ends.
#pragma once

#include <string>

// The queue a set-up registered.
struct InstalledQueue {
    std::string strName;
    std::string strDeviceUri;
    std::string strPpdName;
};

// Runs pszCmd through the shell (CaptureProgramOutput, stddevlib.h),
// captures at most 1023 bytes of its output in *pstrOut and writes them as a
// line. Returns 0 when output was captured, -1 otherwise.
int run_cmd(const char* pszCmd, std::string* pstrOut);

// Puts the PPD and the filter into the CUPS directories: copies the ones in
// the current directory, or uses the ones installed there already when the
// current directory lacks them. Returns false, after an "Error> " line, when
// a file of the current directory is refused (driver_source.h), could not
// be copied or is in neither place.
bool CopyDriverFiles();

// Puts the driver files in place and registers the queue with the CUPS
// server by a CUPS-Add-Modify-Printer request. Returns 1 when the server
// answered successful-ok and then holds the queue with the device URI and
// the PPD asked for, 0 otherwise (nothing is sent when the driver files
// could not be put in place).
int AddPrinter(const char* pszPrinterName, const char* pszDeviceUri, const char* pszPpdName);

// Writes the device URI, queue name and PPD name about to be registered.
void WriteRegistrationSummary(const char* pszDeviceUri, const char* pszPrinterName,
                              const char* pszPpdName);

// AddPrinter, then "Printer added successfuly" on success, with the queue
// in *pInstalled where given, or pszFailureText.
int AddPrinterAndReport(const char* pszPrinterName, const char* pszDeviceUri, const char* pszPpdName,
                        const char* pszFailureText, InstalledQueue* pInstalled);
