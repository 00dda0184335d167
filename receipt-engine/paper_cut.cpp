// The paper cut: how ("PaperSource") and when ("ExecutePaperCut").
#include <cstring>

#include "cmd_defs.h"
#include "const.h"
#include "receipt_engine.h"
#include "receipt_options.h"
#include "trace.h"

namespace {

struct CutChoice {
    const char* keyword;
    orvil_papersource_e nCut;
};

// "PaperSource" choices, compared exactly, in this order.
constexpr CutChoice CUT_CHOICES[] = {
    {CUT_AUTOMATIC, PS_PARTIAL_CUT},
    {CUT_PARTIAL, PS_PARTIAL_CUT},
    {CUT_NONE_FEED, PS_NOCUT},
    {CUT_PARTIAL_NO_FEED, PS_PARTIAL_CUT_NOFEED},
    {CUT_NONE_NO_FEED, PS_NOCUT_NOFEED},
};

// Any keyword not listed, and no setting at all, cut as "Automatic".
orvil_papersource_e CutModeOf(const std::optional<std::string>& szOptionName)
{
    if (szOptionName) {
        for (const CutChoice& choice : CUT_CHOICES) {
            if (*szOptionName == choice.keyword)
                return choice.nCut;
        }
    }
    return PS_PARTIAL_CUT;
}

}  // namespace

void ReceiptEngine::CutPaper()
{
    KORLALog("Cut Paper\n\n\n");
    if (!settings_)
        return;

    Send(Set_Feed_unit[0]);
    const orvil_papersource_e nCut = CutModeOf(settings_->paperSource);
    KORLALog("nCut Value is %d\n", nCut);

    switch (nCut) {
    case PS_PARTIAL_CUT:
    case PS_PARTIAL_CUT_NOFEED:
        Send(Cut_Paper[nCut]);
        break;
    case PS_NOCUT: {
        const char tmpCmd[3] = {0x1b, 0x64, 0x06};  // ESC d 6: print and feed six lines
        Send({tmpCmd, 3});
        break;
    }
    case PS_NOCUT_NOFEED:
        break;
    }
}

void ReceiptEngine::ProcessCutPaperEachCopy()
{
    if (!settings_)
        return;
    KORLALog("Paper cut option is %d\n", settings_->executePaperCut);
    if (settings_->executePaperCut == CUT_PAPER_PER_COPY)
        CutPaper();
}
