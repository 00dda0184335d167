// The cut of the device URI out of a usb backend listing, on arbitrary
// listings. The listing sits in a buffer of exactly its own size, so any read
// past its end is caught; a URI found must lie inside the listing.
#include <cstdint>
#include <cstring>
#include <memory>

#include "stddevlib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::unique_ptr<char[]> listing(new char[size + 1]);
    std::memcpy(listing.get(), data, size);
    listing[size] = '\0';

    const char* uri = nullptr;
    size_t length = 0;
    if (CutDirectDeviceUri(listing.get(), &uri, &length)) {
        const char* end = listing.get() + std::strlen(listing.get());
        if (uri < listing.get() || uri + length > end)
            __builtin_trap();
    }
    return 0;
}
