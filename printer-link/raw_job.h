// Bytes for the printer as a raw job of a CUPS queue: the queue's backend
// passes them on untouched, over the queue's own link and its settings.
#ifndef KORLA_RAW_JOB_H
#define KORLA_RAW_JOB_H

#include <cups/cups.h>

#include <string>
#include <vector>

// The job's id, or 0 with error saying why (the job is cancelled then).
int SendRawJob(http_t* http, const std::string& queue, const char* title, const std::vector<unsigned char>& bytes,
               std::string& error);

#endif
