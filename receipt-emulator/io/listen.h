// Listening like a printer: on a loopback TCP port or a pseudo-terminal.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace io {

struct ListenLimits {
    int jobs = 0;                   // stop after this many jobs; 0: no limit
    double idleTimeoutSeconds = 0;  // stop after this long without traffic; 0: never
};

// Called once the emulator can be reached, with the port number or pty path.
using ReadyHandler = std::function<void(const std::string& where)>;
// Called with the bytes of each job as soon as it has ended.
using JobHandler = std::function<void(std::vector<std::uint8_t> job)>;

// One job per connection, a connection's end being its end. Listens on
// 127.0.0.1 only; port 0 picks a free port. Returns false with error set when
// the port cannot be opened.
bool serveTcp(int port, const ListenLimits& limits, const ReadyHandler& ready, const JobHandler& onJob,
              std::string& error);

// One job per session: from the first byte until every process has closed
// the slave side. linkPath, if not empty, becomes a symlink to the slave for
// as long as the emulator runs.
bool servePty(const std::string& linkPath, const ListenLimits& limits, const ReadyHandler& ready,
              const JobHandler& onJob, std::string& error);

}  // namespace io
