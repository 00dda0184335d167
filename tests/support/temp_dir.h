// Test support: a private temporary directory, removed with its contents.
#ifndef KORLA_TESTS_TEMP_DIR_H
#define KORLA_TESTS_TEMP_DIR_H

#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

#endif
