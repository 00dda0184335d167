// A whole filter job on arbitrary bytes as its raster input, with a PPD that
// turns every receipt option on, and faster printing on for every other
// input.
#include <cstdint>

#include "RasterToKORLA.h"
#include "discard_printer_output.h"
#include "filter_const.h"
#include "ppd_writer.h"
#include "queue_settings.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    DiscardPrinterOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const int fd = MemoryFile("raster", data, size);
    if (fd < 0)
        return 0;
    static const std::optional<ReceiptSettings> allOptions = [] {
        const std::string text = PpdText(AllOptionsOn());
        const int ppd = MemoryFile("ppd", text.data(), text.size());
        std::optional<ReceiptSettings> read = ReadQueueSettings(MemoryFilePath(ppd).c_str());
        close(ppd);
        return read;
    }();
    std::optional<ReceiptSettings> settings = allOptions;
    if (settings)
        settings->fasterPrinting = static_cast<int>(size / 4 % 2);
    FdPrinterChannel printer(PRINTER_PIPE);
    ReceiptEngine engine(settings, printer);
    engine.StartDoc();
    RasterToKORLA(engine).StartJob(fd, static_cast<int>(size % 4) - 1);  // copies -1 to 2
    engine.EndDoc();
    close(fd);
    return 0;
}
