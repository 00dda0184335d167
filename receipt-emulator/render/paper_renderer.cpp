#include "render/paper_renderer.h"

#include "decoder/command_table.h"
#include "render/font.h"

#include <algorithm>
#include <string>

namespace render {
namespace {

using escpos::Command;
using escpos::Op;

enum class Justification { Left, Centre, Right };

Justification justificationFor(unsigned n)
{
    switch (n % 48) {
    case 1: return Justification::Centre;
    case 2: return Justification::Right;
    default: return Justification::Left;
    }
}

std::string justificationName(Justification justification)
{
    switch (justification) {
    case Justification::Centre: return "centre";
    case Justification::Right: return "right";
    default: return "left";
    }
}

// Scale factors of the bit-image modes 0..3 (and 48..51).
int widthScale(unsigned mode) { return (mode % 48 == 1 || mode % 48 == 3) ? 2 : 1; }
int heightScale(unsigned mode) { return (mode % 48 == 2 || mode % 48 == 3) ? 2 : 1; }

std::vector<std::uint8_t> rowTemplate(int paperWidth)
{
    std::vector<std::uint8_t> row(std::size_t(paperWidth + kMarginWidth), kMarginGrey);
    std::fill_n(row.begin(), paperWidth, kWhite);
    return row;
}

class PaperRenderer {
public:
    explicit PaperRenderer(const PaperOptions& options)
        : paperWidth_(options.paperWidth), wholeDotFeeds_(options.wholeDotFeeds),
          canvas_(rowTemplate(options.paperWidth), options.maxRows)
    {
        if (options.logos) logos_ = *options.logos;
    }

    Canvas finish()
    {
        printPendingText(dots(0));
        if (y() >= canvas_.maxRows()) canvas_.markClipped();
        canvas_.growTo(std::max({y(), noteY_, 1}));
        if (canvas_.clipped()) markCutOff();
        return std::move(canvas_);
    }

    void apply(const Command& command)
    {
        if (command.op == Op::Error) return note("error at " + std::to_string(command.offset) + " (see listing)", kCutRed);
        if (command.op == Op::SelectPeripheral) return select(command.args[0] & 1);
        if (!selected_) return;
        switch (command.op) {
        case Op::Text: return addText(command.data);
        case Op::LineFeed: return printPendingText(dots(kLineSpacingDots));
        case Op::Initialise: return initialise();
        case Op::MotionUnits: return setVerticalMotionUnit(command.args[1]);
        case Op::RasterImage: return drawRasterImage(command);
        case Op::FeedUnits:
            return printPendingText(wholeDotFeeds_ ? wholeDotMotionUnits(command.args[0], unitY_)
                                                   : motionUnits(command.args[0], unitY_));
        case Op::FeedLines: return printPendingText(dots(command.args[0] * kLineSpacingDots));
        case Op::Justify: justification_ = justificationFor(command.args[0]); return;
        case Op::StoredLogo: return drawStoredLogo(command.args[0], command.args[1]);
        case Op::DefineLogos: return defineLogos(command);
        case Op::Cut: return drawCut(command);
        case Op::DrawerPulse: return noteDrawerPulse(command.args[0], command.args[1], command.args[2]);
        default: return;  // no mark on the paper
        }
    }

private:
    void select(bool selected)
    {
        if (selected_ && !selected) note("printer deselected: data ignored until ESC = 1", kCutRed);
        selected_ = selected;
    }

    void initialise()
    {
        pendingText_.clear();
        unitY_ = kDefaultMotionUnit;
        justification_ = Justification::Left;
    }

    // Only the vertical unit matters here: no command that moves the head
    // sideways is decoded.
    void setVerticalMotionUnit(int unit) { unitY_ = unit == 0 ? kDefaultMotionUnit : unit; }

    // The row the print head is on, in dots from the top.
    int y() const { return paper_.row(); }

    void advance(Distance distance)
    {
        paper_.advance(distance);
        paper_.stopAt(canvas_.maxRows());
    }

