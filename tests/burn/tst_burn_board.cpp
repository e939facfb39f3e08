// Pyrelle's transfer operations end to end: our real library against the emulated board. Runs
// inside the board's namespaces (emuboard.sh run -- ...), where 192.168.168.201 is the board
// and BOARD_ROOT is the board's root folder as the host sees it.
#include "TestSupport.h"

#include "BoardTest.h"
#include "BurnTestSupport.h"
#include "PcFiles.h"
#include "pyrelle/Unit1.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

namespace {

// A realistic burn set: kernel, root file system and application image at their usual sizes.
const QMap<QString, qint64> BurnSizes = {
    {"config", 2 << 10},
    {"usb-burn.xml", 1 << 10},
    {"media_app_zip.bin", 16 << 20},
    {"paramfs.jffs2", 256 << 10},
    {"privatefs.jffs2", 1 << 20},
    {"rootfs.jffs2", 32 << 20},
    {"u-boot.bin", 192 << 10},
    {"uImage", 4 << 20},
    {"config_change", 64},
    {"u-boot_change.bin", 96 << 10},
};

QByteArray Sha(const QString &path) {
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file)) {
        return {};
    }
    return hash.result().toHex();
}

// Every file under a folder with its contents' hash: what "unchanged" is checked against.
QMap<QString, QByteArray> Snapshot(const QString &folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path), Sha(path));
    }
    return files;
}

// A board file's permission bits, as the host's stat sees them; empty when it cannot tell.
QString Mode(const QString &path) {
    const std::optional<QByteArray> mode = HostShell(QStringLiteral("stat -c %a '%1'").arg(path));
    return mode ? QString::fromLatin1(mode->trimmed()) : QString();
}

} // namespace

class BoardTransferTest : public QObject {
    Q_OBJECT

    QTemporaryDir pc_;
    std::unique_ptr<pyrelle::TForm1> form_;

    // Under a folder whose name no single code page holds, as a technician's may be named.
    QString PcFolder(const QString &name) const {
        const QString folder = Native(pc_.path() + QStringLiteral("/Überträge Прошивка/") + name);
        QDir().mkpath(folder);
        return folder;
    }

    // The same, nested until a file inside is well past Windows' MAX_PATH of 260 characters, as
    // in a technician's deep folders.
    QString DeepPcFolder(const QString &name) const {
        QString nested = name;
        while (PcFolder(QString()).size() + nested.size() < 300) {
            nested += QStringLiteral("/Firmware images of the recording board");
        }
        return PcFolder(nested);
    }

    // Clicks a button with the picker answering `folder` and every message box with OK.
    QStringList Click(QPushButton *button, const QString &folder) {
        form_->SetStatus(QStringLiteral("earlier status"));
        BoxCapture boxes;
        PickerScript picker({folder});
        QTest::mouseClick(button, Qt::LeftButton);
        return form_->LogLines();
    }

private slots:
    void initTestCase() {
        TAVRIN_BOARD_TEST_INIT();
        QVERIFY(pc_.isValid());
        form_ = std::make_unique<pyrelle::TForm1>();
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    }

    void cleanupTestCase() { form_.reset(); }

    // The eight files land byte-exact in /tmp; the two that are only deleted are gone, even
    // though the PC folder holds them too.
    void burnUpload() {
        const QString folder = PcFolder("burn");
        std::uint64_t seed = 1;
        for (auto it = BurnSizes.cbegin(); it != BurnSizes.cend(); ++it) {
            QVERIFY(WriteFile(PcFile(folder, it.key()), Pattern(it.value(), seed++)));
            QVERIFY(WriteFile(Board("/tmp/" + it.key()), "old " + it.key().toUtf8()));
        }
        const QStringList log = Click(form_->BitBtn1, folder);

        QCOMPARE(log, QStringList{"Source Folder : " + folder} + BurnLog);
        QCOMPARE(form_->Panel2->text(), QStringLiteral("Please  Reboot Board !! "));
        for (const QString &name : BurnNames.mid(0, 8)) {
            QVERIFY2(Sha(Board("/tmp/" + name)) == Sha(PcFile(folder, name)),
                     qPrintable(name + " on the board differs from the PC's copy"));
        }
        for (const QString &name : BurnNames.mid(8)) {
            QVERIFY2(!QFile::exists(Board("/tmp/" + name)),
                     qPrintable(name + " is still on the board"));
        }
    }

