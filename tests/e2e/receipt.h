// The pages as CUPS's own filters rasterise a document, to compare with
// what reached the printer (printer_outline.h).
#pragma once

#include <string>
#include <vector>

#include "printer_outline.h"

struct ReferencePage {
    PageImage image;        // without the blank rows at the bottom
    unsigned pageRows = 0;  // before they were left out
};

// The pages that cupsfilter makes of the document with the shipped PPD and
// the given options (-o NAME=VALUE each), read with libcups.
std::vector<ReferencePage> ReferencePages(const std::string& document, const std::vector<std::string>& options = {});
// Their images, in order.
std::vector<PageImage> ImagesOf(const std::vector<ReferencePage>& pages);