    int leftFor(int width) const
    {
        switch (justification_) {
        case Justification::Centre: return (paperWidth_ - width) / 2;
        case Justification::Right: return paperWidth_ - width;
        default: return 0;
        }
    }

    void addText(const std::vector<std::uint8_t>& characters)
    {
        const std::size_t perLine = std::size_t(paperWidth_ / kTextCellWidth);
        for (std::uint8_t c : characters) {
            if (pendingText_.size() == perLine) printPendingText(dots(kLineSpacingDots));
            pendingText_ += char(c);
        }
    }

    // Prints the text waiting in the line buffer, then feeds; a printed line
    // moves the paper at least by its own height.
    void printPendingText(Distance feed)
    {
        if (!pendingText_.empty()) {
            const int width = int(pendingText_.size()) * kTextCellWidth;
            drawText(canvas_, leftFor(width), y() + kTextCellHeight - (kGlyphHeight + 2) * kTextScale, pendingText_,
                     kBlack, kTextScale);
            if (feed.numerator < kTextCellHeight * feed.denominator) feed = dots(kTextCellHeight);
            pendingText_.clear();
        }
        advance(feed);
    }

    void drawRasterImage(const Command& image)
    {
        printPendingText(dots(0));
        const int bytesPerRow = int(escpos::rasterBytesPerRow(image));
        if (bytesPerRow == 0 || image.data.empty()) return;
        const int sx = widthScale(escpos::rasterMode(image));
        const int sy = heightScale(escpos::rasterMode(image));
        const int width = std::min(bytesPerRow * 8 * sx, paperWidth_);
        if (bytesPerRow * 8 * sx > paperWidth_) note("image wider than the paper: clipped", kCutRed);
        const int left = leftFor(width);
        const int rowsArrived = int((image.data.size() + bytesPerRow - 1) / bytesPerRow);
        for (int row = 0; row < rowsArrived && y() + row * sy < canvas_.maxRows(); ++row) {
            drawImageRow(image.data, std::size_t(row) * bytesPerRow, left, width / sx, y() + row * sy, sx, sy);
        }
        advance(dots(rowsArrived * sy));
    }

    void drawImageRow(const std::vector<std::uint8_t>& data, std::size_t rowStart, int left, int dots, int y, int sx,
                      int sy)
    {
        for (int dot = 0; dot < dots; ++dot) {
            const std::size_t index = rowStart + std::size_t(dot / 8);
            if (index >= data.size()) return;
            if (data[index] & (0x80u >> (dot % 8))) canvas_.fillRect(left + dot * sx, y, sx, sy, kBlack);
        }
    }

    void defineLogos(const Command& define)
    {
        if (logos_.apply(define)) note(std::to_string(logos_.size()) + " logos stored, replacing all", kNoteGreen);
    }

    void drawStoredLogo(unsigned number, unsigned mode)
    {
        printPendingText(dots(0));
        if (const logos::Logo* logo = logos_.find(number)) return drawLogo(*logo, widthScale(mode), heightScale(mode));
        const int width = std::min(kLogoBoxWidth * widthScale(mode), paperWidth_);
        const int height = kLogoBoxHeight * heightScale(mode);
        const int left = leftFor(width);
        drawFrame(left, y(), width, height, kLogoBoxBorder, kLogoBlue);
        const std::string lines[] = {"stored logo " + std::to_string(number), "mode " + std::to_string(mode),
                                     justificationName(justification_)};
        int textY = y() + 2 * kLogoBoxBorder + 4;
        for (const std::string& line : lines) {
            drawText(canvas_, left + 2 * kLogoBoxBorder + 4, textY, line, kLogoBlue, 2);
            textY += 2 * kCellHeight + 4;
        }
        advance(dots(height));
    }

