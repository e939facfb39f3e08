// Board faults in the middle of the programs' own operations, through our real library against
// the emulated board: the board's SSH processes killed, or the board stalled, while a transfer
// or a command is under way. The operation ends, the window stays usable, no descriptor is left
// open, and the same operation succeeds once the board is back. Runs inside the board's namespaces
// (emuboard.sh run -- ...).
#include "TestSupport.h"

#include "BurnTestSupport.h"
#include "PcFiles.h"
#include "ReliabilitySupport.h"
#include "orvane/Unit1.h"
#include "pyrelle/Unit1.h"

#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <optional>

namespace {

enum class Operation { BurnUpload, ConfigDownload, RebootCommand, UsbCopy };

const QString SdFolder = QStringLiteral("/tmp/DCIM/100HSCAM");
// Large enough that the fault lands long before the transfer could end.
constexpr qint64 SlowSize = qint64{128} << 20;
constexpr qint64 FaultAfterBytes = qint64{8} << 20;
constexpr int IdleTimeoutMs = 5000;

qint64 FileSize(const std::filesystem::path &path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    return ec ? -1 : static_cast<qint64>(size);
}

// A sparse file: the transfer reads zeros without the disk holding them.
bool WriteSparse(const QString &path, qint64 size) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.resize(size);
}

// Every file in a folder with its contents: what "unchanged" is checked against.
QMap<QString, QByteArray> Snapshot(const QString &folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(it.fileName(), ReadFile(path));
    }
    return files;
}

QString Joined(const QStringList &log) {
    return log.join(QStringLiteral(" | "));
}

} // namespace

class FaultsTest : public QObject {
    Q_OBJECT

    QTemporaryDir pc_;
    std::unique_ptr<orvane::TForm1> orvane_;
    std::unique_ptr<pyrelle::TForm1> pyrelle_;
    // The USB copy's slow recording, opened by the fault's thread once cp reads it, and held
    // open until that thread has ended.
    int usbReader_ = -1;

    QString PcFolder(const QString &name) const {
        const QString folder = Native(pc_.path() + QLatin1Char('/') + name);
        QDir().mkpath(folder);
        return folder;
    }

    shell::TMainForm &Form(Operation op) const {
        if (op == Operation::UsbCopy) {
            return *orvane_;
        }
        return *pyrelle_;
    }

    // Sets the board and the PC up for the operation; `slow` makes it last long enough for a
    // fault to land in the middle of it.
    void Prepare(Operation op, bool slow) {
        switch (op) {
        case Operation::BurnUpload: {
            const QString folder = PcFolder(QStringLiteral("burn"));
            for (const QString &name : BurnNames) {
                QVERIFY(WriteFile(PcFile(folder, name), Pattern(1000, qHash(name))));
            }
            QVERIFY(WriteSparse(PcFile(folder, QStringLiteral("rootfs.jffs2")),
                                slow ? SlowSize : 64 << 10));
            // What an earlier run left there must not look like this run's progress.
            QFile::remove(Board(QStringLiteral("/tmp/rootfs.jffs2")));
            break;
        }
        case Operation::ConfigDownload:
            QVERIFY(WriteFile(PcFile(PcFolder(QStringLiteral("config")), "rtspserver.dat"),
                              "the technician's saved settings"));
            QVERIFY(
                slow ? WriteSparse(Board(QStringLiteral("/app/rtspserver.dat")), SlowSize)
                     : WriteFile(Board(QStringLiteral("/app/rtspserver.dat")), Pattern(12345, 3)));
            break;
        case Operation::RebootCommand:
            QFile::remove(Board(QStringLiteral("/tmp/reboot-running")));
            break;
        case Operation::UsbCopy: {
            const QString fifo = Board(SdFolder + QStringLiteral("/SLOW.MP4"));
            QFile::remove(fifo);
            if (slow) {
                QVERIFY(mkfifo(qPrintable(fifo), 0755) == 0);
            }
            break;
        }
        }
    }

