#include "state_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>
#include <optional>
#include <sstream>

namespace {

constexpr mode_t PRIVATE = 0600;

std::optional<std::string> ReadWhole(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool Exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// A line PAPPL could have written: text without control characters that
// starts a directive ("Name value", "<Printer ...>", "</Printer>") or is
// a comment.
bool IsStateLine(const std::string& line)
{
    if (line.empty() || !(isalpha(static_cast<unsigned char>(line[0])) || line[0] == '<' || line[0] == '#'))
        return false;
    for (const unsigned char c : line) {
        if (c < ' ' && c != '\t')
            return false;
    }
    return true;
}

// The whole text, ended with the mark, flushed to the disk.
bool AppendMarkAndFlush(const std::string& path)
{
    const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        return false;
    const size_t length = strlen(STATE_END_MARK);
    const bool written = write(fd, STATE_END_MARK, length) == static_cast<ssize_t>(length) && fsync(fd) == 0;
    const int error = errno;
    close(fd);
    errno = error;
    return written;
}

// An empty file that only the server's user may read, for the new state.
bool CreatePrivate(const std::string& path)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, PRIVATE);
    if (fd < 0)
        return false;
    const bool made = fchmod(fd, PRIVATE) == 0;
    close(fd);
    return made;
}

// The state file in place becomes the backup, replacing the older one.
void KeepAsBackup(pappl_system_t* system, const std::string& path)
{
    const std::string backup = StateBackup(path);
    const std::string next = backup + ".new";
    unlink(next.c_str());
    if (link(path.c_str(), next.c_str()) != 0) {
        if (errno != ENOENT)
            papplLog(system, PAPPL_LOGLEVEL_WARN, "The backup %s could not be made: %s", backup.c_str(), strerror(errno));
        return;
    }
    // A file of an older version may be readable by others.
    chmod(next.c_str(), PRIVATE);
    rename(next.c_str(), backup.c_str());
}

// The renames are made durable with their folder.
void FlushFolder(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

std::string AsideName(const std::string& path)
{
    const time_t now = time(nullptr);
    tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return path + ".damaged-" + stamp;
}

void LoadBackup(pappl_system_t* system, const std::string& path)
{
    const std::string backup = StateBackup(path);
    const std::optional<std::string> text = ReadWhole(backup);
    std::string why;
    if (!text) {
        papplLog(system, PAPPL_LOGLEVEL_ERROR, "There is no backup %s: starting without printers.", backup.c_str());
    } else if (CheckStateText(*text, why) == StateText::Damaged) {
        papplLog(system, PAPPL_LOGLEVEL_ERROR, "The backup %s is damaged too (%s): starting without printers.",
                 backup.c_str(), why.c_str());
    } else {
        papplLog(system, PAPPL_LOGLEVEL_WARN, "Starting from the backup %s, the state before the last change.",
                 backup.c_str());
        papplSystemLoadState(system, backup.c_str());
    }
}

}  // namespace

StateText CheckStateText(const std::string& text, std::string& why)
{
    if (text.empty()) {
        why = "it is empty";
        return StateText::Damaged;
    }
    if (text.back() != '\n') {
        why = "it ends within a line";
        return StateText::Damaged;
    }
    std::istringstream lines(text);
    bool inPrinter = false;
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        if (!IsStateLine(line)) {
            why = "line " + std::to_string(number) + " is not a line of a state file";
            return StateText::Damaged;
        }
        const bool opens = line.compare(0, 9, "<Printer ") == 0;
        const bool closes = line == "</Printer>";
        if ((opens && inPrinter) || (closes && !inPrinter)) {
            why = "line " + std::to_string(number) + " breaks the printers' sections";
            return StateText::Damaged;
        }
        inPrinter = opens || (inPrinter && !closes);
    }
    if (inPrinter) {
        why = "a printer's section is cut off";
        return StateText::Damaged;
    }
    const size_t markLength = strlen(STATE_END_MARK);
    if (text.size() >= markLength && text.compare(text.size() - markLength, markLength, STATE_END_MARK) == 0)
        return StateText::Whole;
    why = "it lacks the mark of a state written whole";
    return StateText::Unmarked;
}

std::string StateBackup(const std::string& path)
{
    return path + ".bak";
}

bool SaveStateFile(pappl_system_t* system, const std::string& path)
{
    const std::string fresh = path + ".new";
    bool saved = CreatePrivate(fresh) && papplSystemSaveState(system, fresh.c_str()) && AppendMarkAndFlush(fresh);
    if (saved) {
        KeepAsBackup(system, path);
        saved = rename(fresh.c_str(), path.c_str()) == 0;
    }
    if (!saved) {
        const int error = errno;
        unlink(fresh.c_str());
        papplLog(system, PAPPL_LOGLEVEL_ERROR, "The state could not be saved (%s); %s keeps the state saved before.",
                 strerror(error), path.c_str());
        return false;
    }
    FlushFolder(path);
    return true;
}

void LoadStateFile(pappl_system_t* system, const std::string& path)
{
    const std::optional<std::string> text = ReadWhole(path);
    if (!text) {
        if (Exists(StateBackup(path)))
            LoadBackup(system, path);
        return;
    }
    std::string why;
    const StateText state = CheckStateText(*text, why);
    if (state == StateText::Whole || (state == StateText::Unmarked && !Exists(StateBackup(path)))) {
        chmod(path.c_str(), PRIVATE);
        papplSystemLoadState(system, path.c_str());
        return;
    }
    const std::string aside = AsideName(path);
    if (rename(path.c_str(), aside.c_str()) == 0)
        papplLog(system, PAPPL_LOGLEVEL_ERROR, "The state file %s is damaged (%s); it was moved to %s.", path.c_str(),
                 why.c_str(), aside.c_str());
    else
        papplLog(system, PAPPL_LOGLEVEL_ERROR, "The state file %s is damaged (%s) and could not be moved aside: %s.",
                 path.c_str(), why.c_str(), strerror(errno));
    LoadBackup(system, path);
}
