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
    int deleteAttempts = 0; // deletions of a held file
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
    qint64 fakeIoBlock = 0;           // reported I/O block of every file (> 0)
    std::function<void()> beforeSetLength; // runs before each length change
    // Answers for the drive query: none -> the real one.
    std::map<QChar, platform::DiskSpace> diskAnswers;
    std::map<QChar, bool> diskFails;
    std::function<void(int overwrite)> afterClose; // runs after each close

    bool holdFile(const QString& path, platform::HeldFile& file, int& error) override {
        const bool ok = PosixPlatform::holdFile(path, file, error);
        if (ok && fakeLength >= 0) file.length = fakeLength;
        if (ok && fakeIoBlock > 0) file.ioBlock = fakeIoBlock;
        return ok;
    }

    int openHeld(const platform::HeldFile& file) override {
        const int h = PosixPlatform::openHeld(file);
        if (h >= 0) {
            ++opens;
            openPath_ = file.path;
        }
        return h;
    }

    qint64 writeAt(int handle, qint64 offset, const char* data, qint64 len) override {
        const qint64 fail = record(offset, data, len, len);
        if (fail != len) return realWrites && fail > 0 ? PosixPlatform::writeAt(handle, offset, data, fail) : fail;
        return realWrites ? PosixPlatform::writeAt(handle, offset, data, len) : len;
    }

    // The engine's own gathered writes reach the disk; each call is
    // recorded (its bytes are copies of the block) and can be failed.
    qint64 writeRepeated(int handle, qint64 offset, const char* block, qint64 blockLen, qint64 len) override {
        QByteArray head;
        head.reserve(static_cast<int>(std::min(len, headBytes)));
        while (head.size() < std::min(len, headBytes))
            head.append(block, static_cast<int>(std::min<qint64>(blockLen, std::min(len, headBytes) - head.size())));
        const qint64 fail = record(offset, head.constData(), head.size(), len, blockLen);
        if (fail != len)
            return realWrites && fail > 0 ? PosixPlatform::writeRepeated(handle, offset, block, blockLen, fail) : fail;
        return realWrites ? PosixPlatform::writeRepeated(handle, offset, block, blockLen, len) : len;
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

    bool flushHeld(const platform::HeldFile& file) override {
        ++flushes;
        if (failFlush) return false;
        return PosixPlatform::flushHeld(file);
    }

    bool setHeldLength(const platform::HeldFile& file, qint64 length) override {
        lengthsSet.push_back(length);
        if (beforeSetLength) beforeSetLength();
        if (failSetLength) return false;
        if (!realWrites) return true;
        return PosixPlatform::setHeldLength(file, length);
    }

    qint64 fileLength(const QString& path) const override {
        if (fakeLength >= 0 && PosixPlatform::kind(path) == platform::Kind::File) return fakeLength;
        return PosixPlatform::fileLength(path);
    }

    // A faked length has no real extents behind it: all of it is data.
    bool dataExtents(const platform::HeldFile& file, qint64 length,
                     QList<QPair<qint64, qint64>>& extents) const override {
        if (fakeLength >= 0) return false;
        return PosixPlatform::dataExtents(file, length, extents);
    }

    bool fileTimes(const QString& path, platform::FileTimes& times) const override {
        ++const_cast<PurgeStandIn*>(this)->timeReads;
        return PosixPlatform::fileTimes(path, times);
    }

    bool setFileTimes(const QString& path, const platform::FileTimes& times) override {
        ++timeWrites;
        return PosixPlatform::setFileTimes(path, times);
    }

    bool heldInUse(const platform::HeldFile& file) const override { return inUse || PosixPlatform::heldInUse(file); }

    bool deleteHeld(const platform::HeldFile& file, int& error) override {
        ++deleteAttempts;
        attributesAtDelete = PosixPlatform::heldAttributes(file);
        if (failDeletes > 0) {
            --failDeletes;
            if (vanishOnFailedDelete) PosixPlatform::deleteHeld(file, error);
            error = 16; // EBUSY
            return false;
        }
        return PosixPlatform::deleteHeld(file, error);
    }

    bool setHeldAttributes(const platform::HeldFile& file, int attributes) override {
        attributesSet.push_back(attributes);
        return PosixPlatform::setHeldAttributes(file, attributes);
    }

    bool heldTimes(const platform::HeldFile& file, platform::FileTimes& times) const override {
        ++const_cast<PurgeStandIn*>(this)->timeReads;
        return PosixPlatform::heldTimes(file, times);
    }

    bool setHeldTimes(const platform::HeldFile& file, const platform::FileTimes& times) override {
        ++timeWrites;
        return PosixPlatform::setHeldTimes(file, times);
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
    // Records one write call of len bytes whose first bytes are data; the
    // bytes the call may write (len, fewer, or a negative error).
    qint64 record(qint64 offset, const char* data, qint64 dataLen, qint64 len, qint64 blockLen = 0) {
        if (offset == 0) ++overwrites;
        Write w;
        w.overwrite = overwrites;
        w.offset = offset;
        w.length = len;
        w.head = QByteArray(data, static_cast<int>(std::min(dataLen, headBytes)));
        // Copies of a block whose length is a multiple of the period are
        // uniform when the block is; otherwise look at the bytes given.
        const qint64 span = blockLen > 0 ? std::min(blockLen, dataLen) : dataLen;
        if (period > 0) {
            if (blockLen > 0 && blockLen % period != 0) w.uniform = false;
            for (qint64 i = period; i < span && w.uniform; i += period)
                w.uniform = std::memcmp(data, data + i, static_cast<size_t>(std::min(period, span - i))) == 0;
        }
        w.attributesAtWrite = PosixPlatform::attributes(openPath_);
        writes.push_back(w);
        if (failWriteCall == static_cast<int>(writes.size())) return shortBy <= 0 ? -28 /* ENOSPC */ : len - shortBy;
        return len;
    }

    QString openPath_;
};