    // True once the operation is in the middle of the part that the fault is meant to hit.
    std::function<bool()> InTheMiddle(Operation op) {
        switch (op) {
        case Operation::BurnUpload:
            return [] { return FileSize(BoardPath("/tmp/rootfs.jffs2")) >= FaultAfterBytes; };
        case Operation::ConfigDownload:
            return [folder = PcFolder(QStringLiteral("config")).toStdString()] {
                std::error_code ec;
                for (const auto &f : std::filesystem::directory_iterator(folder, ec)) {
                    if (f.path().filename().string().starts_with("rtspserver.dat.part-") &&
                        FileSize(f.path()) >= FaultAfterBytes) {
                        return true;
                    }
                }
                return false;
            };
        case Operation::RebootCommand:
            return [] { return std::filesystem::exists(BoardPath("/tmp/reboot-running")); };
        case Operation::UsbCopy:
            // cp has opened the slow recording once a writer can open the pipe.
            return [this, fifo = Board(SdFolder + QStringLiteral("/SLOW.MP4")).toStdString()] {
                usbReader_ = open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                return usbReader_ >= 0;
            };
        }
        return {};
    }

    // Clicks the operation's button, with the picker answering its folder and any message box
    // answered with OK; the log then starts empty.
    void Click(Operation op) {
        BoxCapture boxes;
        switch (op) {
        case Operation::BurnUpload: {
            PickerScript picker({PcFolder(QStringLiteral("burn"))});
            QTest::mouseClick(pyrelle_->BitBtn1, Qt::LeftButton);
            break;
        }
        case Operation::ConfigDownload: {
            PickerScript picker({PcFolder(QStringLiteral("config"))});
            QTest::mouseClick(pyrelle_->BitBtn3, Qt::LeftButton);
            break;
        }
        case Operation::RebootCommand:
            pyrelle_->LogClear();
            QTest::mouseClick(pyrelle_->BitBtn5, Qt::LeftButton);
            break;
        case Operation::UsbCopy:
            QTest::mouseClick(orvane_->BitBtn3, Qt::LeftButton);
            break;
        }
        QVERIFY2(boxes.shown.empty(),
                 qPrintable("a message box showed: " +
                            (boxes.shown.empty() ? QString() : boxes.shown[0].text)));
    }

    // The operation ran to its end: its own success lines, and what it moved arrived.
    void VerifySucceeded(Operation op) {
        const QStringList log = Form(op).LogLines();
        switch (op) {
        case Operation::BurnUpload:
            QVERIFY2(log.contains(QStringLiteral("Burn files Upload OK.")),
                     qPrintable(Joined(log)));
            QCOMPARE(pyrelle_->Panel2->text(), QStringLiteral("Please  Reboot Board !! "));
            QCOMPARE(ReadFile(Board(QStringLiteral("/tmp/rootfs.jffs2"))),
                     ReadFile(PcFile(PcFolder(QStringLiteral("burn")), "rootfs.jffs2")));
            break;
        case Operation::ConfigDownload:
            QCOMPARE(log.constLast(),
                     QStringLiteral("Configuration file \"rtspserver.dat\" Download OK."));
            QCOMPARE(ReadFile(PcFile(PcFolder(QStringLiteral("config")), "rtspserver.dat")),
                     ReadFile(Board(QStringLiteral("/app/rtspserver.dat"))));
            break;
        case Operation::RebootCommand:
            QCOMPARE(log, (QStringList{QString(), QStringLiteral("Tavrin Reboot OK.")}));
            break;
        case Operation::UsbCopy:
            QCOMPARE(orvane_->Panel2->text(), QStringLiteral("Finished !! "));
            QVERIFY2(QFile::exists(UsbDisk() + "/REC0001.MP4"), qPrintable(Joined(log)));
            break;
        }
    }

private slots:
    void initTestCase() {
        TAVRIN_BOARD_TEST_INIT();
        QVERIFY(pc_.isValid());
        orvane_ = ShownOnBoard<orvane::TForm1>();
        pyrelle_ = ShownOnBoard<pyrelle::TForm1>();
        QVERIFY(orvane_ && pyrelle_);
    }

    void cleanupTestCase() {
        pyrelle_.reset();
        orvane_.reset();
    }

