// Writes the queue PPD with every receipt extra on (ppd_writer.h), a seed of
// the PPD fuzz target's corpus and the PPD of the emulator's seed jobs.
//
//   write_all_options_ppd FILE
#include <cstdio>
#include <exception>

#include "ppd_writer.h"

int main(int argc, char* argv[])
{
    if (argc != 2)
        return 2;
    try {
        WritePpd(argv[1], AllOptionsOn());
    } catch (const std::exception& error) {
        fprintf(stderr, "%s: %s\n", argv[0], error.what());
        return 1;
    }
    return 0;
}
