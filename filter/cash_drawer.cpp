// Cash drawers: which drawers open, before or after printing, per job or per
// copy, with the pulse times of the PPD.
#include "RasterToKORLA.h"
#include "const.h"

namespace {

constexpr int DRAWER1_PIN = 0x30;
constexpr int DRAWER2_PIN = 0x31;

}  // namespace

// ESC p m t t: one pulse to drawer m, both times from the drawer's option.
void RasterToKORLA::ProcessCashDrawerOptions(const char* pulse, int nDrawer)
{
    PpdHandle ppd = OpenQueuePpd();
    if (!ppd)
        return;
    KORLALog("[ProcessCashDrawerOptions<=======]Sending Cashdrawer command for %d\n", nDrawer);
    const int nCDTime = GetOptionChoiceIndex(pulse, ppd.get());
    KORLALog("Timeing for cash drawer is %d\n", nCDTime);

    const char tmpCmd[5] = {0x1b, 0x70, static_cast<char>(nDrawer), static_cast<char>(nCDTime),
                            static_cast<char>(nCDTime)};
    Send({tmpCmd, 5});
}

void RasterToKORLA::ProcessCashDrawerAtStartDoc(ppd_file_t* ppd)
{
    if (ppd == nullptr)
        return;
    KORLALog("Inside ProcessCashDrawerAtStartDoc\n");
    if (IsCopyMode(ppd, DrawerPoint::BeforePrint))
        KORLALog("Don't Fire cash drawer at start doc\n");
    else
        PulseDueDrawers(ppd, DrawerPoint::BeforePrint);
    KORLALog("Exit ProcessCashDrawerAtStartDoc\n");
}

void RasterToKORLA::ProcessCashDrawerAtEndDoc(ppd_file_t* ppd)
{
    if (ppd != nullptr && !IsCopyMode(ppd, DrawerPoint::AfterPrint))
        PulseDueDrawers(ppd, DrawerPoint::AfterPrint);
}

// The page output loop calls the per-copy pair only in copy mode, so the mode
// is traced here but not applied.
void RasterToKORLA::ProcessFireCashDrawerAtStartDoc(ppd_file_t* ppd)
{
    if (ppd == nullptr)
        return;
    IsCopyMode(ppd, DrawerPoint::BeforePrint);
    PulseDueDrawers(ppd, DrawerPoint::BeforePrint);
}

void RasterToKORLA::ProcessFireCashDrawerAtEndDoc(ppd_file_t* ppd)
{
    if (ppd == nullptr)
        return;
    IsCopyMode(ppd, DrawerPoint::AfterPrint);
    PulseDueDrawers(ppd, DrawerPoint::AfterPrint);
}

// "FireCashDrawer" other than 0 (a missing option included): drawers open
// around every copy instead of around the job.
bool RasterToKORLA::IsCopyMode(ppd_file_t* ppd, DrawerPoint point)
{
    const bool bFireCashDrawer = GetOptionChoiceIndex(PPD_FIRE_CASH_DRAWER, ppd) != 0;
    KORLALog(point == DrawerPoint::BeforePrint ? "At StartDoc bFireCashDrawer is %d\n"
                                               : "At EndDoc bFireCashDrawer is %d\n",
             bFireCashDrawer);
    return bFireCashDrawer;
}

// Pulses each drawer in use whose "CashDrawerOpen" value is due at this
// point: before printing for 0 and 2, after printing for 1 and 2.
void RasterToKORLA::PulseDueDrawers(ppd_file_t* ppd, DrawerPoint point)
{
    const int nCashDrawerUsage = GetOptionChoiceIndex(PPD_CASH_DRAWER_OPTION, ppd);
    const int nCashDrawer1Operation = GetOptionChoiceIndex(PPD_CD1_OPEN, ppd);
    const int nCashDrawer2Operation = GetOptionChoiceIndex(PPD_CD2_OPEN, ppd);

    const int nOnlyThisPoint = point == DrawerPoint::BeforePrint ? OCD_BEFORE_PRINT : OCD_AFTER_PRINT;
    auto isDue = [nOnlyThisPoint](int operation) {
        return operation == nOnlyThisPoint || operation == OCD_BOTH_PRINT;
    };

    switch (nCashDrawerUsage) {
    case CD_OPEN_CASHDRAWER1:
        KORLALog("ENDOC::Igniting cash drawer 1\n");
        if (isDue(nCashDrawer1Operation))
            ProcessCashDrawerOptions(PPD_CD1_TIME, DRAWER1_PIN);
        break;
    case CD_OPEN_CASHDRAWER2:
        KORLALog("ENDOC::Igniting cash drawer 2\n");
        if (isDue(nCashDrawer2Operation))
            ProcessCashDrawerOptions(PPD_CD2_TIME, DRAWER2_PIN);
        break;
    case CD_OPEN_CASHDRAWER_BOTH:
        KORLALog("ENDOC::Igniting Both\n");
        if (isDue(nCashDrawer1Operation))
            ProcessCashDrawerOptions(PPD_CD1_TIME, DRAWER1_PIN);
        if (isDue(nCashDrawer2Operation))
            ProcessCashDrawerOptions(PPD_CD2_TIME, DRAWER2_PIN);
        break;
    default:
        break;
    }
}
