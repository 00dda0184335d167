// PPD option keywords, the values those options carry, and the filter's
// fixed sizes and paths.
#ifndef KORLA_CONST_H
#define KORLA_CONST_H

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

#define MAX_SIZE 1024  // byte buffer of one emulation command
#define PRINTER_PIPE 1 // printer bytes go to standard output
#define FILTER_LOG_FILE "/tmp/Orvil_Filter.log"

// Cut mode, from the "PaperSource" choice.
enum orvil_papersource_e {
    PS_PARTIAL_CUT,
    PS_PARTIAL_CUT_NOFEED,
    PS_NOCUT,
    PS_NOCUT_NOFEED
};

// Drawers in use, "CashDrawer".
enum orvil_cashdrawer_e {
    CD_NO_CASHDRAWER,
    CD_OPEN_CASHDRAWER1,
    CD_OPEN_CASHDRAWER2,
    CD_OPEN_CASHDRAWER_BOTH
};

// When a drawer opens, "CashDrawerOpen1" and "CashDrawerOpen2".
enum orvil_cashdrawre_op_e { OCD_BEFORE_PRINT, OCD_AFTER_PRINT, OCD_BOTH_PRINT };

// Which logos print, "LogoPosition".
enum orvil_logo_options_e { LO_NO_LOGO, LO_TOP_ONLY, LO_BOTTOM_ONLY, LO_BOTH };

// When the paper is cut, "ExecutePaperCut".
enum orvil_cut_paper_options_e { CUT_PAPER_PER_JOB, CUT_PAPER_PER_COPY };

#endif
