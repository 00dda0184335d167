// Document start and end, and the byte strings that the "StartDoc" and
// "EndDoc" settings carry as custom values.
#include "cmd_defs.h"
#include "const.h"
#include "custom_bytes.h"
#include "receipt_engine.h"
#include "trace.h"

namespace {

// The printer set-up that follows the three initialises.
const ORVIL_CMD* const SET_UP_SEQUENCE[] = {
    &Enable_Printer[PRINTER_ENABLE],
    &Select_International_Char_Set[CS_USA],
    &Select_Char_Code_Table[CST_PC850],
    &Select_Paper_End_Sensor_Enabled[PSEN_ROLL_END_NEAR_SENSOR_ENABLED_1],
    &Select_Paper_Sensor_Stop_Printing[PSEN_STOP_ROLL_END_NEAR_SENSOR_DIABLED],
    &Set_Horizontal_Vertical_Units,
};

}  // namespace

void ReceiptEngine::StartDoc()
{
    KORLALog("Inside StartDoc\n");
    for (int i = 0; i < 3; ++i)
        Send(Initilize_Printer);
    for (const ORVIL_CMD* cmd : SET_UP_SEQUENCE)
        Send(*cmd);
    KORLALog("Exit StartDoc\n");
}

void ReceiptEngine::EndDoc()
{
    KORLALog("Inside EndDoc\n");
    if (!settings_)
        return;
    if (settings_->executePaperCut == CUT_PAPER_PER_JOB)
        CutPaper();
    ProcessCashDrawerAtEndDoc();
    ProcessEmulationCmd(settings_->endDoc);
    Send(Initilize_Printer);
    KORLALog("Exit EndDoc\n");
}

// Sends the bytes of a custom value "Custom.\xH\xHH..." in one write; any
// other choice sends nothing.
void ReceiptEngine::ProcessEmulationCmd(const std::optional<std::string>& szOptionName)
{
    KORLALog("Inside ProcessEmulationCmd\n");
    if (!szOptionName)
        return;
    const std::optional<CustomBytes> custom = ReadCustomBytes(*szOptionName);
    if (!custom)
        return;
    if (!custom->bytes.empty())
        WriteToPrinter(custom->bytes.data(), custom->bytes.size());
    KORLALog("nIndex is %d\n", static_cast<int>(custom->bytes.size()));
}
