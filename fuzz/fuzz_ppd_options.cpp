// Every option reader and finishing operation on an arbitrary PPD text.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"  // the PPD API, see ppd_api.h
#include <cstdint>
#include <string>

#include "discard_printer_output.h"
#include "filter_const.h"
#include "queue_settings.h"
#include "receipt_engine.h"
#include "receipt_options.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    DiscardPrinterOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const int fd = MemoryFile("ppd", data, size);
    if (fd < 0)
        return 0;
    const std::string ppdPath = MemoryFilePath(fd);

    PpdHandle ppd(ppdOpenFile(ppdPath.c_str()));
    if (ppd) {
        // Both readers on every option of the table.
        for (const ReceiptOption& option : ReceiptOptions()) {
            if (option.ppdKeyword == nullptr)
                continue;
            GetOptionChoiceIndex(option.ppdKeyword, ppd.get());
            GetPrinterOption(option.ppdKeyword, ppd.get());
        }
    }
    FdPrinterChannel printer(PRINTER_PIPE);
    ReceiptEngine engine(ReadQueueSettings(ppdPath.c_str()), printer);
    engine.BeginJob();
    engine.ProcessFireCashDrawerAtStartDoc();
    engine.ProcessFireCashDrawerAtEndDoc();
    engine.ProcessTopLogoOptions();
    engine.ProcessBottomLogoOptions();
    engine.ProcessCutPaperEachCopy();
    engine.EndDoc();
    close(fd);
    return 0;
}
