#include "stored_logos.h"

#include "cmd_defs.h"

namespace {

uint32_t Units(uint32_t dots)
{
    return (dots + LOGO_UNIT_DOTS - 1) / LOGO_UNIT_DOTS;
}

void AppendLittleEndian16(std::vector<unsigned char>& bytes, uint32_t value)
{
    bytes.push_back(static_cast<unsigned char>(value & 0xFF));
    bytes.push_back(static_cast<unsigned char>(value >> 8));
}

// One logo's header and data, column by column, each column from the top.
void AppendLogo(std::vector<unsigned char>& bytes, const LogoBitmap& logo)
{
    const uint32_t columns = Units(logo.width) * LOGO_UNIT_DOTS;
    const uint32_t bytesPerColumn = Units(logo.height);
    AppendLittleEndian16(bytes, Units(logo.width));
    AppendLittleEndian16(bytes, bytesPerColumn);
    for (uint32_t x = 0; x < columns; ++x) {
        for (uint32_t band = 0; band < bytesPerColumn; ++band) {
            unsigned char column = 0;
            for (uint32_t bit = 0; bit < 8; ++bit) {
                const uint32_t y = band * 8 + bit;
                if (x < logo.width && y < logo.height && logo.Dot(x, y))
                    column |= static_cast<unsigned char>(0x80 >> bit);
            }
            bytes.push_back(column);
        }
    }
}

std::string Numbered(size_t index)
{
    return "logo " + std::to_string(index + 1);
}

}  // namespace

size_t StoredLogoBytes(const LogoBitmap& logo)
{
    return size_t{Units(logo.width)} * LOGO_UNIT_DOTS * Units(logo.height);
}

std::string StoredLogosProblem(const std::vector<LogoBitmap>& logos)
{
    if (logos.empty())
        return "there is no logo to store";
    if (logos.size() > MAX_STORED_LOGOS)
        return std::to_string(logos.size()) + " logos: FS q stores at most " + std::to_string(MAX_STORED_LOGOS);
    size_t total = 0;
    for (size_t i = 0; i < logos.size(); ++i) {
        const LogoBitmap& logo = logos[i];
        if (logo.width == 0 || logo.height == 0)
            return Numbered(i) + " is empty";
        if (Units(logo.width) > MAX_LOGO_WIDTH_UNITS)
            return Numbered(i) + " is " + std::to_string(logo.width) + " dots wide: FS q takes at most " +
                   std::to_string(MAX_LOGO_WIDTH_UNITS * LOGO_UNIT_DOTS) + " (" +
                   std::to_string(MAX_LOGO_WIDTH_UNITS) + " units of 8 dots)";
        if (Units(logo.height) > MAX_LOGO_HEIGHT_UNITS)
            return Numbered(i) + " is " + std::to_string(logo.height) + " dots tall: FS q takes at most " +
                   std::to_string(MAX_LOGO_HEIGHT_UNITS * LOGO_UNIT_DOTS) + " (" +
                   std::to_string(MAX_LOGO_HEIGHT_UNITS) + " units of 8 dots)";
        total += StoredLogoBytes(logo);
    }
    if (total > MAX_STORED_LOGO_BYTES)
        return "the logos take " + std::to_string(total) + " bytes: FS q defines at most " +
               std::to_string(MAX_STORED_LOGO_BYTES) + " bytes of logos in all";
    return "";
}

std::optional<std::vector<unsigned char>> LogoStoringJob(const std::vector<LogoBitmap>& logos, std::string& error)
{
    error = StoredLogosProblem(logos);
    if (!error.empty())
        return std::nullopt;
    std::vector<unsigned char> job(Initilize_Printer.Command, Initilize_Printer.Command + Initilize_Printer.nCmdlen);
    job.insert(job.end(), {0x1c, 0x71, static_cast<unsigned char>(logos.size())});
    for (const LogoBitmap& logo : logos)
        AppendLogo(job, logo);
    return job;
}
