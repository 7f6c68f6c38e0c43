#include "app/frmMain.h"
#include "platform/Platform.h"
#include "support/DialogsUi.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quorlane Works"));
    QApplication::setApplicationName(QStringLiteral("Veldrane"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("veldrane")));
    platform::current();

    frmMain w;
    InstallRealSeams(&w);
    if (!w.Startup()) return 1;
    return QApplication::exec();
}
