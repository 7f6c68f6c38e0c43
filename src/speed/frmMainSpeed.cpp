// The main window's "Test purge speed" command: three measurement runs on a
// drive, the result in words, and the speed kept for the next start.

#include "app/frmMain.h"

#include "platform/Platform.h"
#include "purge/frmTypeOfPurge.h"
#include "speed/FillDisk.h"
#include "speed/Registry3.h"
#include "speed/TimeEstimates.h"
#include "support/DiskProc.h"
#include "support/FormUi.h"
#include "support/ModalUi.h"
#include "support/Seams.h"
#include "support/StrProc.h"
#include "support/frmSpecifyDrive2.h"

#include <QLocale>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

int DriveIndex(const QString& letter) {
    if (letter.isEmpty()) return -1;
    const int i = letter.at(0).toUpper().unicode() - u'A';
    return i >= 0 && i < 26 ? i : -1;
}

QString SpeedText(double speed, bool floppy) { return QLocale().toString(speed, 'f', floppy ? 3 : 2); }

// A stored speed, written with a point whatever the locale; anything that
// is not a number counts as none.
double StoredSpeed(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok ? v : 0;
}

QString Duration(double seconds, bool round) {
    return TimeEstimates::DurationText(TimeEstimates::RoundSeconds(seconds), true, round);
}

} // namespace

QString frmMain::strRegistryKey() const {
    return QStringLiteral("Software\\") + strMakerName + QLatin1Char('\\') + strShortName;
}

void frmMain::ShowPurgeSpeed(const QString& strLetter, bool blnFloppy) {
    const int i = DriveIndex(strLetter);
    const float speed = i >= 0 ? sngDrivePurgeSpeed[size_t(i)] : 0.0f;
    if (!(speed > 0)) SetCaption(lblPurgeSpeed, QString());
    else
        SetCaption(lblPurgeSpeed, SpeedText(speed, blnFloppy) + QStringLiteral(" MB/sec. (1 overwrite) for Drive ") +
                                      strLetter.left(1).toUpper() + QLatin1Char('.'));
    lblPurgeSpeed->repaint();
}

