#pragma once
// A platform stand-in for the purge tests: the real POSIX layer underneath,
// with every raw write recorded and chosen calls failed or faked.

#include "platform/PosixPlatform.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <vector>

class PurgeStandIn : public platform::PosixPlatform {
  public:
    struct Write {
        int overwrite = 0;     // 1-based number of the overwrite it belongs to
        qint64 offset = 0;
        qint64 length = 0;
        QByteArray head;       // the first headBytes bytes handed over
        bool uniform = true;   // the call's data is copies of its first `period` bytes
        int attributesAtWrite = -1;
    };

    PurgeStandIn() { platform::install(this); }
    ~PurgeStandIn() override { platform::install(nullptr); }

    // ---- What happened ----
    std::vector<Write> writes;
    int opens = 0;
    int overwrites = 0;      // runs of writes, each starting at offset 0
    int closes = 0;
    int flushes = 0;
    int deleteAttempts = 0;
    int attributesAtDelete = -1;
    std::vector<int> sleeps;
    std::vector<qint64> lengthsSet;
    std::vector<int> attributesSet; // every setAttributes value, in order
    int timeReads = 0;
    int timeWrites = 0;
    int diskQueries = 0;

    // ---- How to record ----
    qint64 period = 4096;      // block size the uniform check uses (0: no check)
    qint64 headBytes = 65536;

    // ---- What to do ----
    bool realWrites = true;           // false: record only, the file is not touched
    int failWriteCall = 0;            // 1-based write call that fails (0: none)
    qint64 shortBy = 0;               // the failing call writes this many bytes fewer instead of failing
    bool failFlush = false;
    bool failSetLength = false;
    int failDeletes = 0;              // that many deletions fail
    bool vanishOnFailedDelete = false;// a failed deletion removes the file behind our back
    bool inUse = false;
    qint64 fakeLength = -1;           // reported length of every file (>= 0)
    // Answers for the drive query: none -> the real one.
    std::map<QChar, platform::DiskSpace> diskAnswers;
    std::map<QChar, bool> diskFails;
    std::function<void(int overwrite)> afterClose; // runs after each close

    int openForOverwrite(const QString& path, const platform::FileId& expected) override {
        const int h = PosixPlatform::openForOverwrite(path, expected);
        if (h >= 0) {
            ++opens;
            openPath_ = path;
        }
        return h;
    }

    qint64 writeAt(int handle, qint64 offset, const char* data, qint64 len) override {
        if (offset == 0) ++overwrites;
        Write w;
        w.overwrite = overwrites;
        w.offset = offset;
        w.length = len;
        w.head = QByteArray(data, static_cast<int>(std::min(len, headBytes)));
        if (period > 0)
            for (qint64 i = period; i < len && w.uniform; i += period)
                w.uniform = std::memcmp(data, data + i, static_cast<size_t>(std::min(period, len - i))) == 0;
        w.attributesAtWrite = PosixPlatform::attributes(openPath_);
        writes.push_back(w);
        if (failWriteCall == static_cast<int>(writes.size())) {
            if (shortBy <= 0) return -28; // ENOSPC
            return realWrites ? PosixPlatform::writeAt(handle, offset, data, len - shortBy) : len - shortBy;
        }
        return realWrites ? PosixPlatform::writeAt(handle, offset, data, len) : len;
    }

    // Through writeAt above, so every call is recorded and can be failed.
    qint64 writeRepeated(int handle, qint64 offset, const char* block, qint64 blockLen, qint64 len) override {
        return platform::Platform::writeRepeated(handle, offset, block, blockLen, len);
    }

    void writeback(int handle, qint64 offset, qint64 len, bool wait) override {
        if (realWrites) PosixPlatform::writeback(handle, offset, len, wait);
    }

    bool closeFile(int handle) override {
        ++closes;
        const bool ok = PosixPlatform::closeFile(handle);
        if (afterClose) afterClose(overwrites);
        return ok;
    }

    bool flushFile(const QString& path) override {
        ++flushes;
        if (failFlush) return false;
        return PosixPlatform::flushFile(path);
    }

    bool setFileLength(const QString& path, qint64 length) override {
        lengthsSet.push_back(length);
        if (failSetLength) return false;
        if (!realWrites) return true;
        return PosixPlatform::setFileLength(path, length);
    }

    qint64 fileLength(const QString& path) const override {
        if (fakeLength >= 0 && PosixPlatform::kind(path) == platform::Kind::File) return fakeLength;
        return PosixPlatform::fileLength(path);
    }

    bool fileInUse(const QString& path) const override { return inUse || PosixPlatform::fileInUse(path); }

    bool deleteFile(const QString& path, int& error) override {
        ++deleteAttempts;
        attributesAtDelete = PosixPlatform::attributes(path);
        if (failDeletes > 0) {
            --failDeletes;
            if (vanishOnFailedDelete) PosixPlatform::deleteFile(path, error);
            error = 16; // EBUSY
            return false;
        }
        return PosixPlatform::deleteFile(path, error);
    }

    bool setAttributes(const QString& path, int attributes) override {
        attributesSet.push_back(attributes);
        return PosixPlatform::setAttributes(path, attributes);
    }

    bool fileTimes(const QString& path, platform::FileTimes& times) const override {
        ++const_cast<PurgeStandIn*>(this)->timeReads;
        return PosixPlatform::fileTimes(path, times);
    }

    bool setFileTimes(const QString& path, const platform::FileTimes& times) override {
        ++timeWrites;
        return PosixPlatform::setFileTimes(path, times);
    }

    bool diskSpace(QChar letter, platform::DiskSpace& space) const override {
        ++const_cast<PurgeStandIn*>(this)->diskQueries;
        if (diskFails.count(letter) && diskFails.at(letter)) return false;
        auto it = diskAnswers.find(letter);
        if (it != diskAnswers.end()) {
            space = it->second;
            return true;
        }
        return PosixPlatform::diskSpace(letter, space);
    }

    void sleepMs(int ms) override { sleeps.push_back(ms); }

    // The writes of one overwrite (1-based), in order.
    std::vector<Write> overwrite(int n) const {
        std::vector<Write> out;
        for (const Write& w : writes)
            if (w.overwrite == n) out.push_back(w);
        return out;
    }
    // Bytes written by one overwrite, and whether they were contiguous from 0.
    qint64 bytesOf(int n, bool* contiguous = nullptr) const {
        qint64 next = 0;
        bool ok = true;
        for (const Write& w : overwrite(n)) {
            ok = ok && w.offset == next;
            next = w.offset + w.length;
        }
        if (contiguous) *contiguous = ok;
        return next;
    }

  private:
    QString openPath_;
};
