// The values that receipt settings carry.
#ifndef KORLA_CONST_H
#define KORLA_CONST_H

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
