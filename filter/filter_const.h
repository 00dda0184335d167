// The filter's fixed descriptors and paths. The keywords of the queue PPD's
// receipt options are in the table of receipt options (receipt_options.h).
#ifndef KORLA_FILTER_CONST_H
#define KORLA_FILTER_CONST_H

#define PRINTER_PIPE 1 // printer bytes go to standard output
#define FILTER_LOG_FILE "/tmp/Orvil_Filter.log"

#endif
