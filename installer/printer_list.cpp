#include "printer_list.h"

#include <cstdio>
#include <cstring>
#include <strings.h>

#include <cups/cups.h>

#include "product.h"
#include "server_connection.h"

namespace {

// The destinations that the CUPS server lists; none when it cannot be
// reached or does not answer in time.
int FetchDests(cups_dest_t** ppDests)
{
    *ppDests = nullptr;
    http_t* pHttp = ConnectToServer(cupsServer());
    if (!pHttp)
        return 0;
    const int nDests = cupsGetDests2(pHttp, ppDests);
    httpClose(pHttp);
    return nDests;
}

// CUPS compares queue names without regard to case, so a name that differs
// from a queue's only in case is that queue.
bool IsQueueName(const char* pszName, int nDests, const cups_dest_t* pDests)
{
    for (int i = 0; i < nDests; ++i) {
        if (strcasecmp(pDests[i].name, pszName) == 0)
            return true;
    }
    return false;
}

// Formats "<name>_<n>" starting from nSuffix, raising n while a queue of
// that name exists, and writes it over the caller's NAME_SIZE buffer.
void MakeSuffixedName(char* pszPrinterName, int nSuffix, int nDests, const cups_dest_t* pDests)
{
    char szCandidate[NAME_SIZE];
    do {
        std::snprintf(szCandidate, sizeof szCandidate, "%s_%d", pszPrinterName, nSuffix++);
    } while (IsQueueName(szCandidate, nDests, pDests));
    std::memset(pszPrinterName, 0, NAME_SIZE);
    std::memcpy(pszPrinterName, szCandidate, std::strlen(szCandidate));
}

}  // namespace

void GetPrinterList(char* pszPrinterName)
{
    cups_dest_t* pDests = nullptr;
    const int nDests = FetchDests(&pDests);
    std::printf("Number of printers found in the system is [%d], Given Name [%s]\n", nDests,
                pszPrinterName);

    int nMatches = 0;
    for (int i = 0; i < nDests; ++i) {
        std::printf("Printer name is [%s] \n", pDests[i].name);
        if (strcasestr(pDests[i].name, pszPrinterName))
            ++nMatches;
    }
    const bool bFound = nMatches > 0;
    std::printf("Found Same Name Exist %d \n", bFound ? 1 : 0);
    // The count alone could name a queue that exists (only "<name>_1"
    // present), which the registration would then take over.
    if (bFound)
        MakeSuffixedName(pszPrinterName, nMatches, nDests, pDests);
    cupsFreeDests(nDests, pDests);
}

void MakeQueueNameFree(char* pszPrinterName)
{
    cups_dest_t* pDests = nullptr;
    const int nDests = FetchDests(&pDests);
    if (IsQueueName(pszPrinterName, nDests, pDests))
        MakeSuffixedName(pszPrinterName, 1, nDests, pDests);
    cupsFreeDests(nDests, pDests);
}
