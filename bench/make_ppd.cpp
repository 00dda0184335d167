// make_ppd: writes a copy of a queue PPD with other defaults, as lpadmin -o
// stores them, for the benchmark's queues.
//
//   make_ppd BASE OUTPUT [KEYWORD=CHOICE...]
#include <cstdio>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "ppd_writer.h"

int main(int argc, char* argv[])
{
    if (argc < 3) {
        fprintf(stderr, "usage: %s BASE OUTPUT [KEYWORD=CHOICE...]\n", argv[0]);
        return 2;
    }
    std::vector<std::pair<std::string, std::string>> defaults;
    for (int i = 3; i < argc; ++i) {
        const std::string setting = argv[i];
        const size_t equals = setting.find('=');
        if (equals == std::string::npos) {
            fprintf(stderr, "%s: %s is not KEYWORD=CHOICE\n", argv[0], argv[i]);
            return 2;
        }
        defaults.emplace_back(setting.substr(0, equals), setting.substr(equals + 1));
    }
    try {
        WritePpdWithDefaults(argv[2], argv[1], defaults);
    } catch (const std::exception& error) {
        fprintf(stderr, "%s: %s\n", argv[0], error.what());
        return 1;
    }
    return 0;
}
