// korla-printer-app: the receipt printer as a driverless IPP Everywhere
// printer. Sub-commands and options are PAPPL's (see --help); --dir DIR
// chooses the folder of its state, spool, log and local socket.
#include <cstdio>
#include <cstring>
#include <string>

#include <pappl/pappl.h>

#include "app_folder.h"
#include "drivers.h"
#include "open_drawer_command.h"
#include "serial_device.h"
#include "server_system.h"

namespace {

constexpr char VERSION[] = "1.0";

void Usage(void* /*data*/)
{
    printf("Usage: %s [--dir DIR] SUB-COMMAND [OPTIONS] [FILE]\n"
           "\n"
           "The KORLA Tessa-300 receipt printer as a driverless IPP Everywhere printer.\n"
           "\n"
           "Sub-commands:\n"
           "  server            run the server\n"
           "  add PRINTER       add a printer: -d NAME -v DEVICE-URI -m DRIVER\n"
           "  delete            delete a printer: -d NAME\n"
           "  modify            change a printer's defaults: -d NAME -o NAME=VALUE\n"
           "  options           list a printer's options and defaults: -d NAME\n"
           "  printers          list the printers\n"
           "  submit FILE       print a file: -d NAME [-o NAME=VALUE ...]\n"
           "  jobs, cancel      list or cancel jobs\n"
           "  drivers           list the drivers: korla_80mm, korla_58mm\n"
           "  open-drawer       open a cash drawer, printing nothing: -d NAME [--drawer 1|2]\n"
           "  status            show the server's state\n"
           "  shutdown          stop the server\n"
           "\n"
           "Options:\n"
           "  --dir DIR         folder of the state, spool, log and local socket\n"
           "                    (also KORLA_PRINTER_APP_DIR); /var/lib/%s for root\n"
           "  -o server-port=N  the server's port, 8000 by default\n"
           "  -o listen-hostname=HOST\n"
           "                    where the server listens: localhost by default,\n"
           "                    '*' for every network address of the machine\n"
           "  -o log-file=FILE  the server's log, '-' for standard error\n"
           "  -o log-level=LEVEL\n"
           "                    debug, info, warn, error or fatal\n"
           "  -o status-interval=SECONDS\n"
           "                    how often an idle printer's paper is checked: 30 by\n"
           "                    default; 0 turns the paper status off\n"
           "  -d NAME           the printer\n"
           "  --drawer N        the drawer that open-drawer opens: 1 (the default) or 2\n"
           "  -m DRIVER         the driver of a new printer\n"
           "  -v URI            its device: socket://HOST:PORT (the printer's port is 6001), usb://... or\n"
           "                    serial:PORT?baud=N+bits=8|7+parity=none|even|odd+flow=hard|soft|none\n"
           "  -o NAME=VALUE     a job's or a printer's option, such as\n"
           "                    korla-paper-source=NoCut or korla-cash-drawer=1\n"
           "  --help            this text\n",
           APP_NAME, APP_NAME);
}

}  // namespace

int main(int argc, char* argv[])
{
    const std::string folder = TakeFolderOption(argc, argv);
    if (folder.empty()) {
        fprintf(stderr, "%s: --dir needs a folder\n", APP_NAME);
        return 1;
    }
    if (!UseFolder(folder)) {
        fprintf(stderr, "%s: cannot use the folder %s\n", APP_NAME, folder.c_str());
        return 1;
    }
    AddSerialScheme();
    int numDrivers = 0;
    pappl_pr_driver_t* drivers = ReceiptDrivers(numDrivers);
    char** arguments = TakeDrawerOption(argc, argv);
    // Other sub-commands make a system too (to list the drivers, say); only
    // the server listens, so that they never take its port or socket.
    ServerRole role{argc > 1 && strcmp(arguments[1], "server") == 0};
    return papplMainloop(argc, arguments, VERSION, FOOTER_HTML, numDrivers, drivers, ReceiptAutoAddCallback,
                         ReceiptDriverCallback, OPEN_DRAWER_COMMAND, OpenDrawerCommand, CreateServerSystem, Usage,
                         &role);
}
