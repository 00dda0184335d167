#include "time_limit.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Once the limit has passed, libcups still makes its own short waits (about
// a second for each request it goes on to send); with 25 s the installer
// gives up on a silent server within 30 s in all.
constexpr double DEFAULT_TIMEOUT_SECONDS = 25;
// A day is more than any server needs, and keeps the deadline in range.
constexpr double MAX_TIMEOUT_SECONDS = 86400;

// PRINTER_INSTALL_TIMEOUT as a number of seconds above 0 and up to a day;
// anything else gives the default.
double TimeoutSeconds()
{
    const char* pszValue = std::getenv("PRINTER_INSTALL_TIMEOUT");
    if (!pszValue || !*pszValue)
        return DEFAULT_TIMEOUT_SECONDS;
    char* pszEnd = nullptr;
    const double dSeconds = std::strtod(pszValue, &pszEnd);
    const bool bValid = *pszEnd == '\0' && dSeconds > 0 && dSeconds <= MAX_TIMEOUT_SECONDS;
    return bValid ? dSeconds : DEFAULT_TIMEOUT_SECONDS;
}

}  // namespace

InstallClock::time_point RunDeadline()
{
    static const InstallClock::time_point deadline =
        InstallClock::now() + std::chrono::duration_cast<InstallClock::duration>(
                                  std::chrono::duration<double>(TimeoutSeconds()));
    return deadline;
}

long long MillisecondsLeft()
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(RunDeadline() - InstallClock::now());
    return std::max<long long>(left.count(), 0);
}
