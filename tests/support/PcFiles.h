// Files on the PC side of a transfer: made, read, and named as the programs name them.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstdint>
#include <random>

// Contents that differ from seed to seed, and are the same on every run for one seed.
inline QByteArray Pattern(qint64 size, std::uint64_t seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    std::mt19937_64 random(seed);
    qint64 i = 0;
    for (; i + 8 <= size; i += 8) {
        const std::uint64_t word = random();
        for (int b = 0; b < 8; ++b) {
            bytes[i + b] = static_cast<char>(word >> (8 * b));
        }
    }
    for (; i < size; ++i) {
        bytes[i] = static_cast<char>(random());
    }
    return bytes;
}

inline bool WriteFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

inline QByteArray ReadFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A folder as the platform writes it, the way the picker hands it over.
inline QString Native(const QString &path) {
    return QDir::toNativeSeparators(path);
}

// A file in a PC folder, joined the way the operations join them.
inline QString PcFile(const QString &folder, const QString &name) {
    return folder + QDir::separator() + name;
}

// A symbolic link to `target`, the platform's own kind (on Windows not a shortcut file, which
// QFile::link makes and which reads as an ordinary file).
bool MakeSymbolicLink(const QString &target, const QString &link);

// A PC file held open for writing through a handle of its own, as a program that is still
// writing it holds it (sharing reading and writing with others, as an unpacker does); closed
// when this goes. held() is false when the file could not be opened.
class HeldForWriting {
public:
    explicit HeldForWriting(const QString &path);
    ~HeldForWriting();
    HeldForWriting(const HeldForWriting &) = delete;
    HeldForWriting &operator=(const HeldForWriting &) = delete;
    bool held() const { return handle_ != nullptr; }

private:
    void *handle_ = nullptr;
};

// True where a file held open for writing can keep others from opening it for reading, as
// Windows' share modes do; elsewhere every reader opens it and reads what is there now.
bool WritersCanKeepReadersOut();
