// What the tests on the emulated board share. They run inside the board's namespaces
// (emuboard.sh run -- <test>), which name the board's root folder as the host sees it
// (BOARD_ROOT), its address (BOARD_ADDR), its USB disk (BOARD_USB_DIR) and its control script
// (BOARD_CTL); and they reach the board through our real library, REAL_CK_PATH (set by
// board_test_support in CMake).
#pragma once

#include "dynlib.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

// The board's address, as Board IP takes it.
inline QString BoardAddress() {
    return qEnvironmentVariable("BOARD_ADDR");
}

// A path on the board, as the host sees it.
inline QString Board(const QString &path) {
    return qEnvironmentVariable("BOARD_ROOT") + path;
}

inline std::filesystem::path BoardPath(const char *path) {
    return std::filesystem::path(qEnvironmentVariable("BOARD_ROOT").toStdString() + path);
}

// The folder of the USB disk plugged into the board, as the host sees it; empty when the board
// has none (emuboard.sh run --no-usb).
inline QString UsbDisk() {
    return qEnvironmentVariable("BOARD_USB_DIR");
}

// Runs the emulated board's control script (stop, cont, kill-sessions, restart).
inline bool BoardCtl(const char *action) {
    const std::string command = qEnvironmentVariable("BOARD_CTL").toStdString() + " " + action;
    return std::system(command.c_str()) == 0;
}

// Runs a shell script on the host (the machine that holds the board's files) and gives what
// it printed, or nothing when it failed or took over two minutes. Under Wine the script still
// runs on the Linux side, where Wine starts Unix programs too; as Wine gives back neither such
// a program's output, nor its exit status, nor a handle to wait on, all three travel through
// files.
inline std::optional<QByteArray> HostShell(const QString &script) {
    QTemporaryDir dir(QStringLiteral("/tmp/hostshell-XXXXXX"));
    if (!dir.isValid()) {
        return std::nullopt;
    }
    // Wine's drive Z: is the Linux root; the shell wants the Linux path.
    QString folder = QDir::fromNativeSeparators(dir.path());
    if (folder.startsWith(QLatin1String("Z:"), Qt::CaseInsensitive)) {
        folder = folder.mid(2);
    }
    if (!QProcess::startDetached(
            QStringLiteral("/bin/sh"),
            {QStringLiteral("-c"),
             QStringLiteral(
                 "cd '%1' && { (%2) >out 2>&1; echo $? >status.new; mv status.new status; }")
                 .arg(folder, script)})) {
        return std::nullopt;
    }
    QFile status(dir.filePath(QStringLiteral("status")));
    QDeadlineTimer deadline(std::chrono::minutes(2));
    while (!status.exists()) {
        if (deadline.hasExpired()) {
            return std::nullopt;
        }
        QThread::msleep(20);
    }
    QFile output(dir.filePath(QStringLiteral("out")));
    if (!status.open(QIODevice::ReadOnly) || status.readAll().trimmed() != "0" ||
        !output.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return output.readAll();
}

// Checks that a board test runs inside the board and loads our real library by path; the
// program's loader then finds it already loaded.
#define TAVRIN_BOARD_TEST_INIT()                                                                   \
    do {                                                                                           \
        QVERIFY2(!qEnvironmentVariable("BOARD_ROOT").isEmpty(),                                    \
                 "run inside the emulated board: emuboard.sh run -- <this test>");                 \
        QVERIFY2(dynlib::LoadByName(REAL_CK_PATH) != 0, "cannot load " REAL_CK_PATH);              \
    } while (false)

// A program's window, shown, with the emulated board's address in Board IP; null when it could
// not be shown.
template <class Form> std::unique_ptr<Form> ShownOnBoard() {
    auto form = std::make_unique<Form>();
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get())) {
        return nullptr;
    }
    form->BIP->setText(BoardAddress());
    return form;
}

// The file descriptors this process holds, each as "number -> what it refers to", sockets among
// them: a session, a transfer or a PC file left open keeps one.
// A listing that could not be read holds one entry that says so, which no check passes.
inline const QString UnreadableDescriptors = QStringLiteral("unreadable: ");

inline QStringList OpenDescriptors() {
    std::map<int, QString> open;
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator("/proc/self/fd", ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        std::error_code linkError;
        const auto target = std::filesystem::read_symlink(it->path(), linkError);
        open[std::atoi(it->path().filename().string().c_str())] =
            QString::fromStdString(target.string());
    }
    if (ec) {
        return {UnreadableDescriptors + QStringLiteral("/proc/self/fd: ") +
                QString::fromStdString(ec.message())};
    }
    QStringList listed;
    for (const auto &[fd, target] : open) {
        // The listing's own descriptor.
        if (!(target.startsWith(QLatin1String("/proc/")) &&
              target.endsWith(QLatin1String("/fd")))) {
            listed << QStringLiteral("%1 -> %2").arg(fd).arg(target);
        }
    }
    return listed;
}

// Empty while as many descriptors are open as `before` held; otherwise which ones came or went,
// so that a leak names itself.
inline QString DescriptorsChanged(const QStringList &before) {
    const QStringList now = OpenDescriptors();
    for (const QStringList *listing : {&before, &now}) {
        if (listing->size() == 1 && listing->front().startsWith(UnreadableDescriptors)) {
            return QStringLiteral("the open descriptors cannot be counted: ") + listing->front();
        }
    }
    if (now.size() == before.size()) {
        return {};
    }
    QStringList came, went;
    for (const QString &d : now) {
        if (!before.contains(d)) {
            came << d;
        }
    }
    for (const QString &d : before) {
        if (!now.contains(d)) {
            went << d;
        }
    }
    return QStringLiteral("%1 descriptors open, %2 before; opened: %3; closed: %4")
        .arg(now.size())
        .arg(before.size())
        .arg(came.join(QStringLiteral(", ")), went.join(QStringLiteral(", ")));
}

// Fails the test unless as many descriptors are open as `before` held, naming the difference.
#define VERIFY_DESCRIPTORS_AS(before)                                                              \
    do {                                                                                           \
        const QString changed_ = DescriptorsChanged(before);                                       \
        QVERIFY2(changed_.isEmpty(), qPrintable(changed_));                                        \
    } while (false)
