#include "registration.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <cups/cups.h>

#include "console.h"
#include "driver_files.h"
#include "driver_source.h"
#include "install_paths.h"
#include "ppd_file.h"
#include "product.h"
#include "queue_check.h"
#include "server_connection.h"
#include "stddevlib.h"

namespace {

constexpr char LOOPBACK_HOST[] = "localhost";
// cupsd runs no filter that its group or others may change.
constexpr mode_t FILTER_MODE = 0755;
constexpr mode_t PPD_MODE = 0644;
constexpr std::size_t COMMAND_OUTPUT_SIZE = 1023;  // the most of a command's output that is read

enum machine_type_e { MT_UNDETERMINED, MT_64BIT, MT_32BIT };

machine_type_e QueryMachineType()
{
    std::string strMachine;
    if (run_cmd("uname -m", &strMachine) != 0)
        return MT_UNDETERMINED;
    if (strMachine.find("x86_64") != std::string::npos) {
        WriteLine("Machine type : 64bit");
        return MT_64BIT;
    }
    WriteLine("Machine type : 32bit");
    return MT_32BIT;
}

// "ipp://localhost/printers/<name>": the server takes the queue from the
// path, whatever host it is reached by.
void PrinterUri(const char* pszPrinterName, char (&szPrinterUri)[LARGE_SIZE])
{
    httpAssembleURIf(HTTP_URI_CODING_ALL, szPrinterUri, sizeof szPrinterUri, "ipp", nullptr, LOOPBACK_HOST, 0,
                     "/printers/%s", pszPrinterName);
}

void AddRegistrationAttributes(ipp_t* pRequest, const char* pszPrinterUri, const char* pszDeviceUri,
                               const char* pszPpdName)
{
    ippAddString(pRequest, IPP_TAG_OPERATION, IPP_TAG_CHARSET, "attributes-charset", nullptr, "us-ascii");
    ippAddString(pRequest, IPP_TAG_OPERATION, IPP_TAG_LANGUAGE, "attributes-natural-language", nullptr, "en");
    ippAddString(pRequest, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(pRequest, IPP_TAG_OPERATION, IPP_TAG_URI, "device-uri", nullptr, pszDeviceUri);
    ippAddString(pRequest, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, pszPrinterUri);
    ippAddString(pRequest, IPP_TAG_OPERATION, IPP_TAG_NAME, "ppd-name", nullptr, pszPpdName);
    ippAddInteger(pRequest, IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-state", IPP_PSTATE_IDLE);
    ippAddBoolean(pRequest, IPP_TAG_PRINTER, "printer-is-accepting-jobs", 1);
    // The filter prints each page of the stream once and tells copies apart
    // only by their count, so the queue must hand it collated copies
    // (1, 2, 1, 2) rather than CUPS's default (1, 1, 2, 2).
    ippAddBoolean(pRequest, IPP_TAG_PRINTER, "collate-default", 1);
}

}  // namespace

int run_cmd(const char* pszCmd, std::string* pstrOut)
{
    const ssize_t nRead = CaptureProgramOutput({"/bin/sh", "-c", pszCmd}, COMMAND_OUTPUT_SIZE, pstrOut);
    if (nRead < 0) {
        std::printf("error1 [cmd : %s][%d:%s]\n", pszCmd, errno, std::strerror(errno));
        return -1;
    }
    if (nRead == 0) {
        std::printf("error2 [cmd:%s][%d:%s]\n", pszCmd, errno, std::strerror(errno));
        return -1;
    }
    WriteLine(pstrOut->c_str());
    return 0;
}

bool CopyDriverFiles()
{
    std::printf("copy ppd file [%s.ppd]\n", PRODUCT_ID);
    const machine_type_e eMachineType = QueryMachineType();
    const std::string strPpdName = std::string(PRODUCT_ID) + ".ppd";
    // Both files are checked before either is put in place, so that a
    // refused filter leaves the installed PPD as it was.
    DriverSource ppd, filter;
    OpenDriverSource(strPpdName.c_str(), DF_PPD, &ppd);
    if (eMachineType != MT_UNDETERMINED)
        OpenDriverSource(FILTER_NAME, DF_FILTER, &filter);
    if (!AcceptDriverSource(ppd, strPpdName.c_str(), ModelTargetDir()) ||
        !AcceptDriverSource(filter, FILTER_NAME, FilterTargetDir()))
        return false;
    if (!PlaceDriverFile(ppd, strPpdName.c_str(), ModelTargetDir(), PPD_MODE))
        return false;

    std::printf("copy Filter file [%s]\n", FILTER_NAME);
    // Without a machine type the filter is not copied, so the installed one
    // must serve; the next line starts on a line of its own.
    if (eMachineType == MT_UNDETERMINED) {
        WritePrompt("Error> Machine type is unkown.");
        WriteLine("");
        return UseInstalledDriverFile(FILTER_NAME, FilterTargetDir());
    }
    return PlaceDriverFile(filter, FILTER_NAME, FilterTargetDir(), FILTER_MODE);
}

int AddPrinter(const char* pszPrinterName, const char* pszDeviceUri, const char* pszPpdName)
{
    WriteLine("AddPrinter 1 ");
    if (!*pszPrinterName || !*pszDeviceUri || !*pszPpdName) {
        WriteLine("Error> Invalid arguments for Addprinter");
        return 0;
    }
    WriteLine("AddPrinter 2 ");
    if (!CopyDriverFiles())
        return 0;

    ipp_t* pRequest = ippNew();
    if (!pRequest) {
        WriteLine("Error> Invalid IPP request");
        return 0;
    }
    http_t* pHttp = ConnectToServer();
    if (!pHttp) {
        ippDelete(pRequest);
        WriteLine("Error> http connection failed");
        return 0;
    }
    ippSetOperation(pRequest, IPP_OP_CUPS_ADD_MODIFY_PRINTER);
    ippSetRequestId(pRequest, 1);
    char szPrinterUri[LARGE_SIZE];
    PrinterUri(pszPrinterName, szPrinterUri);
    AddRegistrationAttributes(pRequest, szPrinterUri, pszDeviceUri, pszPpdName);

    ipp_t* pResponse = cupsDoRequest(pHttp, pRequest, "/");
    // No status to show for a request that got no answer: libcups's status
    // text would then be "Success".
    if (GotNoAnswer(pHttp)) {
        ippDelete(pResponse);
        httpClose(pHttp);
        WriteLine("Error> http connection failed");
        return 0;
    }
    ippDelete(pResponse);
    std::printf("Add Printer status [%s]\n", cupsLastErrorString());
    const bool bAdded = cupsLastError() == IPP_STATUS_OK &&
                        QueueIsAsAsked(pHttp, szPrinterUri, pszPrinterName, pszDeviceUri,
                                       PpdNickName(ModelTargetDir() + pszPpdName));
    httpClose(pHttp);
    return bAdded ? 1 : 0;
}

void WriteRegistrationSummary(const char* pszDeviceUri, const char* pszPrinterName,
                              const char* pszPpdName)
{
    std::printf("URI : [%s] \n", pszDeviceUri);
    std::printf("PRT_NAME : [%s] \n", pszPrinterName);
    std::printf("PPD : [%s] \n", pszPpdName);
}

int AddPrinterAndReport(const char* pszPrinterName, const char* pszDeviceUri, const char* pszPpdName,
                        const char* pszFailureText, InstalledQueue* pInstalled)
{
    const int nResult = AddPrinter(pszPrinterName, pszDeviceUri, pszPpdName);
    if (nResult == 1 && pInstalled)
        *pInstalled = {pszPrinterName, pszDeviceUri, pszPpdName};
    WriteLine(nResult == 1 ? "Printer added successfuly" : pszFailureText);
    return nResult;
}
