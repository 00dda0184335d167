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
// nothing for any other number.
std::optional<int> RunChoice(int nChoice)
{
    switch (nChoice) {
    case 1:
    case 2: {
        const int nStatus =
            WriteResult(setup_uart(nChoice), "Install Fail!.\nCheck Connection Serial Cable or Printer Power.");
        WriteLine("Exit Program.");
        return nStatus;
    }
    case 3:
        return WriteResult(setup_usb(), "Install Fail!.\nCheck Connection USB Cable or Printer Power.");
    case 4:
        return WriteResult(setup_eth(), "Install Fail!.\nCheck Connection LAN Cable or Printer Power.");
    case 0:
        WriteLine("Exit by user.");
        return EXIT_SUCCESS;
    default:
        return std::nullopt;
    }
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
