// printer-install: interactive console installer. Asks which interface
// connects the printer, runs that interface's set-up and reports the result.
// Exits 0 after a set-up that succeeded or the user's exit, 1 after a set-up
// that failed, so that a script can tell.
#include <cstdlib>
#include <optional>
#include <unistd.h>

#include "console.h"
#include "eth_setup.h"
#include "serial_setup.h"
#include "test_receipt_job.h"
#include "usb_setup.h"

namespace {

void WriteMenu()
{
    WriteLine("=============================================");
    WriteLine("Select Interface\n");
    WriteLine("1) Serial");
    WriteLine("2) USB to Serial");
    WriteLine("3) USB");
    WriteLine("4) Ethernet\n");
    WriteLine("0) Exit");
    WriteLine("=============================================");
    WritePrompt("Your select:");
}

// Writes the set-up's result text and returns the program's exit status.
int WriteResult(int nResult, const char* pszFailureText)
{
    WriteLine(nResult == 1 ? "Install Success!." : pszFailureText);
    return nResult == 1 ? EXIT_SUCCESS : EXIT_FAILURE;
}

// Runs the set-up of a supported choice and returns the exit status; returns
// nothing for any other number. After a set-up that succeeded, offers the
// test receipt.
std::optional<int> RunChoice(int nChoice)
{
    InstalledQueue installed;
    int nStatus = EXIT_FAILURE;
    switch (nChoice) {
    case 1:
    case 2:
        nStatus = WriteResult(setup_uart(nChoice, &installed),
                              "Install Fail!.\nCheck Connection Serial Cable or Printer Power.");
        WriteLine("Exit Program.");
        break;
    case 3:
        nStatus = WriteResult(setup_usb(&installed), "Install Fail!.\nCheck Connection USB Cable or Printer Power.");
        break;
    case 4:
        nStatus = WriteResult(setup_eth(&installed), "Install Fail!.\nCheck Connection LAN Cable or Printer Power.");
        break;
    case 0:
        WriteLine("Exit by user.");
        return EXIT_SUCCESS;
    default:
        return std::nullopt;
    }
    if (nStatus == EXIT_SUCCESS)
        OfferTestReceipt(installed);
    return nStatus;
}

}  // namespace

int main()
{
    RunShell("clear");
    int nChoice = 0;
    for (;;) {
        WriteMenu();
        // An answer that is not a number, or the end of input, ends the
        // dialogue like choice 0. At the first prompt the choice is still 0
        // anyway; after an unsupported choice it would otherwise stay.
        if (!ReadChoice(&nChoice))
            nChoice = 0;
        if (const std::optional<int> nStatus = RunChoice(nChoice))
            return *nStatus;
        WriteLine("Not supported interface");
        sleep(1);
    }
}
