#include "server_system.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "action_jobs.h"
#include "add_printer_page.h"
#include "app_folder.h"
#include "drivers.h"
#include "paper_status.h"
#include "printer_settings.h"
#include "png_filter.h"
#include "raster_filter.h"
#include "receipt_attributes.h"
#include "printer_pages.h"

namespace {

constexpr int DEFAULT_PORT = 8000;
constexpr int DEFAULT_STATUS_INTERVAL = 30;
constexpr char DEFAULT_LISTEN[] = "localhost";

// Shown on the web interface and over IPP; the web pages use it for the
// labels of the receipt settings.
const std::string& AttributeStrings()
{
    static const std::string strings = ReceiptAttributeStrings();
    return strings;
}

const char* Option(const char* name, int numOptions, cups_option_t* options, const char* fallback)
{
    const char* value = cupsGetOption(name, numOptions, options);
    return value ? value : fallback;
}

pappl_loglevel_t LogLevel(const char* name)
{
    static const struct {
        const char* name;
        pappl_loglevel_t level;
    } LEVELS[] = {{"debug", PAPPL_LOGLEVEL_DEBUG},
                  {"info", PAPPL_LOGLEVEL_INFO},
                  {"warn", PAPPL_LOGLEVEL_WARN},
                  {"error", PAPPL_LOGLEVEL_ERROR},
                  {"fatal", PAPPL_LOGLEVEL_FATAL}};
    for (const auto& level : LEVELS) {
        if (strcmp(name, level.name) == 0)
            return level.level;
    }
    return PAPPL_LOGLEVEL_INFO;
}

void ShowInvalidDefaultsOf(pappl_printer_t* printer, void* /*data*/)
{
    ShowInvalidDefaults(printer);
}

// Called after every change of the configuration.
bool SaveState(pappl_system_t* system, void* data)
{
    papplSystemIteratePrinters(system, ShowInvalidDefaultsOf, nullptr);
    return papplSystemSaveState(system, static_cast<const char*>(data));
}

}  // namespace

pappl_system_t* CreateServerSystem(int numOptions, cups_option_t* options, void* data)
{
    const std::string folder = AppFolder();
    static const std::string stateFile = folder + "/" + APP_NAME + ".state";
    const std::string spool = folder + "/" + APP_NAME + ".d";
    const std::string defaultLog = folder + "/" + APP_NAME + ".log";

    const int port = atoi(Option("server-port", numOptions, options, std::to_string(DEFAULT_PORT).c_str()));
    const char* listen = Option("listen-hostname", numOptions, options, DEFAULT_LISTEN);
    const char* logFile = Option("log-file", numOptions, options, defaultLog.c_str());
    const pappl_loglevel_t logLevel = LogLevel(Option("log-level", numOptions, options, "info"));

    // No TLS: the first encrypted request would have PAPPL write a
    // certificate into the machine's CUPS folder.
    const pappl_soptions_t soptions = PAPPL_SOPTIONS_MULTI_QUEUE | PAPPL_SOPTIONS_WEB_INTERFACE |
                                      PAPPL_SOPTIONS_WEB_LOG | PAPPL_SOPTIONS_WEB_SECURITY | PAPPL_SOPTIONS_NO_TLS;
    pappl_system_t* system = papplSystemCreate(soptions, APP_NAME, port, "_print,_universal", spool.c_str(), logFile,
                                               logLevel, nullptr, false);
    if (system == nullptr)
        return nullptr;

    if (static_cast<const ServerRole*>(data)->serving &&
        !papplSystemAddListeners(system, strcmp(listen, "*") == 0 ? nullptr : listen)) {
        papplSystemDelete(system);
        return nullptr;
    }
    int numDrivers = 0;
    pappl_pr_driver_t* drivers = ReceiptDrivers(numDrivers);
    papplSystemSetPrinterDrivers(system, numDrivers, drivers, ReceiptAutoAddCallback, AddPrinterPages,
                                 ReceiptDriverCallback, nullptr);
    AddImageFilters(system);
    AddActionFilters(system);
    AddRasterFilters(system);
    papplSystemAddStringsData(system, "/en.strings", "en", AttributeStrings().c_str());
    papplSystemSetVendorDefaultCallback(system, IsValidPrinterDefault, nullptr);
    papplSystemLoadState(system, stateFile.c_str());
    papplSystemIteratePrinters(system, ShowInvalidDefaultsOf, nullptr);
    papplSystemSetSaveCallback(system, SaveState, const_cast<char*>(stateFile.c_str()));
    AddPrinterPage(system);
    StartPaperChecks(system, atoi(Option("status-interval", numOptions, options,
                                         std::to_string(DEFAULT_STATUS_INTERVAL).c_str())));
    return system;
}
