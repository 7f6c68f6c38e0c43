#pragma once
// The platform layer on Linux: drive letters over native folders, files and
// folders through the POSIX calls, never following a link and never entering
// a virtual file system.

#include "platform/Platform.h"

#include <QMap>
#include <QVector>
#include <sys/stat.h>
#include <sys/types.h>

namespace platform {

class PosixPlatform : public Platform {
  public:
    PosixPlatform();
    ~PosixPlatform() override;

    void mapDrive(QChar letter, const QString& nativeRoot, const QString& label = {}) override;
    void unmapDrive(QChar letter) override;
    void clearDriveMap() override;
    QList<DriveInfo> drives() const override;
    void loadDefaultDriveMap() override;

    QByteArray toNative(const QString& drivePath) const override;
    using Platform::toDrivePath;
    QString toDrivePath(const QByteArray& nativePath) const override;

    bool diskSpace(QChar letter, DiskSpace& space) const override;
    DriveKind driveKind(QChar letter) const override;
    QString volumeLabel(QChar letter) const override;
    QString recycleBinFolder(QChar letter) const override;
    bool isInRecycleBin(const QString& drivePath) const override;

    bool listFolder(const QString& folder, Listing& out, int& error) override;
    Kind kind(const QString& path) const override;
    FileId fileId(const QString& path) const override;
    int attributes(const QString& path) const override;
    bool setAttributes(const QString& path, int attributes) override;
    bool fileTimes(const QString& path, FileTimes& times) const override;
    bool setFileTimes(const QString& path, const FileTimes& times) override;
    QDateTime lastWriteTime(const QString& path) const override;
    qint64 fileLength(const QString& path) const override;
    bool fileInUse(const QString& path) const override;
    bool deleteFile(const QString& path, int& error) override;
    bool createFolder(const QString& path, int& error) override;
    bool removeFolderTree(const QString& path, int& error) override;
    bool writeTextFile(const QString& path, const QByteArray& content, int& error) override;
    bool readTextFile(const QString& path, QByteArray& content, int& error) const override;
    bool writeTextFileAtomic(const QString& path, const QByteArray& content, int& error) override;

    bool holdFile(const QString& path, HeldFile& file, int& error) override;
    void releaseFile(HeldFile& file) override;
    bool stillHeld(const HeldFile& file) const override;
    int heldAttributes(const HeldFile& file) const override;
    bool setHeldAttributes(const HeldFile& file, int attributes) override;
    bool heldTimes(const HeldFile& file, FileTimes& times) const override;
    bool setHeldTimes(const HeldFile& file, const FileTimes& times) override;
    bool heldInUse(const HeldFile& file) const override;
    int openHeld(const HeldFile& file) override;
    bool dataExtents(const HeldFile& file, qint64 length, QList<QPair<qint64, qint64>>& extents) const override;
    qint64 writeAt(int handle, qint64 offset, const char* data, qint64 len) override;
    qint64 writeRepeated(int handle, qint64 offset, const char* block, qint64 blockLen, qint64 len) override;
    void writeback(int handle, qint64 offset, qint64 len, bool wait) override;
    bool closeFile(int handle) override;
    bool flushHeld(const HeldFile& file) override;
    bool setHeldLength(const HeldFile& file, qint64 length) override;
    bool deleteHeld(const HeldFile& file, int& error) override;

    QVariant userValue(const QString& key, const QVariant& fallback = {}) const override;
    void setUserValue(const QString& key, const QVariant& value) override;
    QString appDataFolder() const override;
    QString programFolder() const override;
    QDateTime now() const override;
    double secondsSinceMidnight() const override;
    void sleepMs(int ms) override;
    QString errorText(int error) const override;

    // A path handle (O_PATH) of what the drive path names, never a link;
    // st and name describe it. -1 with errno set.
    int openEntry(const QString& drivePath, struct stat& st, QByteArray& name) const;

    // ---- Runs (PosixRuns.cpp) ------------------------------------------------
    bool removeEmptyFolder(const QString& path, int& error) override;
    QList<QByteArray> activeSwapFiles() const override;
    // The file entries of a /proc/swaps text, unescaped.
    static QList<QByteArray> parseSwaps(const QByteArray& text);

    // The user's drive map file (native path); it may not exist.
    static QString driveMapFile();
    // Reads "X = /folder ; label" lines; lines that cannot be read are skipped.
    static QList<DriveInfo> parseDriveMap(const QByteArray& text);

    struct Mount {
        QByteArray mountPoint;
        QByteArray fsType;
        QByteArray source;
        dev_t dev = 0;
    };

  private:
    struct Drive {
        DriveInfo info;
        QByteArray root; // native bytes, no trailing slash except "/"
    };

    // Drive path to native path, and the same place as a drive path spelled
    // as found on the disk. False when the drive is not mapped or a name
    // cannot be written natively.
    // With search off, the names are taken as spelled and nothing is read
    // from the disk.
    bool resolve(const QString& drivePath, QByteArray& native, QString* resolved, bool search = true) const;
    // What a drive path names, reached without following a link at any
    // depth below the drive's root: its parent folder held open (O_PATH) and
    // its name there as on the disk (empty for the root itself, when dir is
    // the root). False with errno set: ELOOP or ENOTDIR for a link or file
    // on the way, ENOENT. The caller closes dir.
    struct Located {
        int dir = -1;
        QByteArray name;
    };
    bool locate(const QString& drivePath, Located& out, QString* resolved = nullptr) const;
    // lstat of what the drive path names, found as locate finds it.
    bool statPath(const QString& drivePath, struct stat& st, QByteArray* name = nullptr) const;
    // The parent folder and name of a file about to be written, and what is
    // there now (st_mode 0 when nothing is): anything but a regular file is
    // refused (EISDIR, ELOOP, EINVAL). The caller closes at.dir.
    bool locateForWriting(const QString& path, Located& at, struct stat& existing, int& error) const;
    // Opens what the drive path names with flags (O_NOFOLLOW added).
    int openPath(const QString& drivePath, int flags, QString* resolved = nullptr) const;
    const Drive* drive(QChar letter) const;
    const QVector<Mount>& mounts() const;
    const Mount* mountOf(const QByteArray& nativePath) const;
    bool isVirtualDev(dev_t dev) const;
    QByteArray homeTrash() const;
    bool trashWithinDrive(const Drive& d, const QByteArray& trash, QString& out) const;

    QMap<QChar, Drive> drives_;
    mutable QVector<Mount> mounts_;
    mutable int mountInfoFd_ = -1;
    mutable bool mountsRead_ = false;
};

} // namespace platform
