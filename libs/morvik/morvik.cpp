#include "morvik.h"

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <new>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kSlots = 16;
constexpr size_t kMaxTextBytes = 1024;
constexpr size_t kMaxFileBytes = 1 << 20;
constexpr size_t kMaxTexts = 10000;
constexpr long kLastCodedLine = 500;

struct TextSet {
    bool loaded = false;
    std::map<int, std::string> texts;
};

TextSet sets[kSlots];

// Opens without following a link and without blocking on a FIFO; only a
// regular file is accepted.
int openRegular(const char* path, int flags) {
    int fd = ::open(path, flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return -errno;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -EINVAL;
    }
    return fd;
}

bool readAll(int fd, std::string& out) {
    char chunk[65536];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return true;
        out.append(chunk, static_cast<size_t>(n));
        if (out.size() > kMaxFileBytes) return true;
    }
}

// "\n" stands for a line break (CR LF), "\\" for a backslash.
std::string unescape(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            if (s[i + 1] == 'n') {
                out += "\r\n";
                ++i;
                continue;
            }
            if (s[i + 1] == '\\') {
                out += '\\';
                ++i;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

int lineFault(int base, long line) { return line <= kLastCodedLine ? -(base + static_cast<int>(line)) : -4; }

int parse(const std::string& data, std::map<int, std::string>& texts) {
    size_t pos = 0;
    long line = 0;
    if (data.size() >= 3 && data.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3; // byte-order mark
    while (pos < data.size()) {
        size_t end = data.find('\n', pos);
        if (end == std::string::npos) end = data.size();
        std::string text = data.substr(pos, end - pos);
        pos = end + 1;
        ++line;
        if (!text.empty() && text.back() == '\r') text.pop_back();
        size_t i = text.find_first_not_of(" \t");
        if (i == std::string::npos || text[i] == ';' || text[i] == '#') continue;
        size_t digits = i;
        while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
        if (digits == i || digits - i > 5) return lineFault(500, line);
        const int number = std::stoi(text.substr(i, digits - i));
        if (number < 1 || number > 32767) return lineFault(500, line);
        if (digits < text.size() && text[digits] != ' ' && text[digits] != '\t') return lineFault(500, line);
        size_t start = text.find_first_not_of(" \t", digits);
        if (start == std::string::npos) return lineFault(500, line);
        std::string value = unescape(text.substr(start));
        if (value.size() > kMaxTextBytes) return lineFault(1000, line);
        if (texts.count(number)) return -(1500 + static_cast<int>(line));
        if (texts.size() >= kMaxTexts) return -3;
        texts.emplace(number, std::move(value));
    }
    return static_cast<int>(texts.size());
}

} // namespace

extern "C" {

int flush_file(const char* path) {
    if (!path || !*path) return 0;
    int fd = openRegular(path, O_RDONLY);
    if (fd < 0) return 0;
    int rc = ::fdatasync(fd);
    int closed = ::close(fd);
    return rc == 0 && closed == 0 ? 1 : 0;
}

int change_filesize(const char* path, long long length) {
    if (!path || !*path || length < 0) return -EINVAL;
    int fd = openRegular(path, O_WRONLY);
    if (fd < 0) return fd;
    int rc = ::ftruncate(fd, static_cast<off_t>(length)) == 0 ? 0 : -errno;
    if (::close(fd) != 0 && rc == 0) rc = -errno;
    return rc;
}

int lt(const char* path, int slot) {
    if (slot < 0 || slot >= kSlots) return -2;
    if (!path || !*path) return -1;
    int fd = openRegular(path, O_RDONLY);
    if (fd < 0) return -1;
    try {
        std::string data;
        bool ok = readAll(fd, data);
        ::close(fd);
        if (!ok) return -7;
        if (data.empty()) return -6;
        if (data.size() > kMaxFileBytes) return -3;
        std::map<int, std::string> texts;
        int r = parse(data, texts);
        if (r <= 0) return r;
        sets[slot].texts = std::move(texts);
        sets[slot].loaded = true;
        return r;
    } catch (const std::bad_alloc&) {
        return -8;
    }
}

int gt(int number, int slot, char* buffer, int size, int /*flag*/) {
    if (slot < 0 || slot >= kSlots || !sets[slot].loaded) return -1;
    if (!buffer || size <= 0) return 0;
    auto it = sets[slot].texts.find(number);
    if (it == sets[slot].texts.end()) return 0;
    const std::string& t = it->second;
    size_t n = t.size() < static_cast<size_t>(size) ? t.size() : static_cast<size_t>(size);
    // Never cut a character in half.
    while (n > 0 && n < t.size() && (static_cast<unsigned char>(t[n]) & 0xC0) == 0x80) --n;
    t.copy(buffer, n);
    return static_cast<int>(n);
}

} // extern "C"
