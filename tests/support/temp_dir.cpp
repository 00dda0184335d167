#include "temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

TempDir::TempDir(const std::string& prefix)
{
    std::string pattern = "/tmp/" + prefix + "XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data())) {
        path_ = buffer.data();
        chmod(path_.c_str(), 0755);
    }
}

TempDir::~TempDir()
{
    if (path_.empty())
        return;
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

bool WriteFile(const std::string& path, const std::string& text, unsigned mode)
{
    unlink(path.c_str());  // replace a symbolic link rather than write through it
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    return out && chmod(path.c_str(), mode) == 0;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}
