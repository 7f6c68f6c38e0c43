#pragma once
// The rules every window of the program follows, as desktop users expect:
// Enter presses the focused button, Tab follows the reading order (top to
// bottom, left to right) and drop-down lists keep a sensible height.

#include <QList>

class QWidget;

// Called by every form on construction (and by ShowModal for each frm* dialog):
// puts the application-wide rules in place and makes Tab in this window
// follow the reading order. Windows named frm* get it on their first showing
// as well.
void PrepareForm(QWidget* form);

// The program's own windows carry their designer names, frm*; the library's
// choosers and boxes keep their own order.
bool IsProgramForm(const QWidget* window);

// Enter on a focused button and the rest, for the whole application (done by
// PrepareForm; once is enough).
void InstallWindowRules();

// The widgets that take focus with Tab in window, in reading order; what Tab
// visits (hidden and disabled ones are skipped when moving).
QList<QWidget*> ReadingOrder(QWidget* window);

// The most rows a drop-down list shows at once.
constexpr int kMaxDropDownRows = 16;
