// libcups's PPD API is marked deprecated, yet it is the reader that cupsd
// itself loads a queue's PPD with; its deprecation warnings are silenced.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include "ppd_file.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

#include <cups/ppd.h>

#include "product.h"

namespace {

std::string Quoted(const char* pszValue)
{
    return std::string("\"") + (pszValue ? pszValue : "") + "\"";
}

bool IsThisPrintersPpd(const ppd_file_t& ppd)
{
    return ppd.pcfilename && std::strcmp(ppd.pcfilename, PPD_PC_FILE_NAME) == 0 && ppd.modelname &&
           std::strcmp(ppd.modelname, PPD_MODEL_NAME) == 0;
}

}  // namespace

std::string PpdRefusal(int fd)
{
    // cupsFileClose closes the descriptor it was given: it gets a duplicate.
    cups_file_t* pFile = cupsFileOpenFd(dup(fd), "r");
    if (!pFile)
        return std::strerror(errno);
    ppd_file_t* pPpd = ppdOpen2(pFile);
    cupsFileClose(pFile);
    if (!pPpd) {
        int nLine = 0;
        const ppd_status_t eStatus = ppdLastError(&nLine);
        return std::string("Not a PPD file: ") + ppdErrorString(eStatus) + " on line " + std::to_string(nLine);
    }
    std::string strRefusal;
    if (!IsThisPrintersPpd(*pPpd))
        strRefusal = "The PPD file of another printer (*PCFileName " + Quoted(pPpd->pcfilename) + ", *ModelName " +
                     Quoted(pPpd->modelname) + ")";
    ppdClose(pPpd);
    return strRefusal;
}

std::string PpdNickName(const std::string& path)
{
    ppd_file_t* pPpd = ppdOpenFile(path.c_str());
    if (!pPpd)
        return "";
    const std::string strNickName = pPpd->nickname ? pPpd->nickname : "";
    ppdClose(pPpd);
    return strNickName;
}
