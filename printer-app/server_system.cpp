#include "server_system.h"

#include <cstdio>
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
#include "state_file.h"

namespace {

constexpr int DEFAULT_STATUS_INTERVAL = 30;
constexpr char DEFAULT_LISTEN[] = "localhost";
constexpr char ANY_ADDRESS[] = "*";
// Network connections at once; when they are all taken, the one that has
// waited longest for its request makes room for a new one.
constexpr int MAX_CLIENTS = 64;

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
    return SaveStateFile(system, static_cast<const char*>(data));
}

// Whether every address that `listen` names is on loopback, where only
// this machine's accounts reach the server.
bool IsLoopbackOnly(const char* listen, int port)
{
    if (strcmp(listen, ANY_ADDRESS) == 0)
        return false;
    http_addrlist_t* addresses = httpAddrGetList(listen, AF_UNSPEC, std::to_string(port).c_str());
    bool loopback = addresses != nullptr;
    for (http_addrlist_t* address = addresses; address != nullptr; address = address->next)
        loopback = loopback && httpAddrLocalhost(&address->addr);
    httpAddrFreeList(addresses);
    return loopback;
}

// Beyond loopback, changes need the admin password (PAPPL's login on the
// web pages; IPP administration is taken from the local socket alone). A
// server that would let the network in before there is one is not started.
bool MayListenOn(pappl_system_t* system, const char* listen, int port)
{
    char password[256] = "";
    if (IsLoopbackOnly(listen, port) || *papplSystemGetPassword(system, password, sizeof password) != '\0')
        return true;
    char message[512];
    snprintf(message, sizeof message,
             "Not started: listening on %s lets the network in, which may change printers only with the admin "
             "password. Set it first on http://localhost:%d/security, with the server listening on localhost alone.",
             listen, port);
    papplLog(system, PAPPL_LOGLEVEL_FATAL, "%s", message);
    fprintf(stderr, "%s: %s\n", APP_NAME, message);
    return false;
}

}  // namespace

pappl_system_t* CreateServerSystem(int numOptions, cups_option_t* options, void* data)
{
    const std::string folder = AppFolder();
    static const std::string stateFile = folder + "/" + APP_NAME + ".state";
    const std::string spool = folder + "/" + APP_NAME + ".d";
    const std::string defaultLog = folder + "/" + APP_NAME + ".log";

    const int port = atoi(Option("server-port", numOptions, options, std::to_string(DEFAULT_SERVER_PORT).c_str()));
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

    int numDrivers = 0;
    pappl_pr_driver_t* drivers = ReceiptDrivers(numDrivers);
    papplSystemSetPrinterDrivers(system, numDrivers, drivers, ReceiptAutoAddCallback, AddPrinterPages,
                                 ReceiptDriverCallback, nullptr);
    AddImageFilters(system);
    AddActionFilters(system);
    AddRasterFilters(system);
    papplSystemAddStringsData(system, "/en.strings", "en", AttributeStrings().c_str());
    papplSystemSetVendorDefaultCallback(system, IsValidPrinterDefault, nullptr);
    LoadStateFile(system, stateFile);
    if (static_cast<const ServerRole*>(data)->serving &&
        (!MayListenOn(system, listen, port) ||
         !papplSystemAddListeners(system, strcmp(listen, ANY_ADDRESS) == 0 ? nullptr : listen))) {
        papplSystemDelete(system);
        return nullptr;
    }
    papplSystemSetMaxClients(system, MAX_CLIENTS);
    papplSystemIteratePrinters(system, ShowInvalidDefaultsOf, nullptr);
    papplSystemSetSaveCallback(system, SaveState, const_cast<char*>(stateFile.c_str()));
    AddPrinterPage(system);
    StartPaperChecks(system, atoi(Option("status-interval", numOptions, options,
                                         std::to_string(DEFAULT_STATUS_INTERVAL).c_str())));
    return system;
}
