// The printer's logo memory: what the last FS q defined, for FS p to
// print. Kept in a file when one is named, so that the logos outlive a job
// and a run, as the printer's non-volatile memory does.
#pragma once

#include "decoder/command.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace logos {

// One stored logo, its dots as FS q sent them: column by column from the
// left, each column from the top, the upper dot in a byte's high bit.
struct Logo {
    int width = 0;   // dots
    int height = 0;  // dots
    std::vector<std::uint8_t> columns;

    bool dot(int x, int y) const
    {
        return columns[std::size_t(x) * std::size_t(height / 8) + std::size_t(y / 8)] & (0x80u >> (y % 8));
    }
};

class LogoStore {
public:
    // An FS q the printer takes replaces every logo; any other command, or
    // an FS q with a problem, changes nothing. True when the logos changed.
    bool apply(const escpos::Command& command);

    // Logo n, numbered from 1; null when none is stored under n.
    const Logo* find(unsigned number) const;
    std::size_t size() const { return logos_.size(); }

    // A missing file is an empty memory; false with error for a file that
    // is no FS q command the printer takes.
    bool load(const std::string& path, std::string& error);
    // Writes the FS q command that defined the logos, replacing the file.
    bool save(const std::string& path, std::string& error) const;

private:
    std::vector<std::shared_ptr<const Logo>> logos_;  // shared by the copies a job's outputs make
    std::vector<std::uint8_t> definition_;            // the FS q command's bytes
};

}  // namespace logos
