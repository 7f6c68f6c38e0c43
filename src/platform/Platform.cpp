#include "platform/Platform.h"

#include "platform/PosixPlatform.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

namespace platform {

namespace {

std::unique_ptr<Platform>& defaultInstance() {
    static std::unique_ptr<Platform> instance;
    return instance;
}

Platform*& installedInstance() {
    static Platform* instance = nullptr;
    return instance;
}

bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Length of the valid UTF-8 sequence at s[i], or 0 when it is not one.
// Strict: no overlong forms, no encoded surrogates, nothing above U+10FFFF.
int validSequence(const unsigned char* s, qsizetype i, qsizetype n, char32_t& cp) {
    const unsigned char b = s[i];
    int len = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2;
        cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3;
        cp = b & 0x0F;
        if (b == 0xE0) lo = 0xA0;
        if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4;
        cp = b & 0x07;
        if (b == 0xF0) lo = 0x90;
        if (b == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    if (i + len > n) return 0;
    if (s[i + 1] < lo || s[i + 1] > hi) return 0;
    for (int k = 1; k < len; ++k) {
        if (!isContinuation(s[i + k])) return 0;
        cp = (cp << 6) | (s[i + k] & 0x3F);
    }
    return len;
}

void appendUtf8(QByteArray& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// Characters a Windows path cannot hold; names carry them moved to U+F000 + code.
bool isUnshowable(char32_t c) {
    return (c >= 1 && c < 0x20) || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' ||
           c == '>' || c == '|';
}
constexpr char32_t kPrivateBase = 0xF000;

} // namespace

Platform& current() {
    if (Platform* p = installedInstance()) return *p;
    auto& def = defaultInstance();
    if (!def) {
        def = std::make_unique<PosixPlatform>();
        def->loadDefaultDriveMap();
    }
    return *def;
}

void install(Platform* instance) { installedInstance() = instance; }

// Bytes that are not valid UTF-8 become the lone surrogates U+DC80..U+DCFF
// (U+DC00 + byte), as Python's "surrogateescape" does. Valid UTF-8 never
// decodes to a lone surrogate, so such a name cannot equal another one.
QString Platform::decodeName(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char b = s[i];
        if (b < 0x80) {
            out += isUnshowable(b) ? QChar(ushort(kPrivateBase + b)) : QChar(b);
            ++i;
            continue;
        }
        char32_t cp = 0;
        const int len = validSequence(s, i, n, cp);
        // A name that really holds one of the carrier characters keeps its
        // bytes escaped, so no two names decode alike.
        if (len == 0 || (cp > kPrivateBase && cp < kPrivateBase + 0x80 && isUnshowable(cp - kPrivateBase))) {
            const int count = len == 0 ? 1 : len;
            for (int k = 0; k < count; ++k) out += QChar(ushort(0xDC00 + s[i + k]));
            i += count;
            continue;
        }
        if (cp >= 0x10000) {
            out += QChar(QChar::highSurrogate(cp));
            out += QChar(QChar::lowSurrogate(cp));
        } else {
            out += QChar(ushort(cp));
        }
        i += len;
    }
    return out;
}

QByteArray Platform::encodeName(const QString& name) {
    QByteArray out;
    out.reserve(name.size());
    const qsizetype n = name.size();
    for (qsizetype i = 0; i < n; ++i) {
        const ushort c = name.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(name.at(i + 1).unicode())) {
            appendUtf8(out, QChar::surrogateToUcs4(c, name.at(i + 1).unicode()));
            ++i;
        } else if (c >= 0xDC80 && c <= 0xDCFF) {
            out += char(c - 0xDC00); // an escaped byte goes back as it was
        } else if (c > kPrivateBase && c < kPrivateBase + 0x80 && isUnshowable(c - kPrivateBase)) {
            out += char(c - kPrivateBase);
        } else if (QChar::isSurrogate(c)) {
            appendUtf8(out, 0xFFFD); // cannot come from a decoded name
        } else {
            appendUtf8(out, c);
        }
    }
    return out;
}

QString Platform::decodeText(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        char32_t cp = 0;
        const int len = s[i] < 0x80 ? 1 : validSequence(s, i, n, cp);
        if (s[i] < 0x80) {
            out += QChar(s[i]);
        } else if (len == 0) {
            out += QChar(ushort(0xDC00 + s[i]));
        } else if (cp >= 0x10000) {
            out += QChar(QChar::highSurrogate(cp));
            out += QChar(QChar::lowSurrogate(cp));
        } else {
            out += QChar(ushort(cp));
        }
        i += len == 0 ? 1 : len;
    }
    return out;
}

QByteArray Platform::encodeText(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const ushort c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            appendUtf8(out, QChar::surrogateToUcs4(c, text.at(i + 1).unicode()));
            ++i;
        } else if (c >= 0xDC80 && c <= 0xDCFF) {
            out += char(c - 0xDC00);
        } else if (QChar::isSurrogate(c)) {
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, c);
        }
    }
    return out;
}

bool Platform::flushFile(const QString& path) {
    HeldFile file;
    int error = 0;
    if (!holdFile(path, file, error)) return false;
    const bool ok = flushHeld(file);
    releaseFile(file);
    return ok;
}

bool Platform::setFileLength(const QString& path, qint64 length) {
    HeldFile file;
    int error = 0;
    if (length < 0 || !holdFile(path, file, error)) return false;
    const bool ok = setHeldLength(file, length);
    releaseFile(file);
    return ok;
}

QString Platform::shownName(const QString& name) {
    QString out = name;
    for (QChar& c : out) {
        const ushort u = c.unicode();
        if (u > kPrivateBase && u < kPrivateBase + 0x80 && isUnshowable(u - kPrivateBase)) c = QChar(ushort(u - kPrivateBase));
    }
    return out;
}

qint64 Platform::writeRepeated(int handle, qint64 offset, const char* block, qint64 blockLen, qint64 len) {
    if (handle < 0 || offset < 0 || len < 0 || !block || blockLen <= 0) return -EINVAL;
    constexpr qint64 kBuffer = qint64(1) << 20;
    const qint64 span = std::max(blockLen, std::min(len, kBuffer) / blockLen * blockLen);
    // Kept between calls; the copies double what is already there.
    static std::vector<char> buffer;
    buffer.resize(static_cast<size_t>(std::min(len, span)));
    const size_t first = std::min(buffer.size(), static_cast<size_t>(blockLen));
    std::memcpy(buffer.data(), block, first);
    for (size_t filled = first; filled < buffer.size();) {
        const size_t n = std::min(filled, buffer.size() - filled);
        std::memcpy(buffer.data() + filled, buffer.data(), n);
        filled += n;
    }
    qint64 done = 0;
    while (done < len) {
        const qint64 n = std::min(len - done, qint64(buffer.size()));
        const qint64 w = writeAt(handle, offset + done, buffer.data(), n);
        if (w < 0) return w;
        done += w;
        if (w < n) break;
    }
    return done;
}

} // namespace platform
