#pragma once
// Small helpers for windows laid out in twips, as the program's windows are.

#include <QColor>
#include <QIcon>
#include <QString>

class QLabel;
class QWidget;

// Twips to logical pixels: 15 twips to a pixel at 96 dots per inch. Qt scales
// logical pixels with the screen's device-pixel ratio.
int tw(int twips);
int toTwips(int pixels);

// Places a widget; sizes in twips.
void PlaceTw(QWidget* widget, int left, int top, int width, int height);
void MoveTw(QWidget* widget, int left, int top);
int LeftTw(const QWidget* widget);
int TopTw(const QWidget* widget);
int WidthTw(const QWidget* widget);
int HeightTw(const QWidget* widget);

// Sets a label's caption and fits the label to it (an empty caption leaves
// no visible box, also on a coloured label).
void SetCaption(QLabel* label, const QString& caption);

void SetColours(QWidget* widget, const QColor& back, const QColor& fore);
// The system's colours for a control on a coloured surface (a scroll bar
// would draw its arrows in the surface's text colour).
void KeepSystemColours(QWidget* widget);

// The program's icon: the installed theme's, else the one built into the
// program (a start from the build folder has no installed theme icon).
QIcon ProgramIcon();

// The common look of the program's dark dialogs.
QColor TypeOfPurgeBackColor();