void frmMain::cmdTestPurgeSpeed_MouseUp() {
    if (blnIgnoreMouseUp) return;
    const QString title = cmdTestPurgeSpeed->text();
    HideSelectionLabels();
    SetCaption(lblLargePurgeMessage, QString());
    struct Restore {
        frmMain* w;
        ~Restore() { w->ShowSelectionLabels(); }
    } restore{this};

    QString drive;
    qint16 driveType = -1;
    const qint16 drives = DiskProc::GetFirstDrive(drive, driveType);
    if (drives <= 0) {
        MsgBox(QStringLiteral("Cannot find any disk drive."), vbOKOnly | vbExclamation, title);
        return;
    }
    const QString question =
        (drives == 1 ? QStringLiteral("This writes test files to Drive ") + drive
                     : QStringLiteral("This writes test files to a selected drive")) +
        QStringLiteral(" and then purges them to test the purge speed ") +
        QStringLiteral("so as to get an approximate estimate of purge time required for other files.") + kCrLf + kCrLf +
        QStringLiteral("Do you wish to proceed with this test?");
    if (MsgBox(question, vbYesNo | vbQuestion, title) != vbYes) return;
    if (blnAntiMalwareWarning && !AskAntiMalwareWarning()) return;

    if (drives >= 2) {
        frmSpecifyDrive2& f = frmSpecifyDrive2::instance();
        f.setWindowTitle(QStringLiteral("Test purge speed on which drive?"));
        f.strDrive = strSpeedTestDrive.isEmpty() ? drive : strSpeedTestDrive;
        f.move(x() + fraMenu->x() + fraMenu->width() + tw(150), y() + fraMenu->y() + cmdTestPurgeSpeed->y() + tw(450));
        SetColours(&f, QColor(128, 0, 0), QColor(255, 255, 255));
        ShowModal(&f);
        if (!f.blnAccept) return;
        drive = f.strDrive.toUpper();
        driveType = f.intDriveType;
    }
    strSpeedTestDrive = drive;
    const QString letter = drive.left(1).toUpper();

    if ((driveType == DiskProc::fsoRemovable || driveType == DiskProc::fsoCdRom) &&
        !DiskProc::DriveIsReady(letter + QStringLiteral(":\\"))) {
        MsgBox(QStringLiteral("There is no ") +
                   (driveType == DiskProc::fsoCdRom ? QStringLiteral("CD-ROM") : QStringLiteral("disk")) +
                   QStringLiteral(" in Drive ") + letter + QLatin1Char('.'),
               vbOKOnly | vbExclamation, title);
        return;
    }
    const bool floppy = letter <= QStringLiteral("B");

    QString stored;
    if (Registry3::RegGetStringValue(Registry3::HKEY_CURRENT_USER, strRegistryKey() + QLatin1Char('\\') + letter,
                                     QStringLiteral("Speed"), stored)
            .startsWith(QLatin1Char('0'))) {
        const double v = StoredSpeed(stored);
        if (v > 0 && v < 100) {
            const int answer =
                MsgBox(QStringLiteral("A previous test has found this drive to have") + kCrLf +
                           QStringLiteral("a purge speed of ") + SpeedText(v, floppy) +
                           QStringLiteral(" MB/sec. (1 overwrite).") + kCrLf +
                           QStringLiteral("Do you wish to accept this value?") + kCrLf +
                           QStringLiteral("If not, click on 'No' to perform the test again."),
                       vbYesNoCancel | vbQuestion, title);
            if (answer == vbCancel) return;
            if (answer == vbYes) {
                sngDrivePurgeSpeed[size_t(DriveIndex(letter))] = float(v);
                ShowPurgeSpeed(letter, floppy);
                return;
            }
        }
    }

    blnStop = false;
    blnPerformingSpeedTest = true;
    qint16 status = 0;
    for (int run = 1; run <= 3; ++run) {
        QFont bold = lblPurgeSpeed->font();
        bold.setBold(true);
        lblPurgeSpeed->setFont(bold);
        SetCaption(lblPurgeSpeed, QStringLiteral("Testing Drive ") + letter + QStringLiteral(" ...") + QLatin1Char(' ') +
                                      QString::number(run));
        lblPurgeSpeed->repaint();
        RunSpeedTest(drive, run == 3, run == 3, status);
        if (status < 0) break;
    }
    blnPerformingSpeedTest = false;
    if (status == 0) {
        Registry3::RegSetStringValue(Registry3::HKEY_CURRENT_USER, strRegistryKey() + QLatin1Char('\\') + letter,
                                     QStringLiteral("Speed"),
                                     QString::number(double(sngDrivePurgeSpeed[size_t(DriveIndex(letter))]), 'g', 7));
    }
    blnStop = false;
}

