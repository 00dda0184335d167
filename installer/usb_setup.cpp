#include "usb_setup.h"

#include <cstdio>
#include <cstring>

#include "console.h"
#include "printer_list.h"
#include "product.h"
#include "registration.h"
#include "stddevlib.h"

int setup_usb(InstalledQueue* pInstalled)
{
    WriteLine("=============================================");
    WritePrompt("USB install selected.");
    WriteLine("=============================================");
    return AddUsbPrinter(pInstalled);
}

int AddUsbPrinter(InstalledQueue* pInstalled)
{
    char szDeviceUri[LARGE_SIZE] = {};
    char szPrinterName[MID_SIZE] = {};
    char szPpdName[MID_SIZE] = {};

    WriteLine("Start Add usb printer ");
    std::snprintf(szDeviceUri, sizeof szDeviceUri, "%s", _stdget_usbdev_i().c_str());
    if (!*szDeviceUri) {
        WriteLine("Error> installation failed");
        return 0;
    }
    // The name is taken as it is unless a queue bears it already: a second
    // installation must not take over the first one's queue.
    std::snprintf(szPrinterName, sizeof szPrinterName, "%s_USB", PRODUCT_ID);
    if (!MakeQueueNameFree(szPrinterName))
        return 0;
    std::snprintf(szPpdName, sizeof szPpdName, "%s.ppd", PRODUCT_ID);
    WriteRegistrationSummary(szDeviceUri, szPrinterName, szPpdName);

    if (!std::strstr(szDeviceUri, MODEL_WORD)) {
        std::printf("Error> Invalid printer is connected [%s]!!\n", szDeviceUri);
        return 0;
    }
    return AddPrinterAndReport(szPrinterName, szDeviceUri, szPpdName, "installation failed!!", pInstalled);
}
