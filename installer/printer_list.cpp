#include "printer_list.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <strings.h>

#include <cups/cups.h>

#include "console.h"
#include "product.h"
#include "server_connection.h"

namespace {

// The destinations of the CUPS server, released by their destructor.
struct DestList {
    int nDests = 0;
    cups_dest_t* pDests = nullptr;

    DestList() = default;
    DestList(const DestList&) = delete;
    DestList& operator=(const DestList&) = delete;
    ~DestList() { cupsFreeDests(nDests, pDests); }
};

// Fetches the server's destinations. A listing that fails must not pass for
// an empty one, or a queue of the proposed name would be taken over: a
// server that cannot be reached, does not answer in time or answers with an
// error fails the fetch, after an "Error> " line. A server without queues
// answers client-error-not-found.
bool FetchDests(DestList* pList)
{
    http_t* pHttp = ConnectToServer();
    if (!pHttp) {
        WriteLine("Error> http connection failed");
        return false;
    }
    pList->nDests = cupsGetDests2(pHttp, &pList->pDests);
    const bool bNoAnswer = GotNoAnswer(pHttp);
    httpClose(pHttp);
    if (bNoAnswer) {
        WriteLine("Error> http connection failed");
        return false;
    }
    const ipp_status_t eStatus = cupsLastError();
    if (eStatus > IPP_STATUS_OK_EVENTS_COMPLETE && eStatus != IPP_STATUS_ERROR_NOT_FOUND) {
        std::printf("Error> Printer list failed [%s]\n", cupsLastErrorString());
        return false;
    }
    return true;
}

// CUPS compares queue names without regard to case, so a name that differs
// from a queue's only in case is that queue.
bool IsQueueName(const char* pszName, const DestList& list)
{
    for (int i = 0; i < list.nDests; ++i) {
        if (strcasecmp(list.pDests[i].name, pszName) == 0)
            return true;
    }
    return false;
}

// The one way a free name is found: the first of "<name>_<n>" for n from
// nFirst on that no queue bears, written over the caller's NAME_SIZE
// buffer; n = 0 stands for the name itself.
void MakeNameFree(char* pszPrinterName, int nFirst, const DestList& list)
{
    if (nFirst == 0 && !IsQueueName(pszPrinterName, list))
        return;
    char szCandidate[NAME_SIZE];
    int nSuffix = std::max(nFirst, 1);
    do {
        std::snprintf(szCandidate, sizeof szCandidate, "%s_%d", pszPrinterName, nSuffix++);
    } while (IsQueueName(szCandidate, list));
    std::memset(pszPrinterName, 0, NAME_SIZE);
    std::memcpy(pszPrinterName, szCandidate, std::strlen(szCandidate));
}

}  // namespace

bool GetPrinterList(char* pszPrinterName)
{
    DestList list;
    if (!FetchDests(&list))
        return false;
    std::printf("Number of printers found in the system is [%d], Given Name [%s]\n", list.nDests,
                pszPrinterName);

    int nMatches = 0;
    for (int i = 0; i < list.nDests; ++i) {
        std::printf("Printer name is [%s] \n", list.pDests[i].name);
        if (strcasestr(list.pDests[i].name, pszPrinterName))
            ++nMatches;
    }
    std::printf("Found Same Name Exist %d \n", nMatches > 0 ? 1 : 0);
    // The dialogue's rule: the count of queues whose names hold the proposal
    // is the first suffix tried. The count alone could name a queue that
    // exists (only "<name>_1" present), which the registration would then
    // take over.
    MakeNameFree(pszPrinterName, nMatches, list);
    return true;
}

bool MakeQueueNameFree(char* pszPrinterName)
{
    DestList list;
    if (!FetchDests(&list))
        return false;
    MakeNameFree(pszPrinterName, 0, list);
    return true;
}
