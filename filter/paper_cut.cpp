// The paper cut: how ("PaperSource") and when ("ExecutePaperCut").
#include <cstring>

#include "RasterToKORLA.h"
#include "const.h"

namespace {

struct CutChoice {
    const char* keyword;
    orvil_papersource_e nCut;
};

// "PaperSource" choices, compared exactly, in this order.
constexpr CutChoice CUT_CHOICES[] = {
    {"Automatic", PS_PARTIAL_CUT},
    {"PartialCut", PS_PARTIAL_CUT},
    {"NoCut", PS_NOCUT},
    {"PartialCutNoFeeding", PS_PARTIAL_CUT_NOFEED},
    {"NoFeedNoCut", PS_NOCUT_NOFEED},
};

// Any keyword not listed, and a PPD without the option, cut as "Automatic".
orvil_papersource_e CutModeOf(const char* szOptionName)
{
    if (szOptionName != nullptr) {
        for (const CutChoice& choice : CUT_CHOICES) {
            if (strcmp(szOptionName, choice.keyword) == 0)
                return choice.nCut;
        }
    }
    return PS_PARTIAL_CUT;
}

}  // namespace

void RasterToKORLA::CutPaper()
{
    KORLALog("Cut Paper\n\n\n");
    PpdHandle ppd = OpenQueuePpd();
    if (!ppd)
        return;

    Send(Set_Feed_unit[0]);
    const char* szOptionName = GetPrinterOption(PPD_CUT_OPTION, ppd.get());
    const orvil_papersource_e nCut = CutModeOf(szOptionName);
    KORLALog("nCut Value is %s -- %d\n", szOptionName ? szOptionName : "(none)", nCut);

    switch (nCut) {
    case PS_PARTIAL_CUT:
    case PS_PARTIAL_CUT_NOFEED:
        Send(Cut_Paper[nCut]);
        break;
    case PS_NOCUT: {
        const char tmpCmd[3] = {0x1b, 0x64, 0x06};  // ESC d 6: print and feed six lines
        const ORVIL_CMD LineFeedAfter = {tmpCmd, 3};
        Send(LineFeedAfter);
        break;
    }
    case PS_NOCUT_NOFEED:
        break;
    }
}

void RasterToKORLA::ProcessCutPaperEachCopy()
{
    PpdHandle ppd = OpenQueuePpd();
    if (!ppd)
        return;
    KORLALog("Inside the ProcessCutPaperEachCopy\n");
    const int nPaperCutOption = GetOptionChoiceIndex(PPD_PAPER_CUT_OPTION, ppd.get());
    KORLALog("Paper cut option is %d\n", nPaperCutOption);
    if (nPaperCutOption == CUT_PAPER_PER_COPY)
        CutPaper();
}
