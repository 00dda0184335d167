#include "decoder/decoder.h"

#include "decoder/command_table.h"
#include "decoder/logo_definition.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace escpos {
namespace {

constexpr std::uint8_t kNul = 0x00;
constexpr std::uint8_t kLf = 0x0a;
constexpr std::uint8_t kCr = 0x0d;
constexpr std::uint8_t kDle = 0x10;
constexpr std::uint8_t kEsc = 0x1b;
constexpr std::uint8_t kFs = 0x1c;
constexpr std::uint8_t kGs = 0x1d;

bool isPrintable(std::uint8_t byte) { return byte >= 0x20 && byte <= 0x7e; }
bool isIntroducer(std::uint8_t byte) { return byte == kEsc || byte == kGs || byte == kFs || byte == kDle; }
bool isPlainControl(std::uint8_t byte) { return byte == kNul || byte == kLf || byte == kCr; }
bool startsSomething(std::uint8_t byte) { return isPrintable(byte) || isIntroducer(byte) || isPlainControl(byte); }

std::string hexBytes(const std::uint8_t* bytes, std::size_t count)
{
    std::string text;
    char buffer[4];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(buffer, sizeof buffer, i ? " %02X" : "%02X", bytes[i]);
        text += buffer;
    }
    return text;
}

class Decoder {
public:
    // holdUnfinished: a command the bytes end inside is held back instead of
    // being reported as cut short.
    Decoder(const std::uint8_t* bytes, std::size_t size, bool holdUnfinished)
        : bytes_(bytes), size_(size), heldFrom_(size), holdUnfinished_(holdUnfinished)
    {
    }

    std::vector<Command> run()
    {
        while (pos_ < size_) decodeAt();
        return std::move(commands_);
    }

    std::size_t heldFrom() const { return heldFrom_; }

private:
    std::size_t remaining() const { return size_ - pos_; }

