#include "logos/logo_store.h"

#include "decoder/decoder.h"
#include "decoder/logo_definition.h"
#include "io/files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace logos {

bool LogoStore::apply(const escpos::Command& command)
{
    if (command.op != escpos::Op::DefineLogos) return false;
    const auto defined = escpos::definedLogos(command);
    if (!defined) return false;
    logos_.clear();
    for (const escpos::DefinedLogo& logo : *defined) {
        auto stored = std::make_shared<Logo>();
        stored->width = int(logo.widthDots());
        stored->height = int(logo.heightDots());
        const auto first = command.data.begin() + std::ptrdiff_t(logo.dataOffset);
        stored->columns.assign(first, first + std::ptrdiff_t(std::size_t(logo.widthDots()) * logo.heightUnits));
        logos_.push_back(std::move(stored));
    }
    definition_ = {0x1c, 0x71, command.args[0]};
    definition_.insert(definition_.end(), command.data.begin(), command.data.end());
    return true;
}

const Logo* LogoStore::find(unsigned number) const
{
    return number >= 1 && number <= logos_.size() ? logos_[number - 1].get() : nullptr;
}

bool LogoStore::load(const std::string& path, std::string& error)
{
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (errno == ENOENT) return true;
        error = path + ": " + std::strerror(errno);
        return false;
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (bytes.empty()) return true;
    const std::vector<escpos::Command> commands = escpos::decode(bytes);
    if (commands.size() != 1 || !apply(commands.front())) {
        error = path + " holds no logos the printer takes (an FS q command)";
        return false;
    }
    return true;
}

bool LogoStore::save(const std::string& path, std::string& error) const
{
    return io::replaceWholeFile(path, definition_.data(), definition_.size(), error);
}

}  // namespace logos
