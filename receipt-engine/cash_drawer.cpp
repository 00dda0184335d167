// Cash drawers: which drawers open, before or after printing, per job or per
// copy, with the pulse times of the settings.
#include "const.h"
#include "receipt_engine.h"
#include "trace.h"

namespace {

constexpr int DRAWER1_PIN = 0x30;
constexpr int DRAWER2_PIN = 0x31;

}  // namespace

// ESC p m t t: one pulse to drawer m, both times the drawer's pulse width.
void ReceiptEngine::ProcessCashDrawerOptions(int nCDTime, int nDrawer)
{
    if (!settings_)
        return;
    KORLALog("[ProcessCashDrawerOptions<=======]Sending Cashdrawer command for %d\n", nDrawer);
    KORLALog("Timeing for cash drawer is %d\n", nCDTime);
    const char tmpCmd[5] = {0x1b, 0x70, static_cast<char>(nDrawer), static_cast<char>(nCDTime),
                            static_cast<char>(nCDTime)};
    Send({tmpCmd, 5});
}

void ReceiptEngine::OpenDrawer(int drawer)
{
    if (!settings_)
        return;
    if (drawer == 2)
        ProcessCashDrawerOptions(settings_->cashDrawer2PulseWidth, DRAWER2_PIN);
    else
        ProcessCashDrawerOptions(settings_->cashDrawer1PulseWidth, DRAWER1_PIN);
}

void ReceiptEngine::ProcessCashDrawerAtStartDoc()
{
    if (!settings_)
        return;
    KORLALog("Inside ProcessCashDrawerAtStartDoc\n");
    if (IsCopyMode(DrawerPoint::BeforePrint))
        KORLALog("Don't Fire cash drawer at start doc\n");
    else
        PulseDueDrawers(DrawerPoint::BeforePrint);
    KORLALog("Exit ProcessCashDrawerAtStartDoc\n");
}

void ReceiptEngine::ProcessCashDrawerAtEndDoc()
{
    if (settings_ && !IsCopyMode(DrawerPoint::AfterPrint))
        PulseDueDrawers(DrawerPoint::AfterPrint);
}

// The page loop calls the per-copy pair only in copy mode, so the mode is
// traced here but not applied.
void ReceiptEngine::ProcessFireCashDrawerAtStartDoc()
{
    if (!settings_)
        return;
    IsCopyMode(DrawerPoint::BeforePrint);
    PulseDueDrawers(DrawerPoint::BeforePrint);
}

void ReceiptEngine::ProcessFireCashDrawerAtEndDoc()
{
    if (!settings_)
        return;
    IsCopyMode(DrawerPoint::AfterPrint);
    PulseDueDrawers(DrawerPoint::AfterPrint);
}

// "FireCashDrawer" other than 0 (a missing setting included): drawers open
// around every copy instead of around the job.
bool ReceiptEngine::IsCopyMode(DrawerPoint point) const
{
    const bool bFireCashDrawer = settings_->fireCashDrawer != 0;
    KORLALog(point == DrawerPoint::BeforePrint ? "At StartDoc bFireCashDrawer is %d\n"
                                               : "At EndDoc bFireCashDrawer is %d\n",
             bFireCashDrawer);
    return bFireCashDrawer;
}

// Whether drawer 1 or 2 is in use and its "CashDrawerOpen" value is due at
// this point: before printing for 0 and 2, after printing for 1 and 2.
bool ReceiptEngine::DrawerDue(int drawer, DrawerPoint point) const
{
    const ReceiptSettings& s = *settings_;
    const int nOnlyThisPoint = point == DrawerPoint::BeforePrint ? OCD_BEFORE_PRINT : OCD_AFTER_PRINT;
    const int operation = drawer == 1 ? s.cashDrawer1Open : s.cashDrawer2Open;
    const bool inUse = s.cashDrawer == (drawer == 1 ? CD_OPEN_CASHDRAWER1 : CD_OPEN_CASHDRAWER2) ||
                       s.cashDrawer == CD_OPEN_CASHDRAWER_BOTH;
    return inUse && (operation == nOnlyThisPoint || operation == OCD_BOTH_PRINT);
}

void ReceiptEngine::PulseDueDrawers(DrawerPoint point)
{
    if (DrawerDue(1, point))
        ProcessCashDrawerOptions(settings_->cashDrawer1PulseWidth, DRAWER1_PIN);
    if (DrawerDue(2, point))
        ProcessCashDrawerOptions(settings_->cashDrawer2PulseWidth, DRAWER2_PIN);
}