    // A PC folder that lacks a burn file leaves the board's /tmp as it was.
    void burnUploadWithFileMissing() {
        const QString folder = PcFolder("burn-incomplete");
        for (const QString &name : BurnNames) {
            QVERIFY(WriteFile(Board("/tmp/" + name), "kept " + name.toUtf8()));
            if (name != QLatin1String("rootfs.jffs2")) {
                QVERIFY(WriteFile(PcFile(folder, name), name.toUtf8()));
            }
        }
        const QMap<QString, QByteArray> before = Snapshot(Board("/tmp"));
        const QStringList log = Click(form_->BitBtn1, folder);

        QCOMPARE(log, (QStringList{"Source Folder : " + folder, "Files missing or unreadable in " +
                                                                    folder + " : rootfs.jffs2"}));
        QCOMPARE(Snapshot(Board("/tmp")), before);
        QCOMPARE(form_->Panel2->text(), QStringLiteral("earlier status"));
    }

    // The four files replace /app's; the server program ends up with mode 777.
    void updateUpload() {
        const QString folder = PcFolder("update");
        std::uint64_t seed = 100;
        for (const QString &name : UpdateNames) {
            QVERIFY(WriteFile(PcFile(folder, name), Pattern(48 << 10, seed++)));
        }
        QVERIFY(QFile::setPermissions(PcFile(folder, "sample_rtspserver"),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                          QFile::ReadOther));
        QVERIFY(QFile::setPermissions(Board("/app/sample_rtspserver"),
                                      QFile::ReadOwner | QFile::WriteOwner));
        const QStringList log = Click(form_->BitBtn2, folder);

        QCOMPARE(log, QStringList{"Source Folder : " + folder} + UpdateLog);
        QCOMPARE(form_->Panel2->text(), QStringLiteral("Turn off and turn on the Board Power !! "));
        for (const QString &name : UpdateNames) {
            QVERIFY2(Sha(Board("/app/" + name)) == Sha(PcFile(folder, name)),
                     qPrintable(name + " on the board differs from the PC's copy"));
        }
        QCOMPARE(Mode(Board("/app/sample_rtspserver")), QStringLiteral("777"));
    }

    // Download to the PC, change the board's copy, upload it back: the original returns.
    void configRoundTrip() {
        const QString folder = PcFolder("config");
        const QByteArray original = Pattern(12345, 7);
        QVERIFY(WriteFile(Board("/app/rtspserver.dat"), original));

        QCOMPARE(Click(form_->BitBtn3, folder),
                 (QStringList{"Destination Folder : " + folder,
                              "Configuration file \"rtspserver.dat\" Download OK."}));
        QCOMPARE(ReadFile(PcFile(folder, "rtspserver.dat")), original);

        QVERIFY(WriteFile(Board("/app/rtspserver.dat"), "changed on the board"));
        QCOMPARE(Click(form_->BitBtn4, folder),
                 (QStringList{"Source Folder : " + folder,
                              "Configuration file \"rtspserver.dat\" Upload OK."}));
        QCOMPARE(ReadFile(Board("/app/rtspserver.dat")), original);
        QCOMPARE(form_->Panel2->text(), QStringLiteral("earlier status"));
    }

    void downloadOfMissingFile_data() {
        QTest::addColumn<QByteArray>("earlierCopy"); // null: the folder holds no copy
        QTest::newRow("over an earlier copy") << QByteArray("the technician's saved settings");
        QTest::newRow("into an empty folder") << QByteArray();
    }

    // The board has no configuration file: the error text is logged and the PC folder is
    // exactly as it was, an earlier copy included.
    void downloadOfMissingFile() {
        QFETCH(QByteArray, earlierCopy);
        const QString folder = PcFolder(QTest::currentDataTag());
        if (!earlierCopy.isNull()) {
            QVERIFY(WriteFile(PcFile(folder, "rtspserver.dat"), earlierCopy));
        }
        QFile::remove(Board("/app/rtspserver.dat"));
        const QMap<QString, QByteArray> before = Snapshot(folder);
        const QStringList log = Click(form_->BitBtn3, folder);

        // The library's error text is one entry of several lines.
        QVERIFY(log.size() >= 2);
        QCOMPARE(log[0], "Destination Folder : " + folder);
        const QString error = log.mid(1).join(QLatin1Char('\n'));
        QVERIFY2(error.contains(QStringLiteral("/app/rtspserver.dat")),
                 qPrintable("the error text names the board file: " + error));
        QVERIFY2(!error.contains(QStringLiteral("Download OK.")), qPrintable(error));
        QCOMPARE(Snapshot(folder), before);
    }

