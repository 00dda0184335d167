// The keywords of the queue PPD's receipt options, and the filter's fixed
// descriptors and paths.
#ifndef KORLA_FILTER_CONST_H
#define KORLA_FILTER_CONST_H

// Text options, read as the default choice keyword.
#define PPD_CUT_OPTION "PaperSource"
#define PPD_CUSTOM_START_DOC "StartDoc"
#define PPD_CUSTOM_END_DOC "EndDoc"

// Number options, read as the decimal number of the choice keyword.
#define PPD_CASH_DRAWER_OPTION "CashDrawer"
#define PPD_CD1_TIME "CashDrawer1PulseWidth"
#define PPD_CD2_TIME "CashDrawer2PulseWidth"
#define PPD_CD1_OPEN "CashDrawerOpen1"
#define PPD_CD2_OPEN "CashDrawerOpen2"
#define PPD_TOP_LOGO_JUSTIFICATION "TopLogoJustification"
#define PPD_TOP_LOGO_IMAGE "TopLogoImage"
#define PPD_TOP_LOGO_AFTER_LINEFEED "TopLineFeedAfter"
#define PPD_TOP_LOGO_BEFORE_LINEFEED "TopLineFeedb4"
#define PPD_TOP_LOGO_QUALITY "TopLogoQuality"
#define PPD_BTM_LOGO_JUSTIFICATION "BtmLogoJustification"
#define PPD_BTM_LOGO_IMAGE "BtmLogoImage"
#define PPD_BTM_LOGO_AFTER_LINEFEED "BtmLineFeedAfter"
#define PPD_BTM_LOGO_BEFORE_LINEFEED "BtmLineFeedb4"
#define PPD_BTM_LOGO_QUALITY "BtmLogoQuality"
#define PPD_LOGO_POSITION "LogoPosition"
#define PPD_FIRE_CASH_DRAWER "FireCashDrawer"
#define PPD_PAPER_CUT_OPTION "ExecutePaperCut"
#define PPD_FASTER_PRINTING "FasterPrinting"
#define PPD_TRIM_TOP_BLANK_ROWS "TrimTopBlankRows"

#define PRINTER_PIPE 1 // printer bytes go to standard output
#define FILTER_LOG_FILE "/tmp/Orvil_Filter.log"

#endif
