// The receipt emulator on arbitrary bytes: decoding, the listing and the
// picture of the paper (kept short so that each run stays quick), and
// decoding that holds an unfinished command for the next job.
#include <cstdint>
#include <cstdlib>

#include "decoder/decoder.h"
#include "listing/listing.h"
#include "render/paper_renderer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<escpos::Command> commands = escpos::decode(data, size);
    listing::formatListing(commands);
    render::PaperOptions options;
    options.maxRows = 2000;
    render::renderPaper(commands, options);
    const escpos::DecodedPart part = escpos::decodeFinished(data, size);
    if (part.unfinishedFrom > size) std::abort();
    return 0;
}
