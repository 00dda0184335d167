// printer-install: interactive console installer. Asks which interface
// connects the printer, runs that interface's set-up and reports the result.
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

void WriteResult(int nResult, const char* pszFailureText)
{
    WriteLine(nResult == 1 ? "Install Success!." : pszFailureText);
}

// Runs the set-up of a supported choice; returns false for any other number.
bool RunChoice(int nChoice)
{
    switch (nChoice) {
    case 1:
    case 2:
        WriteResult(setup_uart(nChoice), "Install Fail!.\nCheck Connection Serial Cable or Printer Power.");
        WriteLine("Exit Program.");
        return true;
    case 3:
        WriteResult(setup_usb(), "Install Fail!.\nCheck Connection USB Cable or Printer Power.");
        return true;
    case 4:
        WriteResult(setup_eth(), "Install Fail!.\nCheck Connection LAN Cable or Printer Power.");
        return true;
    case 0:
        WriteLine("Exit by user.");
        return true;
    default:
        return false;
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
        // anyway; after an unsupported choice the unread answer would
        // otherwise bring the menu back for ever.
        if (!ReadNumber(&nChoice))
            nChoice = 0;
        if (RunChoice(nChoice))
            return 0;
        WriteLine("Not supported interface");
        sleep(1);
    }
}
