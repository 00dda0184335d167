#include "serial_setup.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <initializer_list>
#include <termios.h>
#include <unistd.h>

#include "console.h"
#include "install_paths.h"
#include "printer_list.h"
#include "product.h"
#include "registration.h"

namespace {

constexpr int SERIAL_PORT = 1;
constexpr int USB_SERIAL_ADAPTER = 2;
constexpr int PORT_COUNT = 8;
constexpr int PROBE_ATTEMPTS = 4;
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

// Probe settings: 115200 baud, 8 data bits, no parity, raw, modem lines ignored.
void ApplyProbeSettings(int fd)
{
    termios tio{};
    tio.c_cflag = CS8 | CREAD | CLOCAL;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 100;
    cfsetospeed(&tio, B115200);
    cfsetispeed(&tio, B115200);
    tcsetattr(fd, TCSANOW, &tio);
}

// Puts the port's own line settings back, dropping what the probe left
// unsent or unread so that none of it reaches the next user of the port.
void RestoreLineSettings(int fd, const termios& tioSaved)
{
    tcflush(fd, TCIOFLUSH);
    tcsetattr(fd, TCSANOW, &tioSaved);
}

bool IsPrinterStatus(unsigned char ucReply)
{
    return (ucReply & 0x10) && (ucReply & 0x02);
}

// Sends DLE EOT 2 until a non-zero byte comes back, at most four times.
bool ProbeForStatus(int fd, bool bVerbose)
{
    static constexpr unsigned char STATUS_REQUEST[] = {0x10, 0x04, 0x02};
    unsigned char ucReply = 0;
    for (int nAttempt = 0; ucReply == 0 && nAttempt < PROBE_ATTEMPTS; ++nAttempt) {
        [[maybe_unused]] ssize_t nWritten = write(fd, STATUS_REQUEST, sizeof STATUS_REQUEST);
        usleep(1000);
        if (read(fd, &ucReply, 1) == 1) {
            if (bVerbose)
                std::printf("Rcv=0x%x\n", ucReply);
            if (IsPrinterStatus(ucReply))
                return true;
        }
        sleep(1);
    }
    return false;
}

// Baud rate for a menu choice (1..8); any other choice gives 115200.
int BaudRateOfChoice(int nChoice)
{
    static constexpr int BAUD_RATES[] = {115200, 57600, 38400, 19200, 14400, 9600, 4800, 2400};
    if (nChoice < 1 || nChoice > 8)
        return 115200;
    return BAUD_RATES[nChoice - 1];
}

const char* FlowWord(int nFlowControl)
{
    return nFlowControl == 2 ? "soft" : "hard";
}

const char* ParityWord(int nParity)
{
    switch (nParity) {
    case 2: return "even";
    case 3: return "odd";
    default: return "none";
    }
}

// The probe of one port, telling on the console what it does when asked to.
int ProbePort(const char* pszDevPath, bool bVerbose)
{
    if (bVerbose)
        std::printf("check_port_ttyUSB(%s)", pszDevPath);
    // O_NOCTTY: a probed port must never become the installer's controlling terminal.
    const int fd = open(pszDevPath, O_RDWR | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (bVerbose)
            WriteLine("port open error or does not exist!!");
        return PROBE_NOT_ANSWERED;
    }
    // The port may belong to another device (a modem, a scale), which must
    // find its line settings as they were.
    termios tioSaved{};
    const bool bSaved = tcgetattr(fd, &tioSaved) == 0;
    ApplyProbeSettings(fd);
    if (bVerbose)
        std::printf("Check %s... \n", pszDevPath);
    const bool bDetected = ProbeForStatus(fd, bVerbose);
    if (bSaved)
        RestoreLineSettings(fd, tioSaved);
    close(fd);
    if (!bDetected)
        return PROBE_NOT_ANSWERED;
    if (bVerbose)
        WriteLine("Printer Detected!!");
    return 1;
}

}  // namespace

int check_port_ttyUSB(const char* pszDevPath)
{
    return ProbePort(pszDevPath, true);
}

bool ProbeSerialPrinter(const char* pszDevPath)
{
    return ProbePort(pszDevPath, false) == 1;
}

int setup_uart(int nInterface)
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
                            settings.nFlowControl);
}

int AddSerialPrinter(const char* pszDevPath, int nBaudRate, int nDataBits, int nParity, int nFlowControl)
{
    char szPrinterName[NAME_SIZE] = {};
    char szDeviceUri[LARGE_SIZE] = {};
    char szPpdName[MID_SIZE] = {};

    std::snprintf(szDeviceUri, sizeof szDeviceUri, "serial:%s?baud=%d+bits=%d+parity=%s+flow=%s",
                  pszDevPath, nBaudRate, nDataBits, ParityWord(nParity), FlowWord(nFlowControl));
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
    return AddPrinterAndReport(szPrinterName, szDeviceUri, szPpdName, "Error> installation failed");
}
