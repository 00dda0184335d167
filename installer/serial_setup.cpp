#include "serial_setup.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "console.h"
#include "install_paths.h"
#include "printer_list.h"
#include "product.h"
#include "registration.h"
#include "serial_line.h"
#include "serial_probe.h"

namespace {

constexpr int SERIAL_PORT = 1;
constexpr int USB_SERIAL_ADAPTER = 2;
constexpr int PORT_COUNT = 8;
constexpr int PROBE_NOT_ANSWERED = 255;

constexpr char RULE45[] = "=============================================";
constexpr char RULE51[] = "===================================================";

// The four settings as chosen; they start at the defaults that the prompts
// name.
struct LineSettings {
    int nBaudChoice = 1;
    int nFlowControl = 1;
    int nDataBitsChoice = 8;
    int nParity = 1;
};

bool WriteUartTitle(int nInterface)
{
    if (nInterface == SERIAL_PORT) {
        WriteLine(RULE45);
        WriteLine("Serial Install Selected");
        WriteLine(RULE45);
        return true;
    }
    if (nInterface == USB_SERIAL_ADAPTER) {
        WriteLine(RULE45);
        WriteLine("USB to RS232 Install Selected ");
        WriteLine("=============================================\n");
        return true;
    }
    WriteLine("Invalid Interface");
    return false;
}

// Probes the ports of the chosen kind in rising order; on the first that
// answers leaves its path in szDevPath and returns true.
bool FindPrinterPort(int nInterface, char (&szDevPath)[NAME_SIZE])
{
    const char* pszNode = nInterface == SERIAL_PORT ? "ttyS" : "ttyUSB";
    const std::string strDevDir = SerialDeviceDir();
    for (int nPort = 0; nPort < PORT_COUNT; ++nPort) {
        std::memset(szDevPath, 0, sizeof szDevPath);
        std::snprintf(szDevPath, sizeof szDevPath, "%s/%s%d", strDevDir.c_str(), pszNode, nPort);
        std::printf("Check port -----> %s\n", szDevPath);
        const int nResult = check_port_ttyUSB(szDevPath);
        std::printf("[%s]Result=%d\n", szDevPath, nResult);
        if (nResult == 1) {
            std::printf("Found %s on %s\n", PRODUCT_ID, szDevPath);
            return true;
        }
    }
    return false;
}

// Writes the lines of a settings menu and its prompt, then reads the choice
// into *pnChoice: Enter alone keeps it, the default that the prompt names;
// an answer that is not a number asks again. Returns false at the end of
// input.
bool AskSetting(std::initializer_list<const char*> lines, const char* pszPrompt, int* pnChoice)
{
    for (const char* pszLine : lines)
        WriteLine(pszLine);
    for (;;) {
        WritePrompt(pszPrompt);
        const Answer answer = ReadAnswer();
        switch (answer.eKind) {
        case ANSWER_NUMBER: *pnChoice = answer.nValue; return true;
        case ANSWER_EMPTY: return true;
        case ANSWER_END: return false;
        case ANSWER_WORD: break;
        }
    }
}

bool AskLineSettings(LineSettings* pSettings)
{
    return AskSetting({RULE45, "Select Baud rate : 1)115200  2)57600  3)38400",
                       "Select Baud rate : 4)19200   5)14400  6)9600", "Select Baud rate : 7)4800    8)2400  ",
                       "Defult is 1)115200 .  ", RULE45},
                      "Your select(Defult:115200):", &pSettings->nBaudChoice) &&
           AskSetting({RULE51, "Select Flow control : 1)HW(RTS/CTS)  2)SW(XON/XOFF)", RULE51},
                      "Your select(Defult:HW(RTS/CTS)):", &pSettings->nFlowControl) &&
           AskSetting({RULE51, "Select Stopbit : 1)8bit  2)7bit", RULE51}, "Your select(Defult:8bit):",
                      &pSettings->nDataBitsChoice) &&
           AskSetting({RULE51, "Select Use Parity : 1)None  2)Even  3)Odd", RULE51}, "Your select(Defult:None):",
                      &pSettings->nParity);
}

// Baud rate for a menu choice (1..8, the menu lists the rates in the
// order of BAUD_RATES); any other choice gives 115200.
int BaudRateOfChoice(int nChoice)
{
    constexpr int nRates = static_cast<int>(sizeof BAUD_RATES / sizeof BAUD_RATES[0]);
    if (nChoice < 1 || nChoice > nRates)
        return BAUD_RATES[0];
    return BAUD_RATES[nChoice - 1];
}

// The line of the choices that AddSerialPrinter takes.
SerialLine LineOfChoices(const char* pszDevPath, int nBaudRate, int nDataBits, int nParity, int nFlowControl)
{
    SerialLine line;
    line.port = pszDevPath;
    line.baud = nBaudRate;
    line.dataBits = nDataBits;
    line.parity = nParity == 2 ? Parity::Even : nParity == 3 ? Parity::Odd : Parity::None;
    line.flow = nFlowControl == 2 ? FlowControl::Soft : FlowControl::Hard;
    return line;
}

}  // namespace

