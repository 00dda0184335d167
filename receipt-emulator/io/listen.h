// Listening like a printer: on a loopback TCP port or a pseudo-terminal.
#pragma once

#include "io/paper_sensor.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace io {

struct ListenSettings {
    int jobs = 0;                   // stop after this many jobs; 0: no limit
    double idleTimeoutSeconds = 0;  // stop after this long without traffic; 0: never
    double bytesPerSecond = 0;      // take bytes no faster than this; 0: as fast as they come
    PaperSensor paper;              // answers the status requests
};

// One job as it arrived.
struct ArrivedJob {
    std::vector<std::uint8_t> bytes;
    double seconds = 0;  // from its first byte to its last
    bool last = false;   // no job follows: the job limit is reached, or a stop or the idle timeout ended it
};

// Called once the emulator can be reached, with the port number or pty path.
using ReadyHandler = std::function<void(const std::string& where)>;
// Called with each job as soon as it has ended.
using JobHandler = std::function<void(ArrivedJob job)>;

// One job per connection, a connection's end being its end. Listens on
// 127.0.0.1 only; port 0 picks a free port. Returns false with error set when
// the port cannot be opened.
bool serveTcp(int port, const ListenSettings& settings, const ReadyHandler& ready, const JobHandler& onJob,
              std::string& error);

// One job per session: from the first byte until every process has closed
// the slave side. linkPath, if not empty, becomes a symlink to the slave for
// as long as the emulator runs.
bool servePty(const std::string& linkPath, const ListenSettings& settings, const ReadyHandler& ready,
              const JobHandler& onJob, std::string& error);

}  // namespace io