void frmMain::RunSpeedTest(const QString& strDrive, bool blnShowResult, bool blnShowSpeed, qint16& intStatus) {
    const QString title = cmdTestPurgeSpeed->text();
    strSpeedTestDrive = strDrive;
    const QString letter = strDrive.left(1).toUpper();
    const size_t i = size_t(std::max(DriveIndex(letter), 0));
    const bool floppy = letter <= QStringLiteral("B");
    const auto resetDrive = [&] {
        sngDrivePurgeSpeed[i] = 0;
        intNumSpeedRuns[i] = 0;
        SetCaption(lblPurgeSpeed, QString());
    };

    double freeBytes = 0, totalBytes = 0;
    QString text;
    intStatus = 0;
    if (DiskProc::GetDiskSpace(strDrive, freeBytes, totalBytes) != 0) {
        text = QStringLiteral("An error occurred when attempting to ascertain") + kCrLf +
               QStringLiteral("information about the disk in Drive ") + letter + QStringLiteral(".  ");
        intStatus = -1;
    } else if (freeBytes < (floppy ? 131072.0 : 1048576.0)) {
        QString number = QString::number(qint64(freeBytes));
        text = freeBytes <= 0 ? QStringLiteral("There is no free space on the disk in Drive ") + letter + QLatin1Char('.')
                              : QStringLiteral("Drive ") + letter + QStringLiteral(" has only ") +
                                    StrProc::SeparateThousands(number, QLocale().groupSeparator()) +
                                    QStringLiteral(" bytes free.");
        text += kCrLf + (floppy ? QStringLiteral("At least 128 KB of free space is required for this test.")
                                : QStringLiteral("At least 1 MB of free space is required for this test."));
        intStatus = -2;
    }
    if (intStatus < 0) {
        MsgBox(text, vbOKOnly | vbInformation, title);
        resetDrive();
        return;
    }

    FillDisk::DummyState& d = FillDisk::Dummy();
    d.strDummyDrive = strDrive.left(2);
    d.intDummyFileCount = FillDisk::DummyFileCount(letter.at(0), totalBytes);
    FillDisk::CreateDummyFiles();
    repaint();
    if (!d.blnDummyFilesCreated) {
        resetDrive();
        intStatus = -3;
        return;
    }

    SetCaption(lblEstimatedTime, QString());
    repaint();
    platform::current().sleepMs(1000);
    const frmTypeOfPurge& type = frmTypeOfPurge::instance();
    const double t0 = platform::current().secondsSinceMidnight();
    const bool ok = FillDisk::PurgeDummyFiles(type.GetPurgeType(), type.GetNumberOfPasses());
    const double t1 = platform::current().secondsSinceMidnight();
    float elapsed = float(t1 - t0);
    if (elapsed < 0) elapsed += 86400;
    if (!ok) {
        SetCaption(lblPurgeSpeed, QString());
        MsgBox(QStringLiteral("An error occurred when purging the dummy files.") + kCrLf +
                   QStringLiteral("Please repeat the test."),
               vbOKOnly | vbExclamation, title);
        resetDrive();
        intStatus = -4;
        return;
    }
    if (elapsed < 0.001f) elapsed = 0.001f;
    const qint16 n = type.GetNumOverwrites();
    const float runSpeed = float(double(d.lngDummyBytes) / 1024 / 1024 * n / double(elapsed));
    const float speed = FillDisk::AddSpeedMeasurement(strDrive, runSpeed);

    SetCaption(lblPurgeSpeed, QString());
    QFont regular = lblPurgeSpeed->font();
    regular.setBold(false);
    lblPurgeSpeed->setFont(regular);
    lblPurgeSpeed->repaint();

    if (blnShowResult) {
        const qint16 p = type.GetNumberOfPasses();
        QString result = QStringLiteral("The purge speed is approximately ") + SpeedText(speed, floppy) +
                         QStringLiteral(" MB/sec. for a single overwrite.") + kCrLf + kCrLf +
                         QStringLiteral("It thus requires, using the type of purge currently specified (") +
                         (p == 1 ? QStringLiteral("1 pass = ") : QString::number(p) + QStringLiteral(" passes = ")) +
                         (n == 1 ? QStringLiteral("1 overwrite") : QString::number(n) + QStringLiteral(" overwrites")) +
                         QStringLiteral("), approximately ");
        if (floppy) {
            result += Duration(n * 1.44 / double(speed), false) + QStringLiteral(" to purge a full floppy disk.");
        } else {
            const double s = n / double(speed);
            result += Duration(s * 10, false) + QStringLiteral(" to purge 10 MB, ") + Duration(s * 100, false) +
                      QStringLiteral(" to purge 100 MB, ") + Duration(s * 1024, true) +
                      QStringLiteral(" to purge 1 GB, ") + Duration(s * 10240, true) +
                      QStringLiteral(" to purge 10 GB, ") + QStringLiteral("and ") + Duration(s * 102400, true) +
                      QStringLiteral(" to purge 100 GB.");
            if (n > 1)
                result += kCrLf + kCrLf +
                          QStringLiteral("To decrease the time required change the type of purge so as to decrease") +
                          QStringLiteral(" the number of overwrites.");
        }
        MsgBox(result, vbOKOnly | vbInformation, title);
    }
    if (blnShowSpeed) ShowPurgeSpeed(letter, floppy);
    intStatus = 0;
}
