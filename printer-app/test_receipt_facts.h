// What the test receipt tells about a printer of the application: its
// name, model and paper, its link and line settings, its answer to the
// status requests, the receipt settings in effect and the logos it holds.
#ifndef KORLA_TEST_RECEIPT_FACTS_H
#define KORLA_TEST_RECEIPT_FACTS_H

#include <pappl/pappl.h>

#include <string>

#include "link_words.h"
#include "test_receipt.h"

// Asks the printer on the job's device, where its link answers.
TestReceiptFacts GatherTestReceiptFacts(pappl_job_t* job, pappl_device_t* device);

#endif
