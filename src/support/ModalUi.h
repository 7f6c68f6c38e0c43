#pragma once
// Every modal window is shown through here, so tests can answer a dialog by
// setting its controls and pressing its buttons, and so every dialog, message
// box and chooser is owned by the window that opened it.

#include <functional>

class QDialog;
class QWidget;

// Shows the dialog modally, owned by (transient for) owner's window, or by
// DialogOwner() when owner is null; returns once it has hidden itself. A
// dialog the caller has not placed is centred on its owner.
void ShowModal(QDialog* dialog, QWidget* owner = nullptr);

// The window a new dialog or box belongs to: the modal dialog in front, else
// the active window, else the main window. Never `except` itself.
QWidget* DialogOwner(const QWidget* except = nullptr);

// The program's main window, the owner when no other window is in front.
void SetMainWindow(QWidget* window);

// A test's stand-in for the user: called with the shown dialog, it must make
// the dialog hide itself (a press of Accept or Cancel, say).
using ModalHandler = std::function<void(QDialog* dialog)>;
ModalHandler SetModalHandler(ModalHandler handler);