    // The logo's dots at the justification, each sx by sy dots of paper.
    void drawLogo(const logos::Logo& logo, int sx, int sy)
    {
        const int width = logo.width * sx;
        if (width > paperWidth_) note("logo wider than the paper: clipped", kCutRed);
        const int left = leftFor(std::min(width, paperWidth_));
        for (int x = 0; x < logo.width && x * sx < paperWidth_; ++x) {
            for (int y = 0; y < logo.height && this->y() + y * sy < canvas_.maxRows(); ++y) {
                if (logo.dot(x, y)) canvas_.fillRect(left + x * sx, this->y() + y * sy, sx, sy, kBlack);
            }
        }
        advance(dots(logo.height * sy));
    }

    void drawFrame(int x, int y, int w, int h, int border, Colour colour)
    {
        canvas_.fillRect(x, y, w, border, colour);
        canvas_.fillRect(x, y + h - border, w, border, colour);
        canvas_.fillRect(x, y, border, h, colour);
        canvas_.fillRect(x + w - border, y, border, h, colour);
    }

    void drawCut(const Command& cut)
    {
        printPendingText(dots(0));
        const escpos::CutFunction* function = escpos::findCutFunction(cut.args[0]);
        if (function->takesN) advance(motionUnits(cut.args[1], unitY_));
        for (int x = 0; x < paperWidth_; x += kDashLength + kDashGap) {
            canvas_.fillRect(x, y(), std::min(kDashLength, paperWidth_ - x), 1, kCutRed);
        }
        note(std::string(function->fullCut ? "full cut " : "partial cut ") + function->feed, kCutRed);
    }

    void noteDrawerPulse(unsigned m, unsigned on, unsigned off)
    {
        const bool second = m % 48 == 1;
        note(std::string("drawer ") + (second ? "2 (pin 5)" : "1 (pin 2)") + " on " + std::to_string(on * 2) + "ms off " +
                 std::to_string(off * 2) + "ms",
             kNoteGreen);
    }

    // Writes text in the margin beside the current paper position, below any
    // earlier note, wrapping it to the margin's width.
    void note(const std::string& text, Colour colour)
    {
        const std::size_t perLine = std::size_t((kMarginWidth - 2 * kNoteInset) / kCellWidth);
        int top = std::max(y(), noteY_);
        for (std::size_t start = 0; start < text.size(); start += perLine) {
            drawText(canvas_, paperWidth_ + kNoteInset, top + 1, text.substr(start, perLine), colour, 1);
            top += kCellHeight + 1;
        }
        noteY_ = top + 2;
    }

    void markCutOff()
    {
        const int top = canvas_.height() - kCellHeight - 2;
        canvas_.fillRect(0, top - 2, paperWidth_ + kMarginWidth, kCellHeight + 4, kCutRed);
        drawText(canvas_, kNoteInset, top, "paper cut off at " + std::to_string(canvas_.maxRows()) + " dots", kWhite, 1);
    }

    static constexpr int kDashLength = 8;
    static constexpr int kDashGap = 4;
    static constexpr int kNoteInset = 4;
    static constexpr int kLogoBoxBorder = 2;

    int paperWidth_;
    bool wholeDotFeeds_;
    Canvas canvas_;
    PaperPosition paper_;  // of the print head, from the top
    int noteY_ = 0;  // first free margin row for the next note
    int unitY_ = kDefaultMotionUnit;
    Justification justification_ = Justification::Left;
    bool selected_ = true;
    std::string pendingText_;
    logos::LogoStore logos_;
};

}  // namespace

Distance motionUnits(int n, int unitsPerInch)
{
    return {std::int64_t(n) * kDotsPerInch, unitsPerInch};
}

Distance wholeDotMotionUnits(int n, int unitsPerInch)
{
    return dots(int(std::int64_t(n) * kDotsPerInch / unitsPerInch));
}

Canvas renderPaper(const std::vector<Command>& commands, const PaperOptions& options)
{
    PaperRenderer renderer(options);
    for (const Command& command : commands) renderer.apply(command);
    return renderer.finish();
}

}  // namespace render
