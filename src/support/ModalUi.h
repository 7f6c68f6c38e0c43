#pragma once
// Every modal window is shown through here, so tests can answer a dialog by
// setting its controls and pressing its buttons.

#include <functional>

class QDialog;

// Shows the dialog modally; returns once it has hidden itself.
void ShowModal(QDialog* dialog);

// A test's stand-in for the user: called with the shown dialog, it must make
// the dialog hide itself (a press of Accept or Cancel, say).
using ModalHandler = std::function<void(QDialog* dialog)>;
ModalHandler SetModalHandler(ModalHandler handler);