    void fileStillBeingWritten_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("held"); // the file another program still writes
        QTest::addColumn<bool>("deep");    // in a folder past MAX_PATH
        QTest::newRow("burn: rootfs.jffs2 still being unpacked") << "burn"
                                                                 << "rootfs.jffs2" << false;
        QTest::newRow("update: sample_rtspserver still being written")
            << "update"
            << "sample_rtspserver" << false;
        QTest::newRow("burn: past MAX_PATH, uImage still being unpacked") << "burn"
                                                                          << "uImage" << true;
    }

    // A PC file that another program holds open for writing, as an unpacker does, cannot be
    // read for the upload on Windows: the check before the deletions names it and says why, and
    // nothing on the board is touched. Elsewhere it is read as it is now, as it always was.
    void fileStillBeingWritten() {
        QFETCH(QString, operation);
        QFETCH(QString, held);
        QFETCH(bool, deep);
        const bool burn = operation == QLatin1String("burn");
        const QString name = "held-" + operation;
        const QString folder = deep ? DeepPcFolder(name) : PcFolder(name);
        const QString boardFolder = burn ? QStringLiteral("/tmp/") : QStringLiteral("/app/");
        std::uint64_t seed = 200;
        for (const QString &file : burn ? BurnNames.mid(0, 8) : UpdateNames) {
            QVERIFY(WriteFile(PcFile(folder, file), Pattern(64 << 10, seed++)));
        }
        for (const QString &file : burn ? BurnNames : UpdateNames) {
            QVERIFY(WriteFile(Board(boardFolder + file), "kept " + file.toUtf8()));
        }
        const QMap<QString, QByteArray> before = Snapshot(Board(boardFolder));
        QStringList log;
        {
            const HeldForWriting writer(PcFile(folder, held));
            QVERIFY(writer.held());
            log = Click(burn ? form_->BitBtn1 : form_->BitBtn2, folder);
        }

        if (!WritersCanKeepReadersOut()) {
            QCOMPARE(log, QStringList{"Source Folder : " + folder} + (burn ? BurnLog : UpdateLog));
            return;
        }
        QCOMPARE(log, (QStringList{"Source Folder : " + folder,
                                   "Files missing or unreadable in " + folder + " : " + held +
                                       " (it is in use by another program)"}));
        QCOMPARE(Snapshot(Board(boardFolder)), before);
        QCOMPARE(form_->Panel2->text(), QStringLiteral("earlier status"));
    }

    // Files in a folder past MAX_PATH: the burn files land byte-exact, the configuration file
    // comes down into it and goes back up unchanged.
    void folderPastMaxPath() {
        const QString folder = DeepPcFolder("deep");
        QVERIFY2(PcFile(folder, "rootfs.jffs2").size() > 260, qPrintable(folder));
        std::uint64_t seed = 300;
        for (const QString &name : BurnNames) {
            QVERIFY(WriteFile(PcFile(folder, name), Pattern(96 << 10, seed++)));
            QVERIFY(WriteFile(Board("/tmp/" + name), "old " + name.toUtf8()));
        }
        QCOMPARE(Click(form_->BitBtn1, folder), QStringList{"Source Folder : " + folder} + BurnLog);
        for (const QString &name : BurnNames.mid(0, 8)) {
            QVERIFY2(Sha(Board("/tmp/" + name)) == Sha(PcFile(folder, name)),
                     qPrintable(name + " on the board differs from the PC's copy"));
        }

        const QByteArray original = Pattern(23456, 9);
        QVERIFY(WriteFile(Board("/app/rtspserver.dat"), original));
        QCOMPARE(Click(form_->BitBtn3, folder),
                 (QStringList{"Destination Folder : " + folder,
                              "Configuration file \"rtspserver.dat\" Download OK."}));
        QCOMPARE(ReadFile(PcFile(folder, "rtspserver.dat")), original);
        QVERIFY(WriteFile(Board("/app/rtspserver.dat"), "changed on the board"));
        QCOMPARE(Click(form_->BitBtn4, folder),
                 (QStringList{"Source Folder : " + folder,
                              "Configuration file \"rtspserver.dat\" Upload OK."}));
        QCOMPARE(ReadFile(Board("/app/rtspserver.dat")), original);
    }
};

TAVRIN_TEST_MAIN(BoardTransferTest)
#include "tst_burn_board.moc"
