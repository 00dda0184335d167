// Test support: small PPD files holding the options a test needs.
#ifndef KORLA_TESTS_PPD_WRITER_H
#define KORLA_TESTS_PPD_WRITER_H

#include <string>
#include <vector>

struct PpdOption {
    std::string keyword;
    std::string defaultChoice;
    // The choices offered; empty means just the default.
    std::vector<std::string> choices = {};
};

// Writes a valid PPD with the given options (PickOne, one group) to path.
void WritePpd(const std::string& path, const std::vector<PpdOption>& options);

#endif