    bool startsWith(std::string_view prefix) const
    {
        return remaining() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes_ + pos_,
                                                          [](char a, std::uint8_t b) { return std::uint8_t(a) == b; });
    }

    // The job ends inside the prefix: what is there matches its start.
    bool endsInside(std::string_view prefix) const
    {
        return remaining() < prefix.size() && std::equal(bytes_ + pos_, bytes_ + size_, prefix.begin(),
                                                         [](std::uint8_t a, char b) { return a == std::uint8_t(b); });
    }

    void decodeAt()
    {
        const std::uint8_t byte = bytes_[pos_];
        if (isPrintable(byte)) return decodeText();
        if (byte == kLf) return emitSingle(Op::LineFeed);
        if (byte == kCr) return emitSingle(Op::CarriageReturn);
        if (byte == kNul) return emitSingle(Op::Nul);
        if (startsWith(kRasterImagePrefix)) return decodeRasterImage();
        if (startsWith(kCutPrefix)) return decodeCut();
        if (startsWith(kDefineLogosPrefix)) return decodeDefineLogos();
        for (const FixedCommand& command : fixedCommands()) {
            if (startsWith(command.prefix)) return decodeFixed(command);
        }
        if (endsInsideAnyPrefix()) return reportIncomplete();
        if (isIntroducer(byte)) return reportUnknownCommand();
        reportUnknownBytes();
    }

    bool endsInsideAnyPrefix() const
    {
        if (endsInside(kRasterImagePrefix) || endsInside(kCutPrefix) || endsInside(kDefineLogosPrefix)) return true;
        const auto& table = fixedCommands();
        return std::any_of(table.begin(), table.end(), [this](const FixedCommand& c) { return endsInside(c.prefix); });
    }

    void decodeText()
    {
        const std::size_t start = pos_;
        while (pos_ < size_ && isPrintable(bytes_[pos_])) ++pos_;
        Command command = make(Op::Text, start, pos_ - start);
        command.data.assign(bytes_ + start, bytes_ + pos_);
        commands_.push_back(std::move(command));
    }

    void emitSingle(Op op)
    {
        commands_.push_back(make(op, pos_, 1));
        ++pos_;
    }

    void decodeFixed(const FixedCommand& fixed)
    {
        const std::size_t needed = fixed.prefix.size() + fixed.argCount;
        if (remaining() < needed) return reportCutShort(fixed.mnemonic, needed);
        Command command = make(fixed.op, pos_, needed);
        command.args.assign(bytes_ + pos_ + fixed.prefix.size(), bytes_ + pos_ + needed);
        const char* problem = fixed.check ? fixed.check(command.args.data()) : nullptr;
        pos_ += needed;
        commands_.push_back(std::move(command));
        if (problem) reportBadArgument(commands_.back(), fixed.mnemonic, problem);
    }

    void decodeRasterImage()
    {
        if (remaining() < kRasterHeaderLength) return reportCutShort("GS v 0", kRasterHeaderLength);
        const std::size_t start = pos_;
        Command image = make(Op::RasterImage, start, kRasterHeaderLength);
        image.args.assign(bytes_ + start + kRasterImagePrefix.size(), bytes_ + start + kRasterHeaderLength);
        const std::uint64_t announced = std::uint64_t(rasterBytesPerRow(image)) * rasterRows(image);
        const std::size_t arrived = std::min<std::uint64_t>(announced, remaining() - kRasterHeaderLength);
        if (arrived < announced && holdUnfinished_) return holdBack();
        image.data.assign(bytes_ + start + kRasterHeaderLength, bytes_ + start + kRasterHeaderLength + arrived);
        image.length += arrived;
        pos_ += image.length;
        const unsigned mode = rasterMode(image);
        commands_.push_back(std::move(image));
        if (mode > 3 && (mode < 48 || mode > 51)) {
            reportBadArgument(commands_.back(), "GS v 0", "not a scale mode (0-3, 48-51)");
        }
        if (arrived < announced) {
            reportAt(start, 0, "GS v 0 announces " + std::to_string(announced) + " bytes of image data, " +
                                std::to_string(arrived) + " arrive");
        }
    }

    // FS q n and n logos, each a 4-byte header announcing its data. The
    // printer takes the bytes the headers announce, whatever they say; what
    // is wrong with them is reported after the command.
    void decodeDefineLogos()
    {
        const std::size_t headerLength = kDefineLogosPrefix.size() + 1;
        if (remaining() < headerLength) return reportCutShort("FS q", headerLength);
        std::size_t needed = headerLength;
        for (unsigned logo = 0; logo < bytes_[pos_ + 2]; ++logo) {
            if (remaining() < needed + kLogoHeaderLength) return reportCutShort("FS q", needed + kLogoHeaderLength);
            needed += kLogoHeaderLength + logoDataLength(bytes_ + pos_ + needed);
            if (remaining() < needed) return reportCutShort("FS q", needed);
        }
        Command define = make(Op::DefineLogos, pos_, needed);
        define.args.push_back(bytes_[pos_ + 2]);
        define.data.assign(bytes_ + pos_ + headerLength, bytes_ + pos_ + needed);
        pos_ += needed;
        commands_.push_back(std::move(define));
        const std::string problem = logoDefinitionProblem(commands_.back());
        if (!problem.empty()) reportBadArgument(commands_.back(), "FS q", problem.c_str());
    }

    void decodeCut()
    {
        const std::size_t prefixLength = kCutPrefix.size();
        if (remaining() <= prefixLength) return reportCutShort("GS V", prefixLength + 1);
        const std::uint8_t m = bytes_[pos_ + prefixLength];
        const CutFunction* function = findCutFunction(m);
        if (!function) {
            reportAt(pos_, prefixLength + 1, "GS V " + std::to_string(m) + ": unknown cut function");
            pos_ += prefixLength + 1;
            return;
        }
        const std::size_t needed = prefixLength + 1 + (function->takesN ? 1 : 0);
        if (remaining() < needed) return reportCutShort("GS V", needed);
        Command cut = make(Op::Cut, pos_, needed);
        cut.args.assign(bytes_ + pos_ + prefixLength, bytes_ + pos_ + needed);
        pos_ += needed;
        commands_.push_back(std::move(cut));
    }

    // ESC, GS, FS or DLE followed by a byte that makes no known command. The
    // second byte is taken along unless it starts a command of its own.
    void reportUnknownCommand()
    {
        const std::size_t length = (remaining() >= 2 && !isIntroducer(bytes_[pos_ + 1])) ? 2 : 1;
        reportAt(pos_, length, "unknown command " + hexBytes(bytes_ + pos_, length));
        pos_ += length;
    }

    // A run of bytes that start neither text nor a command, reported once.
    void reportUnknownBytes()
    {
        constexpr std::size_t kShown = 8;
        const std::size_t start = pos_;
        while (pos_ < size_ && !startsSomething(bytes_[pos_])) ++pos_;
        const std::size_t count = pos_ - start;
        std::string message = count == 1 ? "unknown byte " : std::to_string(count) + " unknown bytes ";
        message += hexBytes(bytes_ + start, std::min(count, kShown));
        if (count > kShown) message += " ...";
        reportAt(start, count, message);
    }

    // The job ends before the command does; the rest of the job is consumed.
    void reportCutShort(const std::string& mnemonic, std::size_t needed)
    {
        if (holdUnfinished_) return holdBack();
        reportAt(pos_, remaining(), mnemonic + " cut short: needs " + std::to_string(needed) + " bytes, " +
                           std::to_string(remaining()) + " arrive");
        pos_ = size_;
    }

    void reportIncomplete()
    {
        if (holdUnfinished_) return holdBack();
        reportAt(pos_, remaining(), hexBytes(bytes_ + pos_, remaining()) + ": command cut short by the end of the job");
        pos_ = size_;
    }

    void reportBadArgument(const Command& command, const char* mnemonic, const char* problem)
    {
        reportAt(command.offset, 0, std::string(mnemonic) + " " + hexBytes(command.args.data(), command.args.size()) +
                                     ": " + problem);
    }

    // The rest of the bytes are an unfinished command, left for the caller.
    void holdBack()
    {
        heldFrom_ = pos_;
        pos_ = size_;
    }

    // length: the bytes that the error swallows; 0 when they belong to the
    // command just decoded.
    void reportAt(std::size_t offset, std::size_t length, std::string message)
    {
        Command error = make(Op::Error, offset, length);
        error.message = std::move(message);
        commands_.push_back(std::move(error));
    }

    static Command make(Op op, std::size_t offset, std::size_t length)
    {
        Command command;
        command.op = op;
        command.offset = offset;
        command.length = length;
        return command;
    }

    const std::uint8_t* bytes_;
    std::size_t size_;
    std::size_t pos_ = 0;
    std::size_t heldFrom_;
    bool holdUnfinished_;
    std::vector<Command> commands_;
};

}  // namespace

std::vector<Command> decode(const std::uint8_t* bytes, std::size_t size)
{
    return Decoder(bytes, size, false).run();
}

DecodedPart decodeFinished(const std::uint8_t* bytes, std::size_t size)
{
    Decoder decoder(bytes, size, true);
    DecodedPart part;
    part.commands = decoder.run();
    part.unfinishedFrom = decoder.heldFrom();
    return part;
}

}  // namespace escpos
