// What the board prints, of every size and shape, through the programs' own operations with our
// real library against the emulated board: the reboot command's output in Pyrelle's log, and
// the SD listing in Orvane's list. Runs inside the board's namespaces (emuboard.sh run -- ...).
#include "TestSupport.h"

#include "BoardSession.h"
#include "ReliabilitySupport.h"
#include "orvane/Unit1.h"
#include "pyrelle/Unit1.h"

#include "Seams.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include <fcntl.h>
#include <unistd.h>

#include <memory>

namespace {

constexpr qint64 MiB = qint64{1} << 20;

enum class Shape { Lines, Odd };

// Output bytes and the text the log must show for them, built side by side.
struct Output {
    QByteArray bytes;
    QString text;

    Output &Add(const QByteArray &raw, const QString &shown) {
        bytes += raw;
        text += shown;
        return *this;
    }
    Output &Ascii(const QByteArray &raw) { return Add(raw, QString::fromLatin1(raw)); }
};

// Numbered lines of plain text up to `size` bytes.
Output Lines(qint64 size) {
    Output out;
    out.bytes.reserve(size);
    for (int n = 0; out.bytes.size() < size; ++n) {
        out.bytes += QByteArray("line ") + QByteArray::number(n).rightJustified(8, '0') +
                     " of what the board printed, the same length each time\n";
    }
    out.bytes.truncate(size);
    out.text = QString::fromLatin1(out.bytes);
    return out;
}

// NUL bytes, bytes that are not UTF-8, and lines far longer than any screen. The library shows
// each NUL and each byte that is not UTF-8 as U+FFFD, and keeps everything around them.
Output Odd() {
    const QString bad(QChar(0xFFFD));
    Output out;
    out.Ascii("before a NUL").Add(QByteArray(1, '\0'), bad).Ascii("after it\n");
    out.Add("\xff\xfe lone bytes, \xc3\x28 a broken pair, \xe2\x82 a cut-off triple\n",
            bad + bad + " lone bytes, " + bad + "( a broken pair, " + bad + bad +
                " a cut-off triple\n");
    out.Add("valid: \xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\n",
            QStringLiteral("valid: \u00e9\u20ac") + QString::fromUcs4(U"\U0001F600") + "\n");
    out.Ascii(QByteArray(MiB, 'A') + "\n");
    out.Ascii(QByteArray(256 * 1024, 'B')).Add(QByteArray(1, '\0'), bad).Ascii("tail\n");
    out.Ascii("no line feed at the end");
    return out;
}

bool WriteBoardFile(const QString &path, const QByteArray &bytes) {
    QFile file(Board(path));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

} // namespace

class OutputTest : public QObject {
    Q_OBJECT

    std::unique_ptr<orvane::TForm1> orvane_;
    std::unique_ptr<pyrelle::TForm1> pyrelle_;

private slots:
    void initTestCase() {
        TAVRIN_BOARD_TEST_INIT();
        orvane_ = ShownOnBoard<orvane::TForm1>();
        pyrelle_ = ShownOnBoard<pyrelle::TForm1>();
        QVERIFY(orvane_ && pyrelle_);
    }

    void cleanupTestCase() {
        pyrelle_.reset();
        orvane_.reset();
    }

    void rebootOutput_data() {
        QTest::addColumn<Shape>("shape");
        QTest::addColumn<qint64>("size"); // of the lines
        QTest::addColumn<bool>("toStderr");
        // The peak memory the run may add. The output is held as text by the library, by the
        // operation and by the log, two bytes a character each, and the log lays out what it
        // shows: for lines, about 13 times the output; a 1 MiB line laid out for display
        // takes some 50 MiB of Qt's own.
        QTest::addColumn<qint64>("growthLimit");
        QTest::newRow("20 MiB on stdout") << Shape::Lines << 20 * MiB << false << 400 * MiB;
        QTest::newRow("5 MiB on stderr alone") << Shape::Lines << 5 * MiB << true << 100 * MiB;
        QTest::newRow("NUL, invalid UTF-8, 1 MiB line")
            << Shape::Odd << qint64{0} << false << 100 * MiB;
    }

