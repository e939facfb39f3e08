// What the transfer tests share: the file sets' names and the logs of their uploads, and helpers
// for files on the PC side.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <random>

const QStringList BurnNames = {"config",           "usb-burn.xml",    "media_app_zip.bin",
                               "paramfs.jffs2",    "privatefs.jffs2", "rootfs.jffs2",
                               "u-boot.bin",       "uImage",          "config_change",
                               "u-boot_change.bin"};
const QStringList UpdateNames = {"rtspserver.dat", "rtspserver_les.dat", "rtspserver_ref.dat",
                                 "sample_rtspserver"};

// clang-format off
// The burn upload's log after the picker's line when every rm prints nothing.
const QStringList BurnLog = {
    "", "-- Delete config --",
    "", "-- Delete usb-burn.xml --",
    "", "-- Delete media_app_zip.bin --",
    "", "-- Delete paramfs.jffs2 --",
    "", "-- Delete privatefs.jffs2 --",
    "", "-- Delete rootfs.jffs2 --",
    "", "-- Delete u-boot.bin --",
    "", "-- Delete uImage --",
    "", "-- Delete config_change --",
    "", "-- Delete u-boot_change.bin --",
    "", "-- Update config --",
    "", "", // usb-burn.xml has no update line
    "", "-- Update media_app_zip.bin --",
    "", "-- Update paramfs.jffs2 --",
    "", "-- Update privatefs.jffs2 --",
    "", "-- Update rootfs.jffs2 --",
    "", "-- Update u-boot.bin --",
    "", "-- Update uImage --",
    "Burn files Upload OK.",
    "", "Please  Reboot Board",
};

// The application update's log after the picker's line when no command prints anything.
const QStringList UpdateLog = {
    "", "-- Delete rtspserver.dat --",
    "", "-- Delete rtspserver_les.dat --",
    "", "-- Delete rtspserver_ref.dat --",
    "", "-- Delete sample_rtspserver --",
    "", "-- Update rtspserver.dat --",
    "", "-- Update rtspserver_les.dat --",
    "", "-- Update rtspserver_ref.dat --",
    "", "-- Update sample_rtspserver --",
    "Updated files Upload OK.",
    "", "Please  Reboot Board",
    "", "chmod 777",
};
// clang-format on

// Contents that differ from file to file and from run to run of the same seed.
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
