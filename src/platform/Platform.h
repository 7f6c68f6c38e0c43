#pragma once
// The one door to the operating system. The interface speaks the program's
// language (drive letters, backslash paths, attributes, file times); the POSIX
// implementation maps it onto this machine. Tests replace the current instance
// with a subclass that records or fails chosen calls.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QtGlobal>

namespace platform {

// Attribute bits, valued as the program has always used them.
enum Attribute : int {
    AttrReadOnly = 1,
    AttrHidden = 2,
    AttrSystem = 4,
    AttrDirectory = 16,
    AttrArchive = 32,
    AttrNormal = 128,
};

// A point in time with nanosecond precision (seconds since the Unix epoch).
struct FileTime {
    qint64 sec = 0;
    qint64 nsec = 0;
    bool valid = false;
};

struct FileTimes {
    FileTime creation;   // birth time; cannot be set
    FileTime lastAccess;
    FileTime lastWrite;
};

// One entry of a folder listing. Only regular files and real folders appear.
struct Entry {
    QString name;       // file name, no folder
    QString path;       // full drive path (C:\folder\name)
    qint64 size = 0;    // bytes; 0 for folders
    QDateTime lastWrite; // local time
};

struct Listing {
    QList<Entry> files;
    QList<Entry> folders;
    // Entries left out: links, special files, names the program cannot show,
    // mounted virtual file systems, entries that could not be examined. A
    // folder is only empty when this is 0 too.
    int others = 0;
};

// What a path names, without following a link.
enum class Kind { Missing, File, Folder, Link, Other };

// Identity of a file as found, to check that what is opened later is the same.
struct FileId {
    quint64 dev = 0;
    quint64 ino = 0;
    bool valid = false;
};

// A regular file held for its purge (see holdFile).
struct HeldFile {
    QString path;       // the drive path it was resolved from
    int folder = -1;    // the parent folder, held open
    int file = -1;      // the file itself: open for reading, or a path handle only
    bool readable = false; // file is open for reading (else the file cannot be read)
    QByteArray name;    // its name there, as on the disk
    FileId id;
    qint64 length = 0;  // bytes, when resolved
    qint64 ioBlock = 0; // preferred I/O block size
    bool held() const { return folder >= 0 && id.valid; }
};

enum class DriveKind { Unknown, NoRoot, Removable, Fixed, Network, CdRom, RamDisk };

struct DiskSpace {
    qint64 clusterSize = 0;  // allocation unit of the file system, bytes
    qint64 freeClusters = 0;
    double freeBytes = 0;    // free bytes on the volume
    double freeToCaller = 0; // free bytes this user may use
    double totalBytes = 0;
};

struct DriveInfo {
    QChar letter;
    QString root;  // native folder
    QString label; // volume label, may be empty
};

class Platform {
  public:
    Platform() = default;
    virtual ~Platform() = default;
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

    // ---- Drive map -------------------------------------------------------
    // Map a letter to a native folder (replacing any earlier mapping).
    virtual void mapDrive(QChar letter, const QString& nativeRoot, const QString& label = {}) = 0;
    virtual void unmapDrive(QChar letter) = 0;
    virtual void clearDriveMap() = 0;
    // The mapped drives in letter order.
    virtual QList<DriveInfo> drives() const = 0;
    // Build the map from the mount table, or from drives.ini when the user has one.
    virtual void loadDefaultDriveMap() = 0;

    // Drive path (C:\a\b) to native bytes, resolving each component without
    // regard to case (exact name first). Empty when the drive is not mapped.
    virtual QByteArray toNative(const QString& drivePath) const = 0;
    // Native path to drive path by the longest mapped root that contains it.
    // Empty when no mapped root contains it.
    virtual QString toDrivePath(const QByteArray& nativePath) const = 0;
    QString toDrivePath(const QString& nativePath) const { return toDrivePath(encodeName(nativePath)); }

