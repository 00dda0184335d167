#include "queue_check.h"

#include <cstdio>

#include "console.h"
#include "server_connection.h"

namespace {

std::string StringAttribute(ipp_t* pResponse, const char* pszName)
{
    ipp_attribute_t* pAttribute = ippFindAttribute(pResponse, pszName, IPP_TAG_ZERO);
    const char* pszValue = pAttribute ? ippGetString(pAttribute, 0, nullptr) : nullptr;
    return pszValue ? pszValue : "";
}

}  // namespace

bool QueueIsAsAsked(http_t* pHttp, const char* pszPrinterUri, const char* pszPrinterName,
                    const char* pszDeviceUri, const std::string& strMakeAndModel)
{
    static const char* const ATTRIBUTES[] = {"device-uri", "printer-make-and-model"};
    ipp_t* pRequest = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(pRequest, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, pszPrinterUri);
    ippAddString(pRequest, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddStrings(pRequest, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr, ATTRIBUTES);

    ipp_t* pResponse = cupsDoRequest(pHttp, pRequest, "/");
    if (GotNoAnswer(pHttp)) {
        ippDelete(pResponse);
        WriteLine("Error> http connection failed");
        return false;
    }
    if (cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE) {
        ippDelete(pResponse);
        std::printf("Error> Printer [%s] not found on the server [%s]\n", pszPrinterName, cupsLastErrorString());
        return false;
    }
    const std::string strDevice = StringAttribute(pResponse, "device-uri");
    const std::string strModel = StringAttribute(pResponse, "printer-make-and-model");
    ippDelete(pResponse);
    if (strDevice == pszDeviceUri && (strMakeAndModel.empty() || strModel == strMakeAndModel))
        return true;
    std::printf("Error> Printer [%s] has device [%s] and PPD [%s]\n", pszPrinterName, strDevice.c_str(),
                strModel.c_str());
    return false;
}
