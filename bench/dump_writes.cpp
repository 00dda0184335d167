// dump_writes: runs the filter of this build on a job and prints what the
// printer would receive, write by write, so that two builds can be compared
// byte for byte and boundary for boundary.
//
//   PPD=FILE dump_writes COPIES RASTER
//
// Each write comes out as its length in decimal, a newline, then its bytes.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "filter_runner.h"

int main(int argc, char* argv[])
{
    const char* ppd = getenv("PPD");
    if (argc != 3 || ppd == nullptr) {
        fprintf(stderr, "usage: PPD=FILE %s COPIES RASTER\n", argv[0]);
        return 2;
    }
    const FilterRun run = RunFilter({JobArgs(atoi(argv[1]), argv[2]), ppd, ""});
    if (run.exitStatus != 0) {
        fprintf(stderr, "%s: the filter exited with %d\n", argv[0], run.exitStatus);
        return 1;
    }
    for (const std::string& write : run.writes) {
        printf("%zu\n", write.size());
        fwrite(write.data(), 1, write.size(), stdout);
    }
    return fflush(stdout) == 0 ? 0 : 1;
}
