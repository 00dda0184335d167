// Logos stored in the printer, printed above and below each page.
#include "RasterToKORLA.h"
#include "const.h"

struct RasterToKORLA::LogoKeywords {
    const char* justification;
    const char* quality;
    const char* lineFeedAfter;
    const char* lineFeedBefore;
    const char* image;
};

void RasterToKORLA::ProcessTopLogoOptions()
{
    ProcessLogo({PPD_TOP_LOGO_JUSTIFICATION, PPD_TOP_LOGO_QUALITY, PPD_TOP_LOGO_AFTER_LINEFEED,
                 PPD_TOP_LOGO_BEFORE_LINEFEED, PPD_TOP_LOGO_IMAGE});
}

void RasterToKORLA::ProcessBottomLogoOptions()
{
    ProcessLogo({PPD_BTM_LOGO_JUSTIFICATION, PPD_BTM_LOGO_QUALITY, PPD_BTM_LOGO_AFTER_LINEFEED,
                 PPD_BTM_LOGO_BEFORE_LINEFEED, PPD_BTM_LOGO_IMAGE});
}

// The logo block: feed, justify, print stored image, justify left, feed.
// Every command goes out whatever its value; each value is sent as its low
// byte, so a missing option (-1) becomes 0xFF.
void RasterToKORLA::ProcessLogo(const LogoKeywords& keywords)
{
    PpdHandle ppd = OpenQueuePpd();
    if (!ppd)
        return;

    const int nImagePosition = GetOptionChoiceIndex(keywords.justification, ppd.get());
    const int nQuality = GetOptionChoiceIndex(keywords.quality, ppd.get());
    const int nLineSpaceAfter = GetOptionChoiceIndex(keywords.lineFeedAfter, ppd.get());
    const int nLineSpaceBefore = GetOptionChoiceIndex(keywords.lineFeedBefore, ppd.get());
    const int nNVBitImage = GetOptionChoiceIndex(keywords.image, ppd.get());

    const char feedBefore[3] = {0x1b, 0x64, static_cast<char>(nLineSpaceBefore)};
    const char alignment[3] = {0x1b, 0x61, static_cast<char>(nImagePosition)};
    const char logo[4] = {0x1c, 0x70, static_cast<char>(nNVBitImage), static_cast<char>(nQuality)};
    const char alignLeft[3] = {0x1b, 0x61, 0x00};
    const char feedAfter[3] = {0x1b, 0x64, static_cast<char>(nLineSpaceAfter)};

    Send({feedBefore, 3});
    Send({alignment, 3});
    Send({logo, 4});
    Send({alignLeft, 3});
    Send({feedAfter, 3});
}
