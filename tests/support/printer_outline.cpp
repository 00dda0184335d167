#include "printer_outline.h"

#include <cstdint>

#include <algorithm>

#include "decoder/decoder.h"
#include "printer_bytes.h"
#include "render/paper_renderer.h"

namespace {

PageImage ImageOf(const escpos::Command& command)
{
    return {escpos::rasterBytesPerRow(command), escpos::rasterRows(command),
            std::string(command.data.begin(), command.data.end())};
}

}  // namespace

void PrintTo(const PageImage& image, std::ostream* out)
{
    std::uint64_t digest = 1469598103934665603ull;  // FNV-1a
    for (unsigned char byte : image.data)
        digest = (digest ^ byte) * 1099511628211ull;
    *out << image.bytesPerRow << " bytes x " << image.rows << " rows, " << image.data.size() << " bytes, digest "
         << std::hex << digest << std::dec;
}

Receipt ReadReceipt(const std::string& bytes)
{
    Receipt receipt;
    const std::string setUp = SetUp();
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    std::size_t setUpEnd = 0;  // commands before this offset belong to a set-up already listed
    for (const escpos::Command& command : escpos::decode(data, bytes.size())) {
        if (command.op == escpos::Op::Error) {
            receipt.outline.push_back("ERROR " + command.message);
        } else if (command.offset < setUpEnd) {
            continue;
        } else if (bytes.compare(command.offset, setUp.size(), setUp) == 0) {
            receipt.outline.push_back(SET_UP);
            setUpEnd = command.offset + setUp.size();
        } else if (command.op == escpos::Op::RasterImage && escpos::rasterMode(command) == 0) {
            receipt.outline.push_back(IMAGE);
            receipt.images.push_back(ImageOf(command));
        } else {
            receipt.outline.push_back(Hex(bytes.substr(command.offset, command.length)));
        }
    }
    return receipt;
}

render::Canvas PaperOf(const std::string& bytes, bool wholeDotFeeds)
{
    render::PaperOptions options;
    options.wholeDotFeeds = wholeDotFeeds;
    return render::renderPaper(escpos::decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), options);
}

int FirstDifferentRow(const render::Canvas& one, const render::Canvas& other, int dots)
{
    const auto inked = [](const render::Canvas& paper, int x, int y) {
        return y < paper.height() && paper.at(x, y) == render::kBlack;
    };
    for (int y = 0; y < std::max(one.height(), other.height()); ++y) {
        for (int x = 0; x < dots; ++x) {
            if (inked(one, x, y) != inked(other, x, y))
                return y;
        }
    }
    return -1;
}

int CountWords(const std::vector<std::string>& outline, const std::string& word)
{
    int count = 0;
    for (const std::string& each : outline)
        count += each.compare(0, word.size(), word) == 0;
    return count;
}
