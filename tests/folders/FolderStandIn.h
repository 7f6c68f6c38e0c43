#pragma once
// A platform stand-in for the folder tests: the real POSIX layer underneath,
// with an invented drive list, unreadable folders, failing deletions and
// writes, and a hook that runs before each folder listing.

#include "platform/PosixPlatform.h"

#include <QList>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <cerrno>
#include <functional>
#include <map>

class FolderStandIn : public platform::PosixPlatform {
  public:
    struct FakeDrive {
        QChar letter;
        platform::DriveKind kind;
        QString label;
    };

    FolderStandIn() {
        loadDefaultDriveMap();
        platform::install(this);
    }
    ~FolderStandIn() override { platform::install(nullptr); }

    // When set, the drive list, kinds and labels come from fakeDrives.
    bool useFakeDrives = false;
    QList<FakeDrive> fakeDrives;
    std::map<QChar, platform::DiskSpace> diskAnswers;
    QStringList deniedFolders;   // listing fails with EACCES
    QStringList undeletable;     // deletion fails with EACCES
    bool writeFailsHalfway = false; // the file is created, then the write fails with ENOSPC
    bool failRemoveTree = false;    // folder removal fails with EACCES
    std::function<void(const QString& folder)> beforeList;
    int diskQueries = 0;

    QList<platform::DriveInfo> drives() const override {
        if (!useFakeDrives) return PosixPlatform::drives();
        QList<platform::DriveInfo> out;
        for (const FakeDrive& d : fakeDrives) out << platform::DriveInfo{d.letter, QStringLiteral("/"), d.label};
        return out;
    }
    platform::DriveKind driveKind(QChar letter) const override {
        if (!useFakeDrives) return PosixPlatform::driveKind(letter);
        for (const FakeDrive& d : fakeDrives)
            if (d.letter == letter.toUpper()) return d.kind;
        return platform::DriveKind::NoRoot;
    }
    QString volumeLabel(QChar letter) const override {
        if (!useFakeDrives) return PosixPlatform::volumeLabel(letter);
        for (const FakeDrive& d : fakeDrives)
            if (d.letter == letter.toUpper()) return d.label;
        return {};
    }
    bool diskSpace(QChar letter, platform::DiskSpace& space) const override {
        ++const_cast<FolderStandIn*>(this)->diskQueries;
        const auto it = diskAnswers.find(letter.toUpper());
        if (it != diskAnswers.end()) {
            space = it->second;
            return true;
        }
        if (useFakeDrives) return false;
        return PosixPlatform::diskSpace(letter, space);
    }
    bool listFolder(const QString& folder, platform::Listing& out, int& error) override {
        if (beforeList) beforeList(folder);
        if (matches(deniedFolders, folder)) {
            out = platform::Listing();
            error = EACCES;
            return false;
        }
        return PosixPlatform::listFolder(folder, out, error);
    }
    bool deleteFile(const QString& path, int& error) override {
        if (matches(undeletable, path)) {
            error = EACCES;
            return false;
        }
        return PosixPlatform::deleteFile(path, error);
    }
    bool removeFolderTree(const QString& path, int& error) override {
        if (failRemoveTree) {
            error = EACCES;
            return false;
        }
        return PosixPlatform::removeFolderTree(path, error);
    }
    bool writeTextFile(const QString& path, const QByteArray& content, int& error) override {
        if (writeFailsHalfway) {
            PosixPlatform::writeTextFile(path, QByteArray(), error);
            error = ENOSPC;
            return false;
        }
        return PosixPlatform::writeTextFile(path, content, error);
    }

  private:
    static QString normal(QString p) {
        while (p.endsWith(QLatin1Char('\\'))) p.chop(1);
        return p.toUpper();
    }
    static bool matches(const QStringList& list, const QString& path) {
        for (const QString& p : list)
            if (normal(p) == normal(path)) return true;
        return false;
    }
};

// A read-only tmpfs mounted for the life of the object.
class ReadOnlyMount {
  public:
    ReadOnlyMount() {
        if (!dir_.isValid()) return;
        ok_ = QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                                          QStringLiteral("-o"), QStringLiteral("ro,size=64k"),
                                                          QStringLiteral("none"), dir_.path()}) == 0;
    }
    ~ReadOnlyMount() {
        if (ok_) QProcess::execute(QStringLiteral("umount"), {dir_.path()});
    }
    bool ok() const { return ok_; }
    QString path() const { return dir_.path(); }

  private:
    QTemporaryDir dir_;
    bool ok_ = false;
};
