// Orvane's recording operations against the emulated board, through our real library: runs
// inside the board's namespaces (emuboard.sh run -- ...), where 192.168.168.201 is the board.
// The functions share one board and run in order: list, copy, copy silently at length, clear.
#include "TestSupport.h"

#include "BoardTest.h"
#include "Lists.h"
#include "PcFiles.h"
#include "orvane/Unit1.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRandomGenerator>

namespace {

const QString SdFolder = QStringLiteral("/tmp/DCIM/100HSCAM");
const QString NotMounted =
    QStringLiteral("The USB disk is not mounted at /mnt/usb: nothing was copied.");

// The files in a folder, by name (the board's ls sorts the same way).
QStringList Files(const QString &folder, const QStringList &patterns = {}) {
    return QDir(folder).entryList(patterns, QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
}

void WriteRandom(const QString &path, qint64 size) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (qint64 left = size; left > 0; left -= block.size()) {
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(block.data()),
                                              block.size() / 4);
        const qint64 n = std::min<qint64>(left, block.size());
        QCOMPARE(file.write(block.constData(), n), n);
    }
    file.close();
    // The mode the board's recordings carry; set on the host, where the board's files are.
    QVERIFY(HostShell(QStringLiteral("chmod 755 '%1'").arg(path)));
}

// Verifies that the disk holds byte-exact copies of exactly the SD folder's MP4 files.
void VerifyDiskMirrorsMp4s() {
    const QString sd = Board(SdFolder);
    const QString usb = UsbDisk();
    const QStringList mp4s = Files(sd, {QStringLiteral("*.MP4")});
    QCOMPARE(Files(usb), mp4s);
    for (const QString &name : mp4s) {
        QVERIFY2(ReadFile(sd + '/' + name) == ReadFile(usb + '/' + name),
                 qPrintable(name + " differs on the disk"));
    }
}

} // namespace

class RecordingBoardTest : public QObject {
    Q_OBJECT

    std::unique_ptr<orvane::TForm1> form_;

    void Click(QPushButton *button) {
        BoxCapture boxes;
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY2(boxes.shown.empty(),
                 qPrintable(boxes.shown.empty() ? QString() : boxes.shown.front().text));
    }

    bool HasUsbDisk() const { return !UsbDisk().isEmpty(); }

private slots:
    void initTestCase() {
        TAVRIN_BOARD_TEST_INIT();
        form_ = ShownOnBoard<orvane::TForm1>();
        QVERIFY(form_);
    }

    void cleanupTestCase() { form_.reset(); }

    // Files are listed; a sub-folder and anything not marked as a file is not.
    void sdListing() {
        if (!HasUsbDisk()) {
            QSKIP("the board without a USB disk only serves noUsbDisk");
        }
        const QString sd = Board(SdFolder);
        QVERIFY(QDir(sd).mkdir(QStringLiteral("MISC")));
        const QStringList files = Files(sd);
        QCOMPARE(files.filter(QStringLiteral(".MP4")).size(), 3);
        QVERIFY(!files.filter(QStringLiteral(".JPG")).isEmpty());
        Click(form_->BitBtn1);
        QCOMPARE(form_->LogLines(), QStringList{"Reading Files from SD"});
        QCOMPARE(form_->Panel2->text(), QStringLiteral("Finished "));
        QCOMPARE(Items(*form_->ListBox1), files);
    }

    // Exactly the MP4 files reach the disk, byte for byte, and the list shows the disk. A
    // second copy finds the mount point and the mount in place and still succeeds, and the list
    // still shows each file once; so does a USB listing.
    void usbCopy() {
        if (!HasUsbDisk()) {
            QSKIP("the board without a USB disk only serves noUsbDisk");
        }
        const QStringList mp4s = Files(Board(SdFolder), {QStringLiteral("*.MP4")});
        for (int round = 1; round <= 2; ++round) {
            Click(form_->BitBtn3);
            QCOMPARE(form_->Panel2->text(), QStringLiteral("Finished !! "));
            QVERIFY2(!form_->LogLines().contains(NotMounted),
                     qPrintable(form_->LogLines().join(" | ")));
            VerifyDiskMirrorsMp4s();
            QCOMPARE(Items(*form_->ListBox2), mp4s);
        }
        form_->SetStatus(QString());
        Click(form_->BitBtn4);
        QCOMPARE(form_->Panel2->text(), QStringLiteral("Finished !! "));
        QCOMPARE(Items(*form_->ListBox2), mp4s);
    }

