#include "listing/listing.h"

#include "decoder/command_table.h"
#include "decoder/logo_definition.h"

#include <cstdio>

namespace listing {
namespace {

using escpos::Command;
using escpos::Op;

std::string number(unsigned value) { return std::to_string(value); }

std::string arg(const Command& command, std::size_t index) { return number(command.args[index]); }

std::string justificationName(unsigned n)
{
    switch (n % 48) {
    case 0: return "left";
    case 1: return "centre";
    case 2: return "right";
    default: return "unknown";
    }
}

std::string scaleName(unsigned mode)
{
    static const char* const names[] = {"normal", "double width", "double height", "quadruple"};
    return mode % 48 <= 3 ? names[mode % 48] : "unknown";
}

std::string drawerName(unsigned m) { return m % 48 <= 1 ? number(m % 48 + 1) : "?"; }

std::string motionUnit(unsigned n) { return n == 0 ? "default" : "1/" + number(n) + " in"; }

std::string describeImage(const Command& image)
{
    return "GS v 0 raster image " + number(escpos::rasterBytesPerRow(image)) + " bytes x " +
           number(escpos::rasterRows(image)) + " rows (mode " + number(escpos::rasterMode(image)) + ", " +
           scaleName(escpos::rasterMode(image)) + ")";
}

std::string describeCut(const Command& cut)
{
    const escpos::CutFunction* function = escpos::findCutFunction(cut.args[0]);
    std::string text = "GS V " + arg(cut, 0);
    if (function->takesN) text += " " + arg(cut, 1);
    return text + (function->fullCut ? " full cut " : " partial cut ") + function->feed;
}

std::string describeDefineLogos(const Command& define)
{
    std::string text = "FS q " + arg(define, 0) + " define stored logos, replacing all";
    const auto logos = escpos::definedLogos(define);
    if (!logos) return text;
    for (std::size_t i = 0; i < logos->size(); ++i) {
        text += (i == 0 ? ": " : ", ") + number(unsigned(i + 1)) + " " + number((*logos)[i].widthDots()) + "x" +
                number((*logos)[i].heightDots()) + " dots";
    }
    return text;
}

std::string describeStatusRequest(const Command& request)
{
    static const char* const kinds[] = {"printer", "offline", "error", "paper sensor"};
    const unsigned n = request.args[0];
    const std::string kind = (n >= 1 && n <= 4) ? kinds[n - 1] : "unknown";
    return "DLE EOT " + number(n) + " real-time status request (" + kind + " status)";
}

}  // namespace

std::string describe(const Command& command)
{
    switch (command.op) {
    case Op::Text: return "text \"" + std::string(command.data.begin(), command.data.end()) + "\"";
    case Op::LineFeed: return "LF print and line feed";
    case Op::CarriageReturn: return "CR carriage return (ignored)";
    case Op::Nul: return "NUL (ignored)";
    case Op::Initialise: return "ESC @ initialise";
    case Op::SelectPeripheral:
        return "ESC = " + arg(command, 0) + ((command.args[0] & 1) ? " select printer" : " deselect printer");
    case Op::InternationalCharset: return "ESC R " + arg(command, 0) + " international character set " + arg(command, 0);
    case Op::CodeTable: return "ESC t " + arg(command, 0) + " character code table " + arg(command, 0);
    case Op::PaperEndSensors: return "ESC c 3 " + arg(command, 0) + " paper-end signal sensors " + arg(command, 0);
    case Op::PaperStopSensors: return "ESC c 4 " + arg(command, 0) + " paper sensors to stop printing " + arg(command, 0);
    case Op::MotionUnits:
        return "GS P " + arg(command, 0) + " " + arg(command, 1) + " motion units " + motionUnit(command.args[0]) +
               " horizontal, " + motionUnit(command.args[1]) + " vertical";
    case Op::RasterImage: return describeImage(command);
    case Op::FeedUnits: return "ESC J " + arg(command, 0) + " print and feed " + arg(command, 0) + " motion units";
    case Op::FeedLines: return "ESC d " + arg(command, 0) + " print and feed " + arg(command, 0) + " lines";
    case Op::Justify: return "ESC a " + arg(command, 0) + " justify " + justificationName(command.args[0]);
    case Op::StoredLogo:
        return "FS p " + arg(command, 0) + " " + arg(command, 1) + " print stored logo " + arg(command, 0) + " (mode " +
               arg(command, 1) + ", " + scaleName(command.args[1]) + ")";
    case Op::DefineLogos: return describeDefineLogos(command);
    case Op::Cut: return describeCut(command);
    case Op::DrawerPulse:
        return "ESC p drawer " + drawerName(command.args[0]) + " pulse on=" + arg(command, 1) + " off=" + arg(command, 2);
    case Op::StatusRequest: return describeStatusRequest(command);
    case Op::Error: return "ERROR at " + std::to_string(command.offset) + ": " + command.message;
    }
    return "?";
}

std::string formatLine(const Command& command)
{
    char offset[24];
    std::snprintf(offset, sizeof offset, "%04zu ", command.offset);
    return offset + describe(command);
}

std::string formatListing(const std::vector<Command>& commands)
{
    std::string text;
    for (const Command& command : commands) text += formatLine(command) + "\n";
    return text;
}

}  // namespace listing
