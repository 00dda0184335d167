// A directory under /tmp that lives as long as the object.
#pragma once

#include <string>

class TempDir {
public:
    // Creates /tmp/<prefix>XXXXXX with mode 0755, so that the lp user that
    // cupsd runs filters and backends as can reach what lies inside.
    explicit TempDir(const std::string& prefix = "korla-test-");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() + "/" + name
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Writes text to a file, replacing it; mode applies to a new file.
bool WriteFile(const std::string& path, const std::string& text, unsigned mode = 0644);
// Whole content of a file, or "" when it cannot be read.
std::string ReadFile(const std::string& path);
