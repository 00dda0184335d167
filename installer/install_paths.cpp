#include "install_paths.h"

#include <cstdlib>

namespace {

std::string EnvironmentOr(const char* pszName, const char* pszDefault)
{
    const char* pszValue = std::getenv(pszName);
    return pszValue && *pszValue ? pszValue : pszDefault;
}

}  // namespace

std::string CupsServerBin()
{
    return EnvironmentOr("CUPS_SERVERBIN", "/usr/lib/cups");
}

std::string CupsDataDir()
{
    return EnvironmentOr("CUPS_DATADIR", "/usr/share/cups");
}

std::string SerialDeviceDir()
{
    return EnvironmentOr("PRINTER_INSTALL_DEVDIR", "/dev");
}

std::string UsbBackendPath()
{
    return CupsServerBin() + "/backend/usb";
}

std::string FilterTargetDir()
{
    return CupsServerBin() + "/filter/";
}

std::string ModelTargetDir()
{
    return CupsDataDir() + "/model/";
}
