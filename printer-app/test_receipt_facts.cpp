#include "test_receipt_facts.h"

#include <cups/cups.h>

#include "app_folder.h"
#include "drivers.h"
#include "logo_record.h"
#include "paper_status.h"
#include "printer_settings.h"
#include "printer_status.h"
#include "serial_line.h"

namespace {

const char* const PARITY_NAMES[] = {"no parity", "even parity", "odd parity"};          // by Parity
const char* const FLOW_NAMES[] = {"RTS/CTS flow control", "XON/XOFF flow control", "no flow control"};  // by FlowControl

std::string SerialWords(const SerialLine& line)
{
    return std::to_string(line.baud) + " baud, " + std::to_string(line.dataBits) + " data bits, " +
           PARITY_NAMES[static_cast<int>(line.parity)] + ", " + FLOW_NAMES[static_cast<int>(line.flow)];
}

}  // namespace

LinkWords DescribeLink(const std::string& deviceUri)
{
    std::string error;
    if (const std::optional<SerialLine> line = ParseSerialUri(deviceUri, error))
        return {"Serial port " + line->port, SerialWords(*line)};
    char scheme[32], userpass[256], host[256], resource[256];
    int port = 0;
    if (httpSeparateURI(HTTP_URI_CODING_ALL, deviceUri.c_str(), scheme, sizeof scheme, userpass, sizeof userpass,
                        host, sizeof host, &port, resource, sizeof resource) >= HTTP_URI_STATUS_OK) {
        if (std::string(scheme) == "socket")
            return {"Network, " + std::string(host) + " port " + std::to_string(port), ""};
        if (std::string(scheme) == "usb")
            return {"USB, " + deviceUri, ""};
    }
    return {deviceUri, ""};
}

TestReceiptFacts GatherTestReceiptFacts(pappl_job_t* job, pappl_device_t* device)
{
    pappl_printer_t* printer = papplJobGetPrinter(job);
    const std::string deviceUri = papplPrinterGetDeviceURI(printer);
    pappl_pr_driver_data_t driver;
    papplPrinterGetDriverData(printer, &driver);

    TestReceiptFacts facts;
    facts.printerName = papplPrinterGetName(printer);
    facts.model = driver.make_and_model;
    facts.paperMillimetres = RollMillimetres(printer);
    facts.printableDots = PrintableWidth(printer);
    const LinkWords link = DescribeLink(deviceUri);
    facts.link = link.link;
    facts.lineSettings = link.line;
    if (!LinkAnswers(deviceUri)) {
        facts.status = "not asked on this link";
    } else if (!KnownNotToAnswer(deviceUri)) {
        if (const std::optional<PrinterStatus> status = AskPrinterStatus(device))
            facts.status = DescribeStatus(*status);
    }
    facts.settings = SettingsInWords(job);
    const std::optional<StoredLogoSet> logos =
        LastStoredLogos(AppFolder() + "/" + LOGO_RECORD_FILE, LogoRecordKey(deviceUri));
    facts.logosKnown = logos.has_value();
    if (logos)
        facts.storedLogos = logos->sizes;
    return facts;
}
