#pragma once
// What the POSIX platform files share: path text, the kinds of file system,
// the mount table's text, attribute text. Not part of the interface.

#include "platform/PosixPlatform.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QVector>
#include <sys/types.h>

namespace platform::posix {

inline constexpr char kDosAttrib[] = "user.DOSATTRIB";
inline constexpr int kXattrBits = AttrHidden | AttrSystem | AttrArchive;
inline constexpr qint64 kMaxTextFile = 16 * 1024 * 1024;

// File systems that hold no user data: never entered, never a drive.
const QSet<QByteArray>& virtualTypes();
// Enterable, but not a storage volume that gets a letter of its own.
const QSet<QByteArray>& nonDriveTypes();
bool isNetworkType(const QByteArray& t);
bool isVirtualMagic(unsigned long magic);

QByteArray joinPath(const QByteArray& dir, const QByteArray& name);
// Component-wise: "/tmp/ab" is not within "/tmp/a".
bool isWithin(const QByteArray& path, const QByteArray& root);
// Textual clean-up of an absolute path; empty when the path is relative.
QByteArray cleanNative(const QByteArray& path);
QByteArray realPath(const QByteArray& path);
QDateTime localTime(qint64 sec, qint64 nsec);
bool sameNameNoCase(const QString& a, const QString& b);
// Like encodeName, but refuses a name that no file on the disk decodes to.
bool encodeStrict(const QString& name, QByteArray& out);
// The names of a folder sorted by their bytes, without "." and "..".
bool sortedNames(const QByteArray& dirPath, QList<QByteArray>& names);
bool sortedNamesAt(int dirFd, QList<QByteArray>& names);
QVector<PosixPlatform::Mount> parseMountInfo(const QByteArray& text);
// The kernel's tables escape blanks, tabs, newlines and backslashes as \ooo.
QByteArray unescapeOctal(const QByteArray& s);
bool readAllFd(int fd, QByteArray& out, qint64 limit);
int parseDosAttrib(const char* buf, ssize_t n);
QByteArray baseName(const QByteArray& path);
QString readSmallFile(const QByteArray& path);
QString unescapeLabel(const QByteArray& s);
// The path through which calls that take no descriptor reach what fd holds.
QByteArray fdPath(int fd);

} // namespace platform::posix
