// Puts the driver files (the PPD and the filter) into the CUPS folders.
#pragma once

#include <string>
#include <sys/types.h>

// Copies source to destination without a shell: a new file is written
// beside the destination and renamed over it. A symbolic or hard link at the
// destination is replaced, never written through, and a job that is running
// the old file keeps it whole. The new file gets exactly `mode`. Returns
// false with errno set, and leaves nothing behind, when the copy fails.
bool ReplaceFile(const std::string& source, const std::string& destination, mode_t mode);

// Puts one driver file into its CUPS folder (targetDir ends in '/'): the
// current folder's copy when it has one, with the line "'./NAME' -> 'TARGET'";
// otherwise the copy already installed there is used, with a line saying so.
// A failed copy, or a file found in neither place, writes an "Error> " line
// and returns false.
bool PlaceDriverFile(const char* pszName, const std::string& targetDir, mode_t mode);

// The driver file is not copied: the installed copy is used if there is one,
// as in PlaceDriverFile.
bool UseInstalledDriverFile(const char* pszName, const std::string& targetDir);
