// Jobs that do something else than print a document: open a cash drawer,
// print the test receipt, store logos in the printer. Each is a job of
// the printer's queue, in a document format of the application's own, so
// that it waits for the jobs before it, reaches the printer over the job's
// own link and shows in the printer's job list like any other.
#ifndef KORLA_ACTION_JOBS_H
#define KORLA_ACTION_JOBS_H

#include <pappl/pappl.h>

#include <string>
#include <vector>

// The document is the drawer's number, "1" or "2".
inline constexpr char OPEN_DRAWER_FORMAT[] = "application/vnd.korla-open-drawer";
// The document is empty: the receipt is made when it prints.
inline constexpr char TEST_RECEIPT_FORMAT[] = "application/vnd.korla-test-receipt";
// The document is the job that stores the logos (ESC @ and FS q).
inline constexpr char STORE_LOGOS_FORMAT[] = "application/vnd.korla-store-logos";

// Registers the filters that do the jobs' work. Before the system runs.
void AddActionFilters(pappl_system_t* system);

// Queues a job of one of the formats with the document; null, with error,
// when it cannot. PAPPL 1.3.1 keeps the title's pointer for the job's
// life, not a copy: it must be a string constant.
pappl_job_t* SubmitActionJob(pappl_printer_t* printer, const char* format, const char* title,
                             const std::vector<unsigned char>& document, std::string& error);

// Queues the test receipt (pappl_pr_testpage_cb_t); returns null, as PAPPL
// asks of a callback that printed by itself.
const char* QueueTestReceipt(pappl_printer_t* printer, char* buffer, size_t bufsize);

#endif
