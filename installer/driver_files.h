// Puts the driver files (the PPD and the filter) into the CUPS folders.
#pragma once

#include <cstddef>
#include <string>
#include <sys/types.h>

#include "driver_source.h"

// Copies what fdSource holds, from its current offset, to destination: a new
// file is written beside the destination and renamed over it. A symbolic or
// hard link at the destination is replaced, never written through, and a job
// that is running the old file keeps it whole. The new file gets exactly
// `mode`. More than nMaxBytes fails the copy. Returns false with errno set,
// and leaves nothing behind, when the copy fails; SIGINT, SIGTERM, SIGHUP
// and SIGQUIT take effect only once the new file is in place or removed.
bool ReplaceFile(int fdSource, std::size_t nMaxBytes, const std::string& destination, mode_t mode);

// A refused driver file fails the set-up: writes the "Error> " line that
// names it and the reason, and returns false. Any other file passes.
bool AcceptDriverSource(const DriverSource& source, const char* pszName, const std::string& targetDir);

// Puts one driver file into its CUPS folder (targetDir ends in '/'): the
// current folder's accepted copy, with the line "'./NAME' -> 'TARGET'";
// when the current folder has none, the copy already installed there is
// used, with a line saying so. A refused file, a failed copy, or a file
// found in neither place writes an "Error> " line and returns false.
bool PlaceDriverFile(const DriverSource& source, const char* pszName, const std::string& targetDir, mode_t mode);

// The driver file is not copied: the installed copy is used if there is one,
// as in PlaceDriverFile.
bool UseInstalledDriverFile(const char* pszName, const std::string& targetDir);
