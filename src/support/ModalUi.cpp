#include "support/ModalUi.h"

#include <QDialog>

namespace {
ModalHandler& handler() {
    static ModalHandler h;
    return h;
}
} // namespace

void ShowModal(QDialog* dialog) {
    if (!dialog) return;
    if (handler()) {
        dialog->setModal(true);
        dialog->show();
        handler()(dialog);
        // A script that forgot to close the dialog must not leave it hanging.
        if (dialog->isVisible()) dialog->hide();
        return;
    }
    dialog->exec();
}

ModalHandler SetModalHandler(ModalHandler h) {
    ModalHandler previous = std::move(handler());
    handler() = std::move(h);
    return previous;
}
