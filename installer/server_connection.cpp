#include "server_connection.h"

#include <algorithm>

#include "time_limit.h"

namespace {

// How often a long wait checks the time limit.
constexpr double WAIT_SLICE_SECONDS = 0.25;
// httpConnect's own limit for one connection attempt.
constexpr long long CONNECT_TIMEOUT_MS = 30000;

// libcups asks this after each wait slice without an answer: go on waiting?
int BeforeDeadline(http_t*, void*)
{
    return MillisecondsLeft() > 0;
}

}  // namespace

http_t* ConnectToServer()
{
    const long long nRemainingMs = MillisecondsLeft();
    if (nRemainingMs <= 0)
        return nullptr;
    const http_encryption_t eEncryption = cupsEncryption();
    const int nTimeoutMs = static_cast<int>(std::min(nRemainingMs, CONNECT_TIMEOUT_MS));
    http_t* pHttp =
        httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, eEncryption, 1, nTimeoutMs, nullptr);
    if (pHttp)
        httpSetTimeout(pHttp, WAIT_SLICE_SECONDS, BeforeDeadline, nullptr);
    return pHttp;
}

bool GotNoAnswer(http_t* pHttp)
{
    return httpError(pHttp) != 0;
}
