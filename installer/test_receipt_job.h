// The offer, after a successful set-up, to print the test receipt on the
// new queue: the receipt engine's test receipt, as the printer
// application's Print Test Page prints it, sent as a raw job of the queue.
#pragma once

#include "registration.h"

// Asks "Print a test receipt on QUEUE? [y/N]: "; y or yes prints it, any
// other answer and the end of input do not. Says what became of the job.
void OfferTestReceipt(const InstalledQueue& queue);
