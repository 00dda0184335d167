#include "server_connection.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;

// Once the limit has passed, libcups still makes its own short waits (about
// a second for each request it goes on to send); with 25 s the installer
// gives up on a silent server within 30 s in all.
constexpr double DEFAULT_TIMEOUT_SECONDS = 25;
// How often a long wait checks the time limit.
constexpr double WAIT_SLICE_SECONDS = 0.25;
// httpConnect's own limit for one connection attempt.
constexpr int CONNECT_TIMEOUT_MS = 30000;

// A day is more than any server needs, and keeps the deadline in range.
constexpr double MAX_TIMEOUT_SECONDS = 86400;

// PRINTER_INSTALL_TIMEOUT as a number of seconds above 0 and up to a day;
// anything else gives the default.
double ServerTimeoutSeconds()
{
    const char* pszValue = std::getenv("PRINTER_INSTALL_TIMEOUT");
    if (!pszValue || !*pszValue)
        return DEFAULT_TIMEOUT_SECONDS;
    char* pszEnd = nullptr;
    const double dSeconds = std::strtod(pszValue, &pszEnd);
    const bool bValid = *pszEnd == '\0' && dSeconds > 0 && dSeconds <= MAX_TIMEOUT_SECONDS;
    return bValid ? dSeconds : DEFAULT_TIMEOUT_SECONDS;
}

// The end of the time limit, fixed at the first call.
Clock::time_point Deadline()
{
    static const Clock::time_point deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(
                           std::chrono::duration<double>(ServerTimeoutSeconds()));
    return deadline;
}

// libcups asks this after each wait slice without an answer: go on waiting?
int BeforeDeadline(http_t*, void*)
{
    return Clock::now() < Deadline();
}

}  // namespace

http_t* ConnectToServer(const char* pszHost)
{
    const auto remaining =
        std::chrono::duration_cast<std::chrono::milliseconds>(Deadline() - Clock::now()).count();
    if (remaining <= 0)
        return nullptr;
    const http_encryption_t eEncryption = cupsEncryption();
    const int nTimeoutMs = static_cast<int>(std::min<long long>(remaining, CONNECT_TIMEOUT_MS));
    http_t* pHttp = httpConnect2(pszHost, ippPort(), nullptr, AF_UNSPEC, eEncryption, 1, nTimeoutMs, nullptr);
    if (pHttp)
        httpSetTimeout(pHttp, WAIT_SLICE_SECONDS, BeforeDeadline, nullptr);
    return pHttp;
}

bool GotNoAnswer(http_t* pHttp, const ipp_t* pResponse)
{
    return !pResponse && httpError(pHttp) != 0;
}
