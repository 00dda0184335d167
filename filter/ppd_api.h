// The queue's PPD is read with libcups's PPD API. That API is marked
// deprecated upstream, yet it is still how a CUPS driver filter reads the
// options of its queue. Its deprecation warnings are silenced here for this
// header alone: a file that calls the API silences them itself, where it
// can be seen.
#ifndef KORLA_PPD_API_H
#define KORLA_PPD_API_H

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <memory>

struct PpdCloser {
    void operator()(ppd_file_t* ppd) const { ppdClose(ppd); }
};
#pragma GCC diagnostic pop

// An open PPD, closed when the handle goes out of scope.
using PpdHandle = std::unique_ptr<ppd_file_t, PpdCloser>;

#endif