    // The reboot command prints the row's output; the log shows all of it, exactly, then the
    // success line, with the memory the process took on the way bounded.
    void rebootOutput() {
        QFETCH(Shape, shape);
        QFETCH(qint64, size);
        QFETCH(bool, toStderr);
        QFETCH(qint64, growthLimit);
        {
            const Output output = shape == Shape::Lines ? Lines(size) : Odd();
            QVERIFY(WriteBoardFile(QStringLiteral("/tmp/output.bin"), output.bytes));
            const RebootCommand command(toStderr ? "cat /tmp/output.bin >&2"
                                                 : "cat /tmp/output.bin");
            pyrelle_->LogClear();
            QVERIFY(ResetPeakRss());
            const qint64 before = StatusKiB("VmRSS");
            QElapsedTimer timer;
            timer.start();
            {
                BoxCapture boxes;
                QTest::mouseClick(pyrelle_->BitBtn5, Qt::LeftButton);
                QVERIFY(boxes.shown.empty());
            }
            const qint64 ms = timer.elapsed();
            const qint64 growthKiB = StatusKiB("VmHWM") - before;
            qInfo("%s: %lld bytes of output, %lld ms, peak memory growth %lld MiB",
                  QTest::currentDataTag(), static_cast<qint64>(output.bytes.size()), ms,
                  growthKiB / 1024);
            // The window is the technician's again soon, whatever the output's shape. The
            // sanitizers' allocator keeps freed memory aside, so only the normal build counts.
            if (qEnvironmentVariableIsEmpty("TAVRIN_SANITIZED")) {
                QVERIFY2(
                    growthKiB * 1024 < growthLimit,
                    qPrintable(
                        QStringLiteral("the peak memory grew by %1 MiB").arg(growthKiB / 1024)));
                QVERIFY2(ms < 10000,
                         qPrintable(QStringLiteral("the window was busy for %1 ms").arg(ms)));
            }
            const QString log = pyrelle_->Memo1->toPlainText();
            const QString expected = output.text + QStringLiteral("\nTavrin Reboot OK.");
            if (log != expected) {
                qsizetype at = 0;
                while (at < log.size() && at < expected.size() && log[at] == expected[at]) {
                    ++at;
                }
                QFAIL(qPrintable(QStringLiteral("the log differs from the output at %1 of %2 "
                                                "characters (log: %3 characters): \"%4\"")
                                     .arg(at)
                                     .arg(expected.size())
                                     .arg(log.size())
                                     .arg(log.mid(std::max<qsizetype>(0, at - 20), 60))));
            }
        }
        pyrelle_->LogClear();
    }

    // A listing of 100,000 recordings: the SD listing shows every one, in the board's order,
    // and decoding the board's output into the list and painting it takes under a second.
    void sdListingOf100000() {
        constexpr int Count = 100000;
        const QString sd = Board(QStringLiteral("/tmp/DCIM/100HSCAM"));
        QStringList names = QDir(sd).entryList(QDir::Files, QDir::Name);
        for (qsizetype n = 0, add = Count - names.size(); n < add; ++n) {
            const QString name = QStringLiteral("R%1.MP4").arg(n, 7, 10, QLatin1Char('0'));
            const int fd = open(qPrintable(sd + '/' + name), O_CREAT | O_WRONLY | O_CLOEXEC, 0755);
            QVERIFY(fd >= 0);
            close(fd);
            names << name;
        }
        names.sort();
        QCOMPARE(names.size(), Count);

        // The operation as the technician starts it; its settling pause is not what is measured.
        const auto sleep = shell::seams::Sleep;
        shell::seams::Sleep = [](int) {};
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(orvane_->BitBtn1, Qt::LeftButton);
        const qint64 clickMs = timer.elapsed();
        shell::seams::Sleep = sleep;
        QCOMPARE(orvane_->Panel2->text(), QStringLiteral("Finished "));
        QCOMPARE(orvane_->ListBox1->count(), Count);
        for (int i = 0; i < Count; ++i) {
            if (orvane_->ListBox1->item(i)->text() != names[i]) {
                QFAIL(qPrintable(QStringLiteral("item %1 is %2, not %3")
                                     .arg(i)
                                     .arg(orvane_->ListBox1->item(i)->text(), names[i])));
            }
        }

        // The same board output through the window's decoder, timed alone: the board's ls and
        // the transfer are not the window's doing.
        std::u16string listing;
        {
            board::Session session(orvane_->LogSink());
            QVERIFY(session.Open(orvane_->BIP->text().toStdU16String()));
            listing = session.Run(u"ls -F  /tmp/DCIM/100HSCAM/");
            QVERIFY(session.Check());
        }
        orvane_->ListBox1->clear();
        QCoreApplication::processEvents();
        timer.start();
        orvane_->Decode_Names(listing.c_str());
        orvane_->ListBox1->scrollToBottom();
        orvane_->ListBox1->repaint();
        const qint64 showMs = timer.elapsed();
        qInfo("100,000 entries: the SD listing took %lld ms in all, decoding and showing %lld ms",
              clickMs, showMs);
        QCOMPARE(orvane_->ListBox1->count(), Count);
        QVERIFY2(showMs < 1000, qPrintable(QStringLiteral("%1 ms").arg(showMs)));
    }
};

TAVRIN_TEST_MAIN(OutputTest)
#include "tst_output.moc"
