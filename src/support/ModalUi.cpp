#include "support/ModalUi.h"

#include "support/WindowRulesUi.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>

namespace {
ModalHandler& handler() {
    static ModalHandler h;
    return h;
}

QPointer<QWidget>& mainWindow() {
    static QPointer<QWidget> w;
    return w;
}

bool Usable(const QWidget* w, const QWidget* except) {
    return w && w != except && w->isVisible();
}
} // namespace

QWidget* DialogOwner(const QWidget* except) {
    // While a modal dialog is up nothing else can open a window, so the one
    // in front is the opener.
    if (QWidget* modal = QApplication::activeModalWidget(); Usable(modal, except)) return modal->window();
    if (QWidget* active = QApplication::activeWindow(); Usable(active, except)) return active->window();
    QWidget* main = mainWindow().data();
    return main && main != except ? main->window() : nullptr;
}

void SetMainWindow(QWidget* window) {
    mainWindow() = window;
}

void ShowModal(QDialog* dialog, QWidget* owner) {
    if (!dialog) return;
    InstallWindowRules();
    if (IsProgramForm(dialog)) PrepareForm(dialog);
    QWidget* opener = owner ? owner->window() : DialogOwner(dialog);
    if (opener == dialog) opener = nullptr;
    // Owned by the opener only while shown: the program's dialogs live for the
    // whole run and must not go down with a window that ends before them.
    QPointer<QWidget> before = dialog->parentWidget();
    const bool reparent = opener && before != opener;
    if (reparent) dialog->setParent(opener, dialog->windowFlags());
    dialog->setWindowModality(Qt::ApplicationModal);

    if (handler()) {
        dialog->show();
        handler()(dialog);
        // A script that forgot to close the dialog must not leave it hanging.
        if (dialog->isVisible()) dialog->hide();
    } else {
        dialog->exec();
    }
    if (reparent) dialog->setParent(before.data(), dialog->windowFlags());
}

ModalHandler SetModalHandler(ModalHandler h) {
    ModalHandler previous = std::move(handler());
    handler() = std::move(h);
    return previous;
}