int check_port_ttyUSB(const char* pszDevPath)
{
    std::printf("check_port_ttyUSB(%s)", pszDevPath);
    ProbeObserver observer;
    observer.opened = [pszDevPath] { std::printf("Check %s... \n", pszDevPath); };
    observer.received = [](unsigned char ucReply) { std::printf("Rcv=0x%x\n", ucReply); };
    switch (ProbeSerialPort(pszDevPath, observer)) {
    case ProbeResult::NoPort: WriteLine("port open error or does not exist!!"); break;
    case ProbeResult::NoAnswer: break;
    case ProbeResult::Answered: WriteLine("Printer Detected!!"); return 1;
    }
    return PROBE_NOT_ANSWERED;
}

int setup_uart(int nInterface, InstalledQueue* pInstalled)
{
    if (!WriteUartTitle(nInterface))
        return 0;
    char szDevPath[NAME_SIZE];
    if (!FindPrinterPort(nInterface, szDevPath)) {
        std::printf("Can not detect on %s!!!\n", PRODUCT_ID);
        return 0;
    }
    LineSettings settings;
    if (!AskLineSettings(&settings)) {
        WriteLine("Error> installation failed");
        return 0;
    }
    const int nParity = settings.nParity < 1 || settings.nParity > 3 ? 1 : settings.nParity;
    const int nDataBits = settings.nDataBitsChoice == 2 ? 7 : 8;
    return AddSerialPrinter(szDevPath, BaudRateOfChoice(settings.nBaudChoice), nDataBits, nParity,
                            settings.nFlowControl, pInstalled);
}

int AddSerialPrinter(const char* pszDevPath, int nBaudRate, int nDataBits, int nParity, int nFlowControl,
                     InstalledQueue* pInstalled)
{
    char szPrinterName[NAME_SIZE] = {};
    char szDeviceUri[LARGE_SIZE] = {};
    char szPpdName[MID_SIZE] = {};

    const SerialLine line = LineOfChoices(pszDevPath, nBaudRate, nDataBits, nParity, nFlowControl);
    std::snprintf(szDeviceUri, sizeof szDeviceUri, "%s", SerialUri(line).c_str());
    std::printf("DBG CHECK IF CONFIG : [%s]\n", szDeviceUri);

    // The kind of queue follows the device path, not the menu choice.
    const char* pszAdapter = std::strstr(pszDevPath, "ttyUSB");
    std::printf("DBG = dev=[%s], pch=[%s]", pszDevPath, pszAdapter ? pszAdapter : "(null)");
    std::snprintf(szPrinterName, sizeof szPrinterName, "%s_%s", PRODUCT_ID,
                  pszAdapter ? "USB2SERIAL" : "SERIAL");
    std::snprintf(szPpdName, sizeof szPpdName, "%s.ppd", PRODUCT_ID);

    if (!GetPrinterList(szPrinterName))
        return 0;
    WriteRegistrationSummary(szDeviceUri, szPrinterName, szPpdName);
    return AddPrinterAndReport(szPrinterName, szDeviceUri, szPpdName, "Error> installation failed", pInstalled);
}
