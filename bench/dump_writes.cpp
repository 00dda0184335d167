// dump_writes: runs the filter of this build on a job and prints what the
// printer would receive, write by write, so that two builds can be compared
// byte for byte and boundary for boundary.
//
//   PPD=FILE dump_writes COPIES RASTER [pipe]
//
// With "pipe" the raster reaches the filter on standard input through a
// pipe; otherwise its file is named on the command line.
// Each write comes out as its length in decimal, a newline, then its bytes.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "filter_runner.h"

int main(int argc, char* argv[])
{
    const char* ppd = getenv("PPD");
    const bool throughPipe = argc == 4 && std::string(argv[3]) == "pipe";
    if (argc != 3 + throughPipe || ppd == nullptr) {
        fprintf(stderr, "usage: PPD=FILE %s COPIES RASTER [pipe]\n", argv[0]);
        return 2;
    }
    FilterInvocation invocation{JobArgs(atoi(argv[1]), throughPipe ? "" : argv[2]), ppd, throughPipe ? argv[2] : ""};
    invocation.inputThroughPipe = throughPipe;
    const FilterRun run = RunFilter(invocation);
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