    // File names are bytes on this system; names that are not valid UTF-8 keep
    // their bytes as lone surrogates, so they round-trip and never equal
    // another file's name.
    // A name holding a character that a Windows path cannot hold
    // (\ : * ? " < > | and control characters) carries it as U+F000 plus its
    // code, so it lists and matches like any other name.
    static QString decodeName(const QByteArray& bytes);
    static QByteArray encodeName(const QString& name);
    // A name or drive path as the user is shown it: the real characters.
    static QString shownName(const QString& name);
    // Text in files the program writes itself (setup files): UTF-8, with the
    // bytes of a name that is not valid UTF-8 kept as they came, so that such
    // a name reads back as the same name.
    static QString decodeText(const QByteArray& bytes);
    static QByteArray encodeText(const QString& text);

    // ---- Drive facts -----------------------------------------------------
    // Fills space; false when the drive cannot be asked.
    virtual bool diskSpace(QChar letter, DiskSpace& space) const = 0;
    virtual DriveKind driveKind(QChar letter) const = 0;
    virtual QString volumeLabel(QChar letter) const = 0;
    // The drive's Recycle Bin as a drive path ending in "\": its root's real
    // "$RECYCLE.BIN" folder when there is one, else the freedesktop trash of
    // that volume for this user. Empty when the drive has neither.
    virtual QString recycleBinFolder(QChar letter) const = 0;
    // True when the drive path lies in a "$RECYCLE.BIN" folder or in a trash
    // folder of this user.
    virtual bool isInRecycleBin(const QString& drivePath) const = 0;

    // ---- Files and folders -----------------------------------------------
    // Lists a folder's regular files and real folders in a stable order.
    // False with an errno-style error when the folder cannot be read.
    virtual bool listFolder(const QString& folder, Listing& out, int& error) = 0;
    virtual Kind kind(const QString& path) const = 0;
    virtual FileId fileId(const QString& path) const = 0;
    // -1 when the path cannot be examined. Directory bit set for folders.
    virtual int attributes(const QString& path) const = 0;
    virtual bool setAttributes(const QString& path, int attributes) = 0;
    virtual bool fileTimes(const QString& path, FileTimes& times) const = 0;
    // Sets access and write times; creation cannot be set here.
    virtual bool setFileTimes(const QString& path, const FileTimes& times) = 0;
    virtual QDateTime lastWriteTime(const QString& path) const = 0; // invalid on failure
    // Length in bytes, or a negative errno-style error.
    virtual qint64 fileLength(const QString& path) const = 0;
    // A file counts as in use when it cannot be opened for reading or another
    // process holds a lock on it.
    virtual bool fileInUse(const QString& path) const = 0;
    virtual bool deleteFile(const QString& path, int& error) = 0;
    virtual bool createFolder(const QString& path, int& error) = 0;
    // Removes a folder with everything in it; links inside are removed, never
    // followed.
    virtual bool removeFolderTree(const QString& path, int& error) = 0;
    // Creates or replaces a small text file (write test, setup files).
    virtual bool writeTextFile(const QString& path, const QByteArray& content, int& error) = 0;
    virtual bool readTextFile(const QString& path, QByteArray& content, int& error) const = 0;
    // The same as writeTextFile, but the old file stays whole until the new
    // one is complete on disk: the content goes to a temporary file in the
    // same folder, which then replaces the old one in one step.
    virtual bool writeTextFileAtomic(const QString& path, const QByteArray& content, int& error) = 0;

