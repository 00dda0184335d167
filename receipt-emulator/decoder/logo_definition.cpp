#include "decoder/logo_definition.h"

#include "stored_logos.h"

namespace escpos {
namespace {

DefinedLogo logoAt(const Command& define, std::size_t offset)
{
    const std::uint8_t* header = define.data.data() + offset;
    return {littleEndian16(header[0], header[1]), littleEndian16(header[2], header[3]), offset + kLogoHeaderLength};
}

}  // namespace

std::size_t logoDataLength(const std::uint8_t* header)
{
    return std::size_t{littleEndian16(header[0], header[1])} * littleEndian16(header[2], header[3]) * 8;
}

std::string logoDefinitionProblem(const Command& define)
{
    if (define.args[0] == 0) return "no logo to define (n is 0)";
    std::size_t offset = 0;
    std::size_t total = 0;
    for (unsigned logo = 1; logo <= define.args[0]; ++logo) {
        const DefinedLogo defined = logoAt(define, offset);
        if (defined.widthUnits < 1 || defined.widthUnits > MAX_LOGO_WIDTH_UNITS)
            return "logo " + std::to_string(logo) + ": x is " + std::to_string(defined.widthUnits) + ", not 1-" +
                   std::to_string(MAX_LOGO_WIDTH_UNITS);
        if (defined.heightUnits < 1 || defined.heightUnits > MAX_LOGO_HEIGHT_UNITS)
            return "logo " + std::to_string(logo) + ": y is " + std::to_string(defined.heightUnits) + ", not 1-" +
                   std::to_string(MAX_LOGO_HEIGHT_UNITS);
        const std::size_t length = logoDataLength(define.data.data() + offset);
        total += length;
        offset += kLogoHeaderLength + length;
    }
    if (total > MAX_STORED_LOGO_BYTES)
        return std::to_string(total) + " bytes of logos, more than the " + std::to_string(MAX_STORED_LOGO_BYTES) +
               " the printer holds";
    return "";
}

std::optional<std::vector<DefinedLogo>> definedLogos(const Command& define)
{
    if (!logoDefinitionProblem(define).empty()) return std::nullopt;
    std::vector<DefinedLogo> logos;
    std::size_t offset = 0;
    for (unsigned logo = 0; logo < define.args[0]; ++logo) {
        logos.push_back(logoAt(define, offset));
        offset = logos.back().dataOffset + logoDataLength(define.data.data() + offset);
    }
    return logos;
}

}  // namespace escpos
