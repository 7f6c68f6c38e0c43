// The main window's file selection: single file, file specification and
// date restriction, and the labels that show them.
#include "app/frmMain.h"

#include "support/FormUi.h"

void frmMain::ShowFileSelection() {
    SetCaption(lblDirectory, strDirPath.isEmpty() ? strNotSpecified : strDirPath);
    SetCaption(lblFiles, strFilespec.isEmpty() ? strNotSpecified : strFilespec);
    if (strFilespec.isEmpty()) SetCaption(lblFiles2[0], QString());
    SetCaption(lblSingleFile, lblFiles->text() == strNotSpecified
                                  ? QStringLiteral("To purge multiple files, specify folder and files.")
                                  : QString());
    cmdClear->setVisible(lblDirectory->text() != strNotSpecified || lblFiles->text() != strNotSpecified);
}

void frmMain::cmdSingleFile_MouseUp() {}
void frmMain::cmdSpecifyFiles_MouseUp() {}
void frmMain::CheckFolderContents(const QString&, bool& blnSuccess) { blnSuccess = false; }
