// Document start and end, and the byte strings that the "StartDoc" and
// "EndDoc" settings carry as custom values.
#include <cstdlib>
#include <cstring>

#include "const.h"
#include "cmd_defs.h"
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

constexpr char CUSTOM_PREFIX[] = "Custom.";

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
    if (strstr(szOptionName->c_str(), CUSTOM_PREFIX) == nullptr)
        return;

    unsigned char arr[MAX_SIZE] = {};
    const size_t nIndex = ScanEmulationBytes(szOptionName->c_str() + strlen(CUSTOM_PREFIX), arr);
    WriteToPrinter(arr, nIndex);
    KORLALog("nIndex is %d\n", static_cast<int>(nIndex));
}

// Reads tokens \xH or \xHH, one byte each, until fewer than three characters
// remain or no hexadecimal number follows a token's two lead-in characters.
// The cursor steps to the next token by where the next 'x' stands: three
// characters after a one-digit token, four otherwise.
size_t ScanEmulationBytes(const char* szTemp, unsigned char* arr)
{
    size_t nIndex = 0;
    while (nIndex < MAX_SIZE && strnlen(szTemp, 3) == 3) {
        const char* digits = szTemp + 2;
        char* end = nullptr;
        // strtoul with base 16 reads exactly what scanf's %x reads.
        const unsigned long value = strtoul(digits, &end, 16);
        if (end == digits)
            break;
        arr[nIndex++] = static_cast<unsigned char>(value & 0xFF);

        const char* temp = strchr(digits, 'x');
        if (temp == nullptr)
            break;
        const long lTemp = temp - szTemp;
        szTemp += (lTemp == 4) ? 3 : 4;
        KORLALog("long size is %ld\n", lTemp);
    }
    return nIndex;
}
