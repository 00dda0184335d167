// The queue's PPD is read with libcups's PPD API. That API is marked
// deprecated upstream, yet it is still how a CUPS driver filter reads the
// options of its queue, so its deprecation warnings are silenced here.
#ifndef KORLA_PPD_API_H
#define KORLA_PPD_API_H

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <memory>

struct PpdCloser {
    void operator()(ppd_file_t* ppd) const { ppdClose(ppd); }
};

// An open PPD, closed when the handle goes out of scope.
using PpdHandle = std::unique_ptr<ppd_file_t, PpdCloser>;

#endif
