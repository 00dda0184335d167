// Logos stored in the printer, printed above and below each page.
#include "receipt_engine.h"
#include "trace.h"

void ReceiptEngine::ProcessTopLogoOptions()
{
    if (settings_)
        ProcessLogo(settings_->topLogo);
}

void ReceiptEngine::ProcessBottomLogoOptions()
{
    if (settings_)
        ProcessLogo(settings_->bottomLogo);
}

// The logo block: feed, justify, print stored image, justify left, feed.
// Every command goes out whatever its value; each value is sent as its low
// byte, so a missing setting (-1) becomes 0xFF.
void ReceiptEngine::ProcessLogo(const LogoSettings& logo)
{
    const char feedBefore[3] = {0x1b, 0x64, static_cast<char>(logo.lineFeedBefore)};
    const char alignment[3] = {0x1b, 0x61, static_cast<char>(logo.justification)};
    const char image[4] = {0x1c, 0x70, static_cast<char>(logo.image), static_cast<char>(logo.quality)};
    const char alignLeft[3] = {0x1b, 0x61, 0x00};
    const char feedAfter[3] = {0x1b, 0x64, static_cast<char>(logo.lineFeedAfter)};

    Send({feedBefore, 3});
    Send({alignment, 3});
    Send({image, 4});
    Send({alignLeft, 3});
    Send({feedAfter, 3});
}
