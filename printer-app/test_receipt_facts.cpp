#include "test_receipt_facts.h"

#include "app_folder.h"
#include "drivers.h"
#include "logo_record.h"
#include "paper_status.h"
#include "printer_settings.h"
#include "printer_status.h"

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
