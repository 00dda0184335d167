// A stand-in CUPS server on 127.0.0.1 for answers that a real cupsd does not
// give: each IPP request gets the reply that a function of the request
// chooses, a whole HTTP response, or none at all.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include <cups/ipp.h>

#include "loopback.h"

class CannedServer {
public:
    // Gets the IPP request's bytes; returns the HTTP response to send, or
    // nothing to leave the request unanswered for good.
    using Reply = std::function<std::optional<std::string>(const std::string& request)>;

    explicit CannedServer(Reply reply);
    CannedServer(const CannedServer&) = delete;
    CannedServer& operator=(const CannedServer&) = delete;

    int port() const { return server_.port(); }  // 0 when it could not listen

private:
    // Answers the requests of one connection until the client closes it.
    void ServeConnection(int fd);

    Reply reply_;
    LoopbackServer server_;  // last: it goes first, before the reply it uses
};

// The operation of an IPP request (0x4003 CUPS-Add-Modify-Printer, ...).
int IppOperation(const std::string& request);
// An HTTP response with that status and no body.
std::string HttpStatusReply(int status, const std::string& reason);
// An HTTP 200 response whose IPP response carries the status and whatever
// `fill` adds to it.
std::string IppStatusReply(const std::string& request, ipp_status_t status,
                           const std::function<void(ipp_t*)>& fill = {});
