#include "app/frmMain.h"
#include "platform/Platform.h"
#include "support/DialogsUi.h"
#include "support/FormUi.h"

#include <QApplication>
#include <cstdio>

namespace {

// Without a display Qt ends the program with a trace of its own; one line
// says what is missing instead. A platform chosen by hand is taken as given.
bool HasDisplay() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

} // namespace

int main(int argc, char** argv) {
    if (!HasDisplay()) {
        std::fprintf(stderr, "veldrane: needs a graphical desktop: run it from one (or set DISPLAY to a running X server).\n");
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quorlane Works"));
    QApplication::setApplicationName(QStringLiteral("Veldrane"));
    QApplication::setWindowIcon(ProgramIcon());
    platform::current();

    frmMain w;
    InstallRealSeams(&w);
    if (!w.Startup()) return 1;
    return QApplication::exec();
}
