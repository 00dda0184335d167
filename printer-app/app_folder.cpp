#include "app_folder.h"

#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace {

// PAPPL puts its local socket, and by default its state and spool, under
// this variable's folder; the sub-commands look for the server's socket there.
constexpr char PAPPL_FOLDER_VARIABLE[] = "SNAP_COMMON";

std::string DefaultFolder()
{
    if (const char* folder = getenv(FOLDER_VARIABLE); folder != nullptr && *folder != '\0')
        return folder;
    if (getuid() == 0)
        return std::string("/var/lib/") + APP_NAME;
    const char* home = getenv("HOME");
    return std::string(home ? home : "/tmp") + "/." + APP_NAME;
}

}  // namespace

std::string TakeFolderOption(int& argc, char* argv[])
{
    std::string folder = DefaultFolder();
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--dir") == 0) {
            if (i + 1 == argc)
                return "";
            folder = argv[++i];
        } else if (strncmp(argv[i], "--dir=", 6) == 0) {
            folder = argv[i] + 6;
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    argv[argc] = nullptr;
    return folder;
}

bool UseFolder(const std::string& folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::string absolute = std::filesystem::absolute(folder, error);
    if (error || access(absolute.c_str(), W_OK) != 0)
        return false;
    return setenv(PAPPL_FOLDER_VARIABLE, absolute.c_str(), 1) == 0;
}

std::string AppFolder()
{
    const char* folder = getenv(PAPPL_FOLDER_VARIABLE);
    return folder ? folder : "";
}

std::string ServerSocket()
{
    return AppFolder() + "/" + APP_NAME + ".sock";
}
