#include "eth_setup.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "console.h"
#include "network_address.h"
#include "network_link.h"
#include "printer_list.h"
#include "product.h"
#include "registration.h"

namespace {

constexpr int DEFAULT_PORT = PRINTER_NETWORK_PORT;
constexpr char RULE54[] = "======================================================";

// Traces the address's dots, as the installer always has; they decide
// nothing.
void TraceDots(const char* pszAddress)
{
    int nDots = 0;
    for (const char* pszDot = std::strchr(pszAddress, '.'); pszDot; pszDot = std::strchr(pszDot + 1, '.')) {
        WriteLine("++++ step1 ");
        std::printf("check ip format [%s]\n", pszDot);
        ++nDots;
    }
    std::printf("++++ step2 cnt=%d\n", nDots);
}

// The port answer: Enter alone, or the end of input, takes the printer's
// port. *pstrText is the port as shown, or the answer itself when it is not
// a number; returns false then.
bool TakePort(const Answer& answer, int* pnPort, std::string* pstrText)
{
    if (answer.eKind == ANSWER_NUMBER)
        *pnPort = answer.nValue;
    *pstrText = answer.eKind == ANSWER_WORD ? answer.strText : std::to_string(*pnPort);
    return answer.eKind != ANSWER_WORD;
}

}  // namespace

int setup_eth(InstalledQueue* pInstalled)
{
    int nPort = DEFAULT_PORT;
    char szAddress[LARGE_SIZE] = {};
    char szPrinterName[NAME_SIZE] = {};

    WriteLine(RULE54);
    WriteLine("Ethernet Install selected");
    WriteLine(RULE54);
    WritePrompt("\n\nEnter IP Address(ex> 192.168.1.254) : ");
    ReadWord(szAddress, sizeof szAddress);
    WritePrompt("\n\nEnter Port Number(Default:6001) : ");
    std::string strPort;
    const bool bPortIsNumber = TakePort(ReadAnswer(), &nPort, &strPort);
    std::printf("Yours IP and port number: %s:%s \n", szAddress, strPort.c_str());

    // Every host name and IPv4 address, and IPv6 in brackets: anything else
    // (999.1.1.1, "127.0.0.1;", "1.2.3.4/../x") names no printer.
    TraceDots(szAddress);
    if (!IsPrinterAddress(szAddress)) {
        std::printf("Error> Invalid IP Address format [%s] \n", szAddress);
        return 0;
    }
    if (!bPortIsNumber || !IsPrinterPort(nPort)) {
        std::printf("Error> Invalid port number [%s] \n", strPort.c_str());
        return 0;
    }
    std::snprintf(szPrinterName, sizeof szPrinterName, "%s_ETHERNET", PRODUCT_ID);
    if (!GetPrinterList(szPrinterName))
        return 0;
    return AddEthPrinter(szAddress, nPort, szPrinterName, pInstalled);
}

int AddEthPrinter(const char* pszAddress, int nPort, const char* pszPrinterName, InstalledQueue* pInstalled)
{
    char szDeviceUri[LARGE_SIZE] = {};
    char szPrinterName[MID_SIZE] = {};
    char szPpdName[MID_SIZE] = {};

    std::snprintf(szDeviceUri, sizeof szDeviceUri, "%s", SocketUri(pszAddress, nPort).c_str());
    std::snprintf(szPrinterName, sizeof szPrinterName, "%s", pszPrinterName);
    std::snprintf(szPpdName, sizeof szPpdName, "%s.ppd", PRODUCT_ID);
    WriteRegistrationSummary(szDeviceUri, szPrinterName, szPpdName);
    return AddPrinterAndReport(szPrinterName, szDeviceUri, szPpdName, "installation failed!!", pInstalled);
}
