// The main window's folder commands: the folder of an ordinary operation,
// the folders to purge whole, and the subfolder switch.
#include "app/frmMain.h"

#include "support/FormUi.h"

void frmMain::ShowSubfolderChoice() {
    if (strDirPath.isEmpty() || strFilespec.isEmpty()) {
        SetCaption(lblSubdirectories, QString());
        SetCaption(lblSubdirectories2, QString());
        blnSubdirectories = false;
    }
}

void frmMain::cmdSpecifyDirectory_MouseUp(int) {}
void frmMain::cmdSubdirectories_MouseUp() {}
void frmMain::SelectSubfolders(const QString&, const QString&) {}
