// One decoded ESC/POS command, or one decoding error, as the decoder reports it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace escpos {

enum class Op {
    Text,                  // data: a run of printable ASCII
    LineFeed,              // LF
    CarriageReturn,        // CR
    Nul,                   // 0x00, ignored by the printer
    Initialise,            // ESC @
    SelectPeripheral,      // ESC = n
    InternationalCharset,  // ESC R n
    CodeTable,             // ESC t n
    PaperEndSensors,       // ESC c 3 n (third byte 0x03)
    PaperStopSensors,      // ESC c 4 n (third byte 0x04)
    MotionUnits,           // GS P x y
    RasterImage,           // GS v 0 m xL xH yL yH, data: the image bytes that arrived
    FeedUnits,             // ESC J n
    FeedLines,             // ESC d n
    Justify,               // ESC a n
    StoredLogo,            // FS p n m
    DefineLogos,           // FS q n [xL xH yL yH d1...dk]1..n, data: everything after n
    Cut,                   // GS V m [n]
    DrawerPulse,           // ESC p m t1 t2
    StatusRequest,         // DLE EOT n
    Error,                 // message says what is wrong
};

struct Command {
    std::size_t offset = 0;          // of the command's first byte in the job
    std::size_t length = 0;          // bytes consumed, image data included
    Op op = Op::Error;
    std::vector<std::uint8_t> args;  // parameter bytes after the command's fixed prefix
    std::vector<std::uint8_t> data;  // Text characters or raster image bytes
    std::string message;             // Error only
};

inline unsigned littleEndian16(std::uint8_t low, std::uint8_t high)
{
    return low + 256u * high;
}

// Raster image geometry, from the GS v 0 arguments m xL xH yL yH.
inline unsigned rasterMode(const Command& image) { return image.args[0]; }
inline unsigned rasterBytesPerRow(const Command& image) { return littleEndian16(image.args[1], image.args[2]); }
inline unsigned rasterRows(const Command& image) { return littleEndian16(image.args[3], image.args[4]); }

}  // namespace escpos