    // A cp that prints nothing for longer than the session's 5 s idle time-out still completes:
    // a large recording, then one that trickles in from a slow source for about 7 s.
    void silentLongCopy() {
        if (!HasUsbDisk()) {
            QSKIP("the board without a USB disk only serves noUsbDisk");
        }
        const QString sd = Board(SdFolder);
        WriteRandom(sd + QStringLiteral("/BIG.MP4"), qint64{96} << 20);
        const QString slowPath = sd + QStringLiteral("/SLOW.MP4");
        const QString slowSource = Board(QStringLiteral("/tmp/slow.src"));
        QByteArray slow(7 * 64 * 1024, Qt::Uninitialized);
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(slow.data()),
                                              slow.size() / 4);
        QVERIFY(WriteFile(slowSource, slow));
        // A pipe in place of the recording, fed on the host in seven parts a second apart once
        // cp opens it; the feeder gives up after 60 s.
        QVERIFY(HostShell(QStringLiteral("mkfifo -m 755 '%1' && { timeout 60 sh -c 'exec 3>\"$1\"; "
                                         "for i in 0 1 2 3 4 5 6; do sleep 1; dd if=\"$2\" "
                                         "bs=65536 skip=$i count=1 >&3 2>/dev/null; done' "
                                         "feeder '%1' '%2' </dev/null >/dev/null 2>&1 & }")
                              .arg(slowPath, slowSource)));
        QElapsedTimer timer;
        timer.start();
        Click(form_->BitBtn3);
        const qint64 ms = timer.elapsed();
        QFile::remove(slowPath);
        QFile::remove(slowSource);
        QVERIFY2(ms > 1000 + 6000, qPrintable(QStringLiteral("the copy took only %1 ms").arg(ms)));
        QCOMPARE(form_->Panel2->text(), QStringLiteral("Finished !! "));
        const QString usb = UsbDisk();
        QVERIFY2(ReadFile(usb + QStringLiteral("/SLOW.MP4")) == slow, "the slow recording differs");
        QVERIFY2(ReadFile(usb + QStringLiteral("/BIG.MP4")) ==
                     ReadFile(sd + QStringLiteral("/BIG.MP4")),
                 "the large recording differs");
        QVERIFY2(Items(*form_->ListBox2).contains(QStringLiteral("BIG.MP4")),
                 qPrintable(Items(*form_->ListBox2).join(QLatin1Char(' ')) + " | " +
                            form_->LogLines().join(QStringLiteral(" | "))));
        QVERIFY(QFile::remove(sd + QStringLiteral("/BIG.MP4")));
        QVERIFY(QFile::remove(usb + QStringLiteral("/BIG.MP4")));
        QVERIFY(QFile::remove(usb + QStringLiteral("/SLOW.MP4")));
    }

    // Every file goes; the sub-folder stays (rm says so), and the SD list keeps its items.
    void sdClear() {
        if (!HasUsbDisk()) {
            QSKIP("the board without a USB disk only serves noUsbDisk");
        }
        const QString sd = Board(SdFolder);
        Click(form_->BitBtn1);
        const QStringList listed = Items(*form_->ListBox1);
        QVERIFY(!listed.isEmpty());
        Click(form_->BitBtn2);
        QCOMPARE(Files(sd), QStringList());
        QCOMPARE(QDir(sd).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("MISC")});
        QCOMPARE(form_->Panel2->text(), QStringLiteral("Finished !! "));
        // rm's own words: the sub-folder was not removed.
        QVERIFY2(form_->LogLines().constFirst().contains(QStringLiteral("MISC")),
                 qPrintable(form_->LogLines().join(QStringLiteral(" | "))));
        QCOMPARE(Items(*form_->ListBox1), listed);
        Click(form_->BitBtn1);
        QCOMPARE(Items(*form_->ListBox1), QStringList());
    }

    // Without a USB disk, nothing is copied into the board's own /mnt/usb folder.
    void noUsbDisk() {
        if (HasUsbDisk()) {
            QSKIP("needs a board without a USB disk (emuboard.sh run --no-usb)");
        }
        form_->ListBox2->addItem(QStringLiteral("earlier"));
        Click(form_->BitBtn3);
        QCOMPARE(form_->LogLines().constLast(), NotMounted);
        QCOMPARE(form_->Panel2->text(), QStringLiteral("Please Wait  "));
        QCOMPARE(Items(*form_->ListBox2), QStringList{QStringLiteral("earlier")});
        QVERIFY(QDir(Board(QStringLiteral("/mnt/usb"))).exists());
        QCOMPARE(
            QDir(Board(QStringLiteral("/mnt/usb")))
                .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList());
    }
};

TAVRIN_TEST_MAIN(RecordingBoardTest)
#include "tst_recording_board.moc"
