// The server's state file (printers, their settings, the admin password's
// hash, waiting jobs), which must survive a full disk, a crash in the
// middle of a save and a damaged file. A save writes a new file whole,
// ends it with a mark, flushes it and renames it over the old one, whose
// content stays as the backup (PATH.bak). At start a file without its
// mark, empty or garbled is moved aside (PATH.damaged-TIME) and the backup
// is loaded instead. Both files are readable by the server's user alone.
#ifndef KORLA_STATE_FILE_H
#define KORLA_STATE_FILE_H

#include <pappl/pappl.h>

#include <string>

// What a state file's text is.
enum class StateText {
    Whole,    // written whole by SaveStateFile
    Unmarked, // sound, but without the end mark: written by an older version, or cut off at a line's end
    Damaged,  // empty, cut off within a line, or not a state file
};

// The mark that ends every state file written whole.
inline constexpr char STATE_END_MARK[] = "# end of the state, written whole\n";

StateText CheckStateText(const std::string& text, std::string& why);

// The backup of the state file at path.
std::string StateBackup(const std::string& path);

// Saves the system's state; false, with the reason in the log, when the
// new file could not be written whole: the files in place are then as
// they were.
bool SaveStateFile(pappl_system_t* system, const std::string& path);

// Loads the state at start, from the file when it is whole, else from its
// backup, and says so in the log.
void LoadStateFile(pappl_system_t* system, const std::string& path);

#endif