    // ---- Raw I/O of the overwrite -----------------------------------------
    // A regular file is resolved once, component by component and without
    // following a link at any depth, into a held handle of its parent folder
    // and its identity. Every later step of its purge goes through that
    // handle and checks the identity again, so that nothing put in its place
    // (a link above all, here or on any folder of its path) is written,
    // changed or removed. False with an errno-style error: ELOOP for a link
    // on the path, EINVAL for anything but a regular file, ENOENT.
    virtual bool holdFile(const QString& path, HeldFile& file, int& error) = 0;
    virtual void releaseFile(HeldFile& file) = 0;
    // True while the held name still names the held regular file.
    virtual bool stillHeld(const HeldFile& file) const = 0;
    // -1 when the file is no longer the one held.
    virtual int heldAttributes(const HeldFile& file) const = 0;
    virtual bool setHeldAttributes(const HeldFile& file, int attributes) = 0;
    virtual bool heldTimes(const HeldFile& file, FileTimes& times) const = 0;
    virtual bool setHeldTimes(const HeldFile& file, const FileTimes& times) = 0;
    virtual bool heldInUse(const HeldFile& file) const = 0;
    // Opens the held file for writing: a handle >= 0, or a negative errno
    // (-ESTALE when another file is in its place).
    virtual int openHeld(const HeldFile& file) = 0;
    // The stretches of the held file below `length` that hold data, in
    // order, as (offset, length). False when the file system cannot tell
    // holes from data: then all of it counts as data.
    virtual bool dataExtents(const HeldFile& file, qint64 length, QList<QPair<qint64, qint64>>& extents) const = 0;
    // Writes len bytes at offset; the number written or a negative error.
    virtual qint64 writeAt(int handle, qint64 offset, const char* data, qint64 len) = 0;
    // Writes len bytes at offset that are copies of the block laid end to
    // end from its first byte; the number written or a negative error. This
    // one does it through writeAt with a buffer of copies.
    virtual qint64 writeRepeated(int handle, qint64 offset, const char* block, qint64 blockLen, qint64 len);
    // Lets the system push written bytes out early (wait=false) or waits for a
    // range pushed earlier (wait=true), so the final flush is short.
    virtual void writeback(int handle, qint64 offset, qint64 len, bool wait) = 0;
    virtual bool closeFile(int handle) = 0;
    // Flushes the closed held file's data to the disk (opened again by its
    // name, identity checked).
    virtual bool flushHeld(const HeldFile& file) = 0;
    virtual bool setHeldLength(const HeldFile& file, qint64 length) = 0;
    // Removes the held file's name, checked right before: ESTALE when
    // another file is in its place, ENOENT when it is gone.
    virtual bool deleteHeld(const HeldFile& file, int& error) = 0;

    // The same steps by path, each resolving the path on its own (for a
    // file met once, outside a purge).
    bool flushFile(const QString& path);
    bool setFileLength(const QString& path, qint64 length);

    // ---- Per-user values, folders, clock -----------------------------------
    virtual QVariant userValue(const QString& key, const QVariant& fallback = {}) const = 0;
    virtual void setUserValue(const QString& key, const QVariant& value) = 0;
    // Per-user application-data folder as a drive path ending in "\"; empty
    // when there is none.
    virtual QString appDataFolder() const = 0;
    // The folder that holds the program's own files (vq.dat, vq_help.txt),
    // as a native path.
    virtual QString programFolder() const = 0;
    virtual QDateTime now() const = 0;
    // Seconds since midnight, with fractions.
    virtual double secondsSinceMidnight() const = 0;
    virtual void sleepMs(int ms) = 0;
    // The system's wording of an errno-style error.
    virtual QString errorText(int error) const = 0;

    // ---- Runs ---------------------------------------------------------------
    // Removes a folder only when it is empty at this very moment: a plain
    // removal of one empty folder, never of a tree. Refused for a link, for a
    // drive's root and for anything reached through a link below the drive's
    // root. False with an errno-style error (ENOTEMPTY when it holds anything).
    virtual bool removeEmptyFolder(const QString& path, int& error) = 0;
    // The swap files this system has in use, as native paths (partitions
    // are left out). Empty when the kernel's list cannot be read.
    virtual QList<QByteArray> activeSwapFiles() const = 0;
};

// The instance in use. A POSIX instance is created on first use.
Platform& current();
// Replace the instance (tests). Passing nullptr restores the default. The
// caller keeps ownership of what it passes.
void install(Platform* instance);

} // namespace platform
