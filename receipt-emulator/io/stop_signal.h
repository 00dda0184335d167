// SIGTERM and SIGINT ask a listening emulator to finish the current job,
// write its outputs and stop.
#pragma once

namespace io {

// Also ignores SIGPIPE, so a client that hangs up early costs a failed write
// instead of the process.
void installStopHandlers();
bool stopRequested();

}  // namespace io
