// The main window's date restriction: the "Only files before ..." command and
// the label that shows the restriction.
#include "app/frmMain.h"

#include "support/FormUi.h"

void frmMain::ShowDateRestriction() {
    if (!blnDateRestriction) SetCaption(lblDateRestriction, QStringLiteral("No date restriction"));
    lblDateRestriction->repaint();
}

void frmMain::cmdOnlyBefore_MouseUp() {}
