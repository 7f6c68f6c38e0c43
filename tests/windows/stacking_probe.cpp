// Run by stacking.sh under Xvfb with a window manager: opens the type-of-purge
// dialog and its confirmation, brings the main window forward as a click on
// it would, and checks on a screenshot that the dialog and the box still lie
// above it. With "gallery" it saves a screenshot of each window instead.
#include "app/frmMain.h"
#include "purge/frmTypeOfPurge.h"
#include "selection/frmCEDateInput.h"
#include "selection/frmSelectSubfolders.h"
#include "selection/frmSpecifyFiles.h"
#include "support/DialogsUi.h"
#include "support/FormUi.h"
#include "support/ModalUi.h"
#include "support/frmSpecifyDrive2.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <cstdio>

namespace {

void Wait(int ms) {
    QDeadlineTimer t(ms);
    while (!t.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

template <class T> T* WaitForModal(int ms = 5000) {
    QDeadlineTimer t(ms);
    while (!t.hasExpired()) {
        if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget()); w && w->isVisible()) return w;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return nullptr;
}

QImage Screen() {
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage();
}

// The screen shows w itself at its point p (a point of w's own surface).
bool OnTop(const QImage& screen, QWidget* w, QPoint p) {
    const QImage own = w->grab().toImage();
    const QPoint g = w->mapToGlobal(p) * screen.devicePixelRatio();
    const QColor seen = screen.pixelColor(g);
    const QColor want = own.pixelColor(p * own.devicePixelRatio());
    const int d =
        qAbs(seen.red() - want.red()) + qAbs(seen.green() - want.green()) + qAbs(seen.blue() - want.blue());
    std::printf("  %s at (%d,%d): screen %s, own %s\n", qPrintable(w->objectName()), g.x(), g.y(),
                qPrintable(seen.name()), qPrintable(want.name()));
    return d < 30;
}

int Stacking(frmMain& main, const QString& out) {
    int failures = 0;
    QTimer::singleShot(300, &main, [&]() {
        auto* dialog = WaitForModal<frmTypeOfPurge>();
        if (!dialog) {
            std::printf("the type-of-purge dialog did not appear\n");
            failures++;
            QCoreApplication::exit(1);
            return;
        }
        // The box runs its own loop: it is looked at from a timer inside it.
        QTimer::singleShot(300, dialog, [&, dialog]() {
            auto* box = WaitForModal<QMessageBox>();
            if (!box) {
                std::printf("the confirmation did not appear\n");
                failures++;
                return;
            }
            Wait(800);
            // A click on the main window raises it.
            main.raise();
            main.activateWindow();
            Wait(1200);
            const QImage shot = Screen();
            shot.save(out + QStringLiteral("/stacking.png"));
            if (!OnTop(shot, box, QPoint(4, 4))) {
                std::printf("the message box is not in front\n");
                failures++;
            }
            // A point of the dialog's surface beside the box.
            const QRect boxOnDialog(dialog->mapFromGlobal(box->frameGeometry().topLeft()),
                                    box->frameGeometry().size());
            QPoint p(6, dialog->height() - 6);
            if (boxOnDialog.contains(p)) p = QPoint(dialog->width() - 6, 6);
            if (!OnTop(shot, dialog, p)) {
                std::printf("the dialog dropped behind the main window\n");
                failures++;
            }
            const QPoint off = box->frameGeometry().center() - dialog->frameGeometry().center();
            std::printf("  box centre off the dialog's by (%d,%d)\n", off.x(), off.y());
            if (off.manhattanLength() > 40) {
                std::printf("the box is not centred on the dialog\n");
                failures++;
            }
            box->button(QMessageBox::No)->click();
        });
        dialog->cmdAccept->click();
        Wait(200);
        dialog->cmdCancel->click();
    });
    main.cmdTypeOfPurge->click();
    return failures;
}

// Saves a screenshot of every window, for a look as a user would take.
void Gallery(frmMain& main, const QString& out) {
    const auto save = [&](const QString& name) {
        Wait(700);
        Screen().save(out + QLatin1Char('/') + name + QStringLiteral(".png"));
    };
    save(QStringLiteral("main"));
    const auto shoot = [&](const QString& name, std::function<void()> open,
                           std::function<void(QDialog*)> close) {
        QTimer::singleShot(300, &main, [&, name, close]() {
            auto* d = WaitForModal<QDialog>();
            if (!d) return;
            if (auto* s = qobject_cast<frmSelectSubfolders*>(d)) s->WaitUntilRead();
            save(name);
            close(d);
        });
        open();
    };
    const auto reject = [](QDialog* d) { d->reject(); };
    shoot(
        QStringLiteral("type-of-purge"), [&] { main.cmdTypeOfPurge->click(); }, reject);
    shoot(
        QStringLiteral("date"), [&] { main.cmdOnlyBefore->click(); }, reject);
    shoot(
        QStringLiteral("specify-drive"), [&] { ShowModal(&frmSpecifyDrive2::instance()); }, reject);
    shoot(
        QStringLiteral("single-file-chooser"), [&] { main.cmdSingleFile_MouseUp(); }, reject);
    const QString top = qEnvironmentVariable("VELDRANE_GALLERY_TOP");
    if (!top.isEmpty()) {
        main.strDirPath = top;
        shoot(
            QStringLiteral("specify-files"), [&] { main.cmdSpecifyFiles_MouseUp(); }, reject);
        shoot(
            QStringLiteral("select-subfolders"),
            [&] {
                main.SelectSubfolders(top, QStringLiteral("Select subfolders of ") + top +
                                               QStringLiteral(" to be purged."));
            },
            reject);
        // "Selection cancelled."
        if (auto* box = WaitForModal<QMessageBox>(1500)) box->button(QMessageBox::Ok)->click();
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veldrane"));
    QApplication::setWindowIcon(ProgramIcon());
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("stacking");
    const QString out = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QDir::tempPath();
    frmMain main;
    InstallRealSeams(&main);
    if (!main.Startup()) return 2;
    main.move(40, 40);
    Wait(800);
    if (mode == QLatin1String("gallery")) {
        Gallery(main, out);
        return 0;
    }
    const int failures = Stacking(main, out);
    std::printf("%s\n", failures == 0 ? "stacking ok" : "stacking FAILED");
    return failures == 0 ? 0 : 1;
}
