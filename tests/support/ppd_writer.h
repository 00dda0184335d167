// PPD files for tests, the benchmark and the fuzzers: small ones holding
// just the options wanted, and copies of a real PPD with other defaults, as
// lpadmin -o stores them in a queue's copy.
#ifndef KORLA_TESTS_PPD_WRITER_H
#define KORLA_TESTS_PPD_WRITER_H

#include <string>
#include <utility>
#include <vector>

struct PpdOption {
    std::string keyword;
    std::string defaultChoice;
    // The choices offered; empty means just the default.
    std::vector<std::string> choices = {};
};

// A valid PPD with the given options (PickOne, one group).
std::string PpdText(const std::vector<PpdOption>& options);

// Writes PpdText to path; throws std::runtime_error when it cannot.
void WritePpd(const std::string& path, const std::vector<PpdOption>& options);

// Every receipt extra switched on, some by options the file leaves out: a
// cut with feed per copy, both logos (the top one without its layout
// options), both drawers before and after every copy, custom bytes at the
// start and the end of the job.
const std::vector<PpdOption>& AllOptionsOn();

// The quoted value of a main keyword of the PPD at path ("NickName"); a
// text saying so when it has none.
std::string PpdValue(const std::string& path, const std::string& keyword);

// Writes the PPD at basePath to path with the default of each keyword
// replaced by the value given ("*DefaultKEYWORD: VALUE"); throws
// std::runtime_error when a file cannot be read or written, or the base
// has no default line for a keyword.
void WritePpdWithDefaults(const std::string& path, const std::string& basePath,
                          const std::vector<std::pair<std::string, std::string>>& defaults);

#endif
