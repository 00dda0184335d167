// Checks, after a registration, that the server holds the queue as asked.
// cupsd answers an add request with success and then deletes the printer
// when it cannot load the PPD; only the queue itself tells.
#pragma once

#include <cups/cups.h>
#include <string>

// Asks the server on pHttp for the queue at pszPrinterUri. True when it
// exists with the device URI pszDeviceUri and, when strMakeAndModel is not
// empty, a PPD whose *NickName is strMakeAndModel. Otherwise writes an
// "Error> " line that says what the server has, and returns false.
bool QueueIsAsAsked(http_t* pHttp, const char* pszPrinterUri, const char* pszPrinterName,
                    const char* pszDeviceUri, const std::string& strMakeAndModel);
