// The main window's date restriction: the "Only files before ..." command,
// the label that shows the restriction, and the file filter it feeds.
#include "app/frmMain.h"

#include "selection/DatePr2.h"
#include "selection/Selection.h"
#include "selection/frmCEDateInput.h"
#include "support/FormUi.h"
#include "support/ModalUi.h"

void frmMain::ShowDateRestriction() {
    if (blnDateRestriction)
        SetCaption(lblDateRestriction, QStringLiteral("Purge only files with dates before ") +
                                           DatePr2::ShortDateText(lngOnlyBeforeThisJDN) + QStringLiteral(" (") +
                                           DatePr2::FormatJDN(lngOnlyBeforeThisJDN, false, 0) +
                                           QStringLiteral(")"));
    else
        SetCaption(lblDateRestriction, QStringLiteral("No date restriction"));
    lblDateRestriction->repaint();
}

void frmMain::cmdOnlyBefore_MouseUp() {
    // The restriction feeds the filter of a running walk: it must not change
    // under it.
    if (blnBusy) return;
    frmCEDateInput& f = frmCEDateInput::instance();
    f.intEarliestAcceptableYear = 1980;
    f.intLatestAcceptableYear = 2999;
    f.lngBackColor = frmCEDateInput::ColorToLong(TypeOfPurgeBackColor());

    f.setWindowTitle(cmdOnlyBefore->text());
    f.setFixedWidth(tw(7800));
    SetColours(f.lblPrompt, frmCEDateInput::LongToColor(f.lngBackColor), Qt::white);
    f.lblPrompt->setText(
        QStringLiteral("Specify date such that ONLY files with dates BEFORE this date will be purged."));
    PlaceTw(f.lblPrompt, LeftTw(f.lblPrompt), TopTw(f.lblPrompt), WidthTw(&f), HeightTw(f.lblPrompt));

    f.lngJDN = lngOnlyBeforeThisJDN;
    f.cmdClear->setText(QStringLiteral("Remove date restriction"));

    EnableCommandFrame(false);
    const QPoint topLeft = frameGeometry().topLeft();
    f.move(topLeft.x() + fraMenu->width() + tw(250), topLeft.y() + cmdOnlyBefore->y() + tw(450));
    ShowModal(&f, this);

    if (f.intReturnValue == 1) {
        lngOnlyBeforeThisJDN = f.lngJDN;
        blnDateRestriction = true;
        SetCaption(lblEstimatedTime, QString());
    } else if (f.intReturnValue == 2) {
        lngOnlyBeforeThisJDN = DatePr2::kNoRestrictionJDN;
        blnDateRestriction = false;
        SetCaption(lblEstimatedTime, QString());
    }
    EnableCommandFrame(true);
    ShowDateRestriction();
}

bool frmMain::SatisfiesFilespecAndDateRestriction(const QString& strFilepath, const QString& strSpec,
                                                  bool blnCaseSensitive) {
    return Selection::SatisfiesFilespecAndDateRestriction(strFilepath, strSpec, blnCaseSensitive);
}
