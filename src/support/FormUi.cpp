#include "support/FormUi.h"

#include "platform/Platform.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QWidget>
#include <cmath>

int tw(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }
int toTwips(int pixels) { return pixels * 15; }

void PlaceTw(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(tw(left), tw(top), tw(width), tw(height));
}
void MoveTw(QWidget* w, int left, int top) { w->move(tw(left), tw(top)); }
int LeftTw(const QWidget* w) { return toTwips(w->x()); }
int TopTw(const QWidget* w) { return toTwips(w->y()); }
int WidthTw(const QWidget* w) { return toTwips(w->width()); }
int HeightTw(const QWidget* w) { return toTwips(w->height()); }

void SetCaption(QLabel* label, const QString& caption) {
    // Names carry the characters a Windows path cannot hold in the private
    // use area; the user sees the real ones.
    label->setText(platform::Platform::shownName(caption));
    if (caption.isEmpty()) {
        label->resize(0, label->height());
        return;
    }
    if (label->wordWrap()) return;
    label->adjustSize();
}

void SetColours(QWidget* w, const QColor& back, const QColor& fore) {
    QPalette p = w->palette();
    // Only the surface and its text: entry fields and buttons keep their own
    // colours, so their contents stay readable.
    p.setColor(QPalette::Window, back);
    p.setColor(QPalette::WindowText, fore);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void KeepSystemColours(QWidget* w) {
    const QPalette system = QApplication::palette(w);
    QPalette p;
    // Every role set on the control itself, so none comes from the surface.
    for (int g = 0; g < QPalette::NColorGroups; ++g)
        for (int r = 0; r < QPalette::NColorRoles; ++r) {
            const auto group = QPalette::ColorGroup(g);
            const auto role = QPalette::ColorRole(r);
            p.setBrush(group, role, system.brush(group, role));
        }
    w->setPalette(p);
}

QIcon ProgramIcon() {
    QIcon builtIn;
    for (int size : {16, 32, 48, 64, 128})
        builtIn.addFile(QStringLiteral(":/veldrane/veldrane-%1.png").arg(size), QSize(size, size));
    return QIcon::fromTheme(QStringLiteral("veldrane"), builtIn);
}

QColor TypeOfPurgeBackColor() { return QColor(0, 0, 128); }
