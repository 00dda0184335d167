// The scan of a custom "EndDoc" value: the input becomes the text after
// "Custom." in the queue PPD's default choice.
#include <algorithm>
#include <cstdint>
#include <string>

#include "discard_printer_output.h"
#include "filter_const.h"
#include "ppd_writer.h"
#include "queue_settings.h"
#include "receipt_engine.h"

namespace {

// A PPD keyword holds no white space, colon or slash and ends at the line.
std::string AsChoiceKeyword(const uint8_t* data, size_t size)
{
    std::string keyword(reinterpret_cast<const char*>(data), size);
    keyword.erase(std::remove_if(keyword.begin(), keyword.end(),
                                 [](char c) { return c <= ' ' || c == ':' || c == '/' || c == 0x7f; }),
                  keyword.end());
    return keyword;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    DiscardPrinterOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text = PpdText({{"EndDoc", "Custom." + AsChoiceKeyword(data, size), {"None"}}});
    const int fd = MemoryFile("ppd", text.data(), text.size());
    if (fd < 0)
        return 0;

    const std::optional<ReceiptSettings> settings = ReadQueueSettings(MemoryFilePath(fd).c_str());
    FdPrinterChannel printer(PRINTER_PIPE);
    ReceiptEngine engine(settings, printer);
    if (settings)
        engine.ProcessEmulationCmd(settings->endDoc);
    close(fd);
    return 0;
}