    void faultInTheMiddle_data() {
        QTest::addColumn<Operation>("op");
        QTest::addColumn<QByteArray>("fault");    // BOARD_CTL action
        QTest::addColumn<QByteArray>("recovery"); // BOARD_CTL action that brings the board back
        // Whether the failure reaches the log. The USB copy's cp run is unchecked: the copy goes
        // on to its listing on a second session, which a board that lost only its sessions
        // serves.
        QTest::addColumn<bool>("reported");

        QTest::newRow("upload, board killed")
            << Operation::BurnUpload << QByteArray("kill-sessions") << QByteArray("restart")
            << true;
        QTest::newRow("download, board killed")
            << Operation::ConfigDownload << QByteArray("kill-sessions") << QByteArray("restart")
            << true;
        QTest::newRow("reboot command, board killed")
            << Operation::RebootCommand << QByteArray("kill-sessions") << QByteArray("restart")
            << true;
        QTest::newRow("USB copy's cp, board killed")
            << Operation::UsbCopy << QByteArray("kill-sessions") << QByteArray("restart") << false;
        QTest::newRow("reboot command, board stalled")
            << Operation::RebootCommand << QByteArray("stop") << QByteArray("cont") << true;
        QTest::newRow("upload, board stalled")
            << Operation::BurnUpload << QByteArray("stop") << QByteArray("cont") << true;
        QTest::newRow("download, board stalled")
            << Operation::ConfigDownload << QByteArray("stop") << QByteArray("cont") << true;
    }

    void faultInTheMiddle() {
        QFETCH(Operation, op);
        QFETCH(QByteArray, fault);
        QFETCH(QByteArray, recovery);
        QFETCH(bool, reported);
        const bool stall = fault == "stop";
        const QStringList descriptors = OpenDescriptors();
        Prepare(op, true);
        const QMap<QString, QByteArray> pcConfig = Snapshot(PcFolder(QStringLiteral("config")));
        qint64 failedAfterMs = -1;
        {
            // A command that stays busy, silently, for far longer than the test waits for it.
            std::optional<RebootCommand> slowReboot;
            if (op == Operation::RebootCommand) {
                slowReboot.emplace("touch /tmp/reboot-running; sleep 30");
            }
            const BoardCtlAtExit recover(recovery.constData());
            FaultWhen faultWhen(InTheMiddle(op), fault.constData());
            Click(op);
            const auto ended = SteadyClock::now();
            faultWhen.Join();
            if (usbReader_ >= 0) {
                close(usbReader_);
                usbReader_ = -1;
            }
            QVERIFY2(faultWhen.fired, "the fault never landed in the middle of the operation");
            failedAfterMs =
                std::chrono::duration_cast<std::chrono::milliseconds>(ended - faultWhen.firedAt)
                    .count();
        }
        const QStringList log = Form(op).LogLines();
        qInfo("%s: the operation ended %lld ms after the fault; log: %s", QTest::currentDataTag(),
              failedAfterMs, qPrintable(Joined(log.mid(log.size() - 4))));

        VERIFY_DESCRIPTORS_AS(descriptors);
        if (reported) {
            // The library's error text, one entry of three lines, ends the log.
            const qsizetype failed =
                log.indexOf(QRegularExpression(QStringLiteral(".* failed\\.")));
            QVERIFY2(failed >= 0 && failed + 3 == log.size() &&
                         log[failed + 1].startsWith(QStringLiteral("Step: ")) &&
                         log[failed + 2].startsWith(QStringLiteral("Cause: ")),
                     qPrintable("the log ends with the library's error text: " + Joined(log)));
            for (const QString &success :
                 {QStringLiteral("Upload OK."), QStringLiteral("Download OK."),
                  QStringLiteral("Tavrin Reboot OK.")}) {
                QVERIFY2(!Joined(log).contains(success), qPrintable(Joined(log)));
            }
        } else {
            // mkdir, mount and the lost cp's empty output; then the listing, which ends the copy
            // as if it had succeeded.
            QCOMPARE(log.mid(0, 3), (QStringList{QString(), QString(), QString()}));
            QCOMPARE(orvane_->Panel2->text(), QStringLiteral("Finished !! "));
        }
        if (stall) {
            QVERIFY2(Joined(log).contains(QStringLiteral("stopped answering")),
                     qPrintable(Joined(log)));
            QVERIFY2(failedAfterMs <= IdleTimeoutMs + 2000,
                     qPrintable(QStringLiteral("the stalled call failed only %1 ms after the "
                                               "board stopped")
                                    .arg(failedAfterMs)));
        }
        // A failed download never touches what the PC folder held.
        QCOMPARE(Snapshot(PcFolder(QStringLiteral("config"))), pcConfig);

        // The same window, the board back: the same operation runs to its end.
        Prepare(op, false);
        Click(op);
        VerifySucceeded(op);
        VERIFY_DESCRIPTORS_AS(descriptors);
    }
};

TAVRIN_TEST_MAIN(FaultsTest)
#include "tst_faults.moc"
