#include "decoder/command_table.h"

namespace escpos {
namespace {

bool isBitImageMode(std::uint8_t m)
{
    return m <= 3 || (m >= 48 && m <= 51);
}

const char* checkJustification(const std::uint8_t* args)
{
    const std::uint8_t n = args[0];
    return (n <= 2 || (n >= 48 && n <= 50)) ? nullptr : "not a justification (0-2, 48-50)";
}

const char* checkStoredLogo(const std::uint8_t* args)
{
    if (args[0] == 0) return "stored image number 0 does not exist (1-255)";
    return isBitImageMode(args[1]) ? nullptr : "not a print mode (0-3, 48-51)";
}

const char* checkDrawer(const std::uint8_t* args)
{
    const std::uint8_t m = args[0];
    return (m == 0 || m == 1 || m == 48 || m == 49) ? nullptr : "not a drawer pin (0, 1, 48, 49)";
}

const char* checkStatusKind(const std::uint8_t* args)
{
    return (args[0] >= 1 && args[0] <= 4) ? nullptr : "not a status kind (1-4)";
}

}  // namespace

const std::vector<FixedCommand>& fixedCommands()
{
    static const std::vector<FixedCommand> table = {
        {{"\x1b\x40", 2}, 0, Op::Initialise, "ESC @", nullptr},
        {{"\x1b\x3d", 2}, 1, Op::SelectPeripheral, "ESC =", nullptr},
        {{"\x1b\x52", 2}, 1, Op::InternationalCharset, "ESC R", nullptr},
        {{"\x1b\x74", 2}, 1, Op::CodeTable, "ESC t", nullptr},
        {{"\x1b\x63\x03", 3}, 1, Op::PaperEndSensors, "ESC c 3", nullptr},
        {{"\x1b\x63\x04", 3}, 1, Op::PaperStopSensors, "ESC c 4", nullptr},
        {{"\x1d\x50", 2}, 2, Op::MotionUnits, "GS P", nullptr},
        {{"\x1b\x4a", 2}, 1, Op::FeedUnits, "ESC J", nullptr},
        {{"\x1b\x64", 2}, 1, Op::FeedLines, "ESC d", nullptr},
        {{"\x1b\x61", 2}, 1, Op::Justify, "ESC a", checkJustification},
        {{"\x1c\x70", 2}, 2, Op::StoredLogo, "FS p", checkStoredLogo},
        {{"\x1b\x70", 2}, 3, Op::DrawerPulse, "ESC p", checkDrawer},
        {{"\x10\x04", 2}, 1, Op::StatusRequest, "DLE EOT", checkStatusKind},
    };
    return table;
}

const CutFunction* findCutFunction(std::uint8_t m)
{
    static const CutFunction functions[] = {
        {0, false, true, "without feed"},
        {48, false, true, "without feed"},
        {1, false, false, "without feed"},
        {49, false, false, "without feed"},
        {65, true, true, "after feed"},
        {66, true, false, "after feed"},
        {97, true, true, "at preset position"},
        {98, true, false, "at preset position"},
        {103, true, true, "after feed, then reverse feed"},
        {104, true, false, "after feed, then reverse feed"},
    };
    for (const CutFunction& function : functions) {
        if (function.m == m) return &function;
    }
    return nullptr;
}

}  // namespace escpos
