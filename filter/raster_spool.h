// Spooling a raster that comes through a pipe, for a job that must be
// counted before it prints.
#ifndef KORLA_RASTER_SPOOL_H
#define KORLA_RASTER_SPOOL_H

#include <functional>
#include <string>

// A file holding everything fd delivers, standing at its start: unlinked at
// once, under $TMPDIR (the folder CUPS gives every filter; /tmp without
// it), and as large as the input. -1 when the file cannot be made or
// written (error says why) or the job is cancelled meanwhile.
int SpoolToTempFile(int fd, const std::function<bool()>& cancelled, std::string& error);

#endif
