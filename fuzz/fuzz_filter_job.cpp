// A whole filter job on arbitrary bytes as its raster input, with a PPD that
// turns every receipt option on.
#include <cstdint>
#include <cstdlib>

#include "RasterToKORLA.h"
#include "discard_printer_output.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    DiscardPrinterOutput();
    setenv("PPD", ALL_OPTIONS_PPD, 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const int fd = MemoryFile("raster", data, size);
    if (fd < 0)
        return 0;
    RasterToKORLA driver;
    driver.StartDoc();
    driver.StartJob(fd, static_cast<int>(size % 4) - 1);  // copies -1 to 2
    driver.EndDoc();
    close(fd);
    return 0;
}
