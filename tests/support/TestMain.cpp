// The main of every test program: a headless application, Qt's standard
// paths in test mode, and message boxes that fail the test unless scripted.
#include "support/Seams.h"

#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quorlane Works"));
    QApplication::setApplicationName(QStringLiteral("Veldrane-tests"));
    ::testing::InitGoogleTest(&argc, argv);
    SetMsgBoxHandler([](const QString& prompt, int, const QString& title) {
        ADD_FAILURE() << "Unexpected message box \"" << title.toStdString() << "\": " << prompt.toStdString();
        return int(vbCancel);
    });
    return RUN_ALL_TESTS();
}
