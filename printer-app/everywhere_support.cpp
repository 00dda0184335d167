#include "everywhere_support.h"

#include "cmd_defs.h"
#include "image_debt.h"

namespace {

constexpr size_t MAX_SLIP_TEXT = 64;

void Send(pappl_device_t* device, const ORVIL_CMD& command)
{
    papplDeviceWrite(device, command.Command, static_cast<size_t>(command.nCmdlen));
}

// Identify-Printer: the printer has no light or sound to offer, so it
// prints the message on a slip of its own, unless a job has the printer.
void PrintIdentificationSlip(pappl_printer_t* printer, pappl_identify_actions_t /*actions*/, const char* message)
{
    pappl_device_t* device = papplPrinterOpenDevice(printer);
    if (device == nullptr) {
        papplLogPrinter(printer, PAPPL_LOGLEVEL_INFO, "Not identified: the printer is busy.");
        return;
    }
    SettleImageDebt(printer, device);
    const std::string text = SlipText(message != nullptr && *message != '\0' ? message : papplPrinterGetName(printer));
    Send(device, Initilize_Printer);
    papplDeviceWrite(device, text.data(), text.size());
    Send(device, LINE_FEED);
    Send(device, Set_Feed_unit[0]);
    Send(device, Cut_Paper[0]);
    papplDeviceFlush(device);
    papplPrinterCloseDevice(printer);
}

}  // namespace

void AddEverywhereSupport(pappl_pr_driver_data_t* driverData, ipp_t* driverAttributes)
{
    driverData->identify_cb = PrintIdentificationSlip;
    driverData->identify_supported = PAPPL_IDENTIFY_ACTIONS_DISPLAY;
    driverData->identify_default = PAPPL_IDENTIFY_ACTIONS_DISPLAY;

    ippAddBoolean(driverAttributes, IPP_TAG_PRINTER, "preferred-attributes-supported", 0);
    ippAddString(driverAttributes, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "print-rendering-intent-default", nullptr,
                 "auto");
    ippAddString(driverAttributes, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "print-rendering-intent-supported", nullptr,
                 "auto");
    ippAddString(driverAttributes, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "pwg-raster-document-sheet-back", nullptr,
                 "normal");
}

std::string SlipText(const char* message)
{
    std::string text;
    for (const char* c = message; *c != '\0' && text.size() < MAX_SLIP_TEXT; ++c)
        text += *c >= ' ' && *c <= '~' ? *c : '?';
    return text;
}
