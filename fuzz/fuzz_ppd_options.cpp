// Every option reader and finishing operation on an arbitrary PPD text.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"  // the PPD API, see ppd_api.h
#include <cstdint>
#include <string>

#include "discard_printer_output.h"
#include "filter_const.h"
#include "queue_settings.h"
#include "receipt_engine.h"

namespace {

const char* const NUMBER_OPTIONS[] = {
    PPD_CASH_DRAWER_OPTION, PPD_CD1_TIME, PPD_CD2_TIME, PPD_CD1_OPEN, PPD_CD2_OPEN,
    PPD_TOP_LOGO_JUSTIFICATION, PPD_TOP_LOGO_IMAGE, PPD_TOP_LOGO_AFTER_LINEFEED,
    PPD_TOP_LOGO_BEFORE_LINEFEED, PPD_TOP_LOGO_QUALITY, PPD_BTM_LOGO_JUSTIFICATION,
    PPD_BTM_LOGO_IMAGE, PPD_BTM_LOGO_AFTER_LINEFEED, PPD_BTM_LOGO_BEFORE_LINEFEED,
    PPD_BTM_LOGO_QUALITY, PPD_LOGO_POSITION, PPD_FIRE_CASH_DRAWER, PPD_PAPER_CUT_OPTION,
};

const char* const TEXT_OPTIONS[] = {PPD_CUT_OPTION, PPD_CUSTOM_START_DOC, PPD_CUSTOM_END_DOC};

}  // namespace

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
        for (const char* option : NUMBER_OPTIONS)
            GetOptionChoiceIndex(option, ppd.get());
        for (const char* option : TEXT_OPTIONS)
            GetPrinterOption(option, ppd.get());
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
