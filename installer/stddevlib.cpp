#include "stddevlib.h"

#include <cstdio>
#include <cstring>

#include "console.h"
#include "install_paths.h"

char pszBuff[4096];
char con_dev[4096];

ssize_t CaptureCommandOutput(const char* pszCmd, char* pszOut, std::size_t nSize)
{
    std::memset(pszOut, 0, nSize);
    std::fflush(stdout);  // keep our own output ahead of the command's
    FILE* pPipe = popen(pszCmd, "r");
    if (!pPipe)
        return -1;
    const std::size_t nRead = std::fread(pszOut, 1, nSize - 1, pPipe);
    pclose(pPipe);
    pszOut[nRead] = '\0';
    return static_cast<ssize_t>(nRead);
}

int _cmd_pipe(const char* pszCmd)
{
    if (CaptureCommandOutput(pszCmd, pszBuff, sizeof pszBuff) <= 0)
        return -1;
    WriteLine(pszBuff);
    return 0;
}

bool CutDirectDeviceUri(const char* pszListing, const char** ppszUri, std::size_t* pnLength)
{
    static constexpr char DEVICE_CLASS[] = "direct";
    const char* pszDirect = std::strstr(pszListing, DEVICE_CLASS);
    // The URI starts after the class word and the one separator after it.
    const std::size_t nWordLength = sizeof DEVICE_CLASS - 1;
    if (!pszDirect || pszDirect[nWordLength] == '\0')
        return false;
    const char* pszUri = pszDirect + nWordLength + 1;
    const char* pszUsb = std::strstr(pszUri, "usb");
    if (!pszUsb)
        return false;
    const char* pszEnd = std::strstr(pszUsb, " \"");
    if (!pszEnd)
        return false;
    *ppszUri = pszUri;
    *pnLength = static_cast<std::size_t>(pszEnd - pszUri);
    return true;
}

char* _stdget_usbdev_i()
{
    std::memset(con_dev, 0, sizeof con_dev);
    if (_cmd_pipe(UsbBackendPath().c_str()) != 0) {
        WritePrompt("shell command error");
        return nullptr;
    }
    const char* pszUri = nullptr;
    std::size_t nLength = 0;
    if (!CutDirectDeviceUri(pszBuff, &pszUri, &nLength)) {
        WriteLine("There is no device.");
        return nullptr;
    }
    // The URI lies inside pszBuff, so it is shorter than con_dev.
    std::memcpy(con_dev, pszUri, nLength);
    std::printf("\nConnected Dev Name : [%s]\n", con_dev);
    return con_dev;
}
