// The listing decoder: which lines of an "ls -F" output become list items, into either list,
// and that a large listing decodes in linear time.
#include "TestSupport.h"

#include "ListingDecoder.h"
#include "Lists.h"
#include "orvane/Unit1.h"

#include <QElapsedTimer>
#include <QListWidget>

#include <algorithm>
#include <string>

namespace {

// Shows control characters, so that a failure message tells "a\n" from "a".
QString Visible(const QStringList &items) {
    QStringList shown;
    for (QString item : items) {
        item.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
        item.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
        shown << QLatin1Char('"') + item + QLatin1Char('"');
    }
    return QLatin1Char('[') + shown.join(QStringLiteral(", ")) + QLatin1Char(']');
}

} // namespace

class ListingTest : public QObject {
    Q_OBJECT

private slots:
    void decode_data() {
        QTest::addColumn<QString>("output"); // a null QString stands for a null pointer
        QTest::addColumn<QStringList>("items");
        const QStringList none;
        const QStringList ab{"a", "b"};
        QTest::newRow("null output") << QString() << none;
        QTest::newRow("empty output") << QStringLiteral("") << none;
        QTest::newRow("one line feed") << QStringLiteral("\n") << none;
        QTest::newRow("blank lines") << QStringLiteral("\n\n\n") << none;
        QTest::newRow("recordings") << QStringLiteral("REC0001.MP4*\nREC0002.MP4*\nREC0003.MP4*\n")
                                    << QStringList{"REC0001.MP4", "REC0002.MP4", "REC0003.MP4"};
        QTest::newRow("no final line feed") << QStringLiteral("a*\nb*") << ab;
        QTest::newRow("single name, no line feed") << QStringLiteral("a*") << QStringList{"a"};
        QTest::newRow("directory before a file") << QStringLiteral("d/\nf*\n") << QStringList{"f"};
        QTest::newRow("two directories before a file")
            << QStringLiteral("d1/\nd2/\nf*\n") << QStringList{"f"};
        QTest::newRow("unmarked line before a file")
            << QStringLiteral("x\nf*\n") << QStringList{"f"};
        QTest::newRow("unmarked line and directory before a file")
            << QStringLiteral("x\nd/\nf*\n") << QStringList{"f"};
        QTest::newRow("directory after the last file")
            << QStringLiteral("f*\nlost+found/\n") << QStringList{"f"};
        QTest::newRow("other marks")
            << QStringLiteral("pipe|\nsock=\nlink@\ndoor>\nf*\n") << QStringList{"f"};
        QTest::newRow("blank lines between files") << QStringLiteral("\na*\n\n\nb*\n\n") << ab;
        QTest::newRow("error text")
            << QStringLiteral("ls: /tmp/DCIM/100HSCAM/: No such file or directory\n") << none;
        QTest::newRow("lone mark") << QStringLiteral("*\nb*\n") << QStringList{"b"};
        QTest::newRow("CR-LF listing") << QStringLiteral("a*\r\nb*\r\n") << ab;
        QTest::newRow("CR-LF lone mark and directory")
            << QStringLiteral("*\r\nd/\r\nb*\r\n") << QStringList{"b"};
        QTest::newRow("blanks in names") << QStringLiteral("my clip.MP4*\n two  blanks *\n")
                                         << QStringList{"my clip.MP4", " two  blanks "};
        QTest::newRow("mark inside a name")
            << QStringLiteral("a*b.MP4*\nc**\n") << QStringList{"a*b.MP4", "c*"};
        QTest::newRow("directory whose name holds a mark")
            << QStringLiteral("d*/\nf*\n") << QStringList{"f"};
        QTest::newRow("names beyond Latin-1")
            << QStringLiteral("Zürich 東京 \U0001F600.MP4*\n")
            << QStringList{QStringLiteral("Zürich 東京 \U0001F600.MP4")};
    }

    // Into either list, after the items already there; the other list is not touched.
    void decode() {
        QFETCH(QString, output);
        QFETCH(QStringList, items);
        orvane::TForm1 form;
        const QStringList before{QStringLiteral("earlier")};
        for (const bool second : {false, true}) {
            QListWidget &target = second ? *form.ListBox2 : *form.ListBox1;
            QListWidget &other = second ? *form.ListBox1 : *form.ListBox2;
            target.clear();
            other.clear();
            target.addItems(before);
            const auto *text =
                output.isNull() ? nullptr : reinterpret_cast<const char16_t *>(output.utf16());
            if (second) {
                form.Decode_Names2(text);
            } else {
                form.Decode_Names(text);
            }
            const QStringList expected = before + items;
            QVERIFY2(Items(target) == expected,
                     qPrintable(QStringLiteral("%1 got %2, expected %3")
                                    .arg(second ? "Decode_Names2" : "Decode_Names",
                                         Visible(Items(target)), Visible(expected))));
            QCOMPARE(other.count(), 0);
        }
    }

    // 100,000 lines in well under 100 ms; a decoder that rescans the rest of the text for each
    // line would take minutes.
    void largeListingDecodesInLinearTime() {
        std::u16string listing;
        constexpr int Lines = 100'000;
        for (int i = 0; i < Lines; ++i) {
            const std::u16string number = QString::number(i).toStdU16String();
            listing += i % 10 == 9 ? u"DIR" + number + u"/\n" : u"REC" + number + u".MP4*\n";
        }
        qint64 best = -1;
        std::size_t names = 0;
        for (int round = 0; round < 3; ++round) {
            QElapsedTimer timer;
            timer.start();
            names = recording::DecodeListing(listing).size();
            const qint64 us = timer.nsecsElapsed() / 1000;
            best = best < 0 ? us : std::min(best, us);
        }
        QCOMPARE(names, std::size_t{Lines / 10 * 9});
        qInfo("%d lines decoded in %lld us (best of 3)", Lines, best);
        QVERIFY2(best < 100'000, qPrintable(QStringLiteral("took %1 us").arg(best)));
    }
};

TAVRIN_TEST_MAIN(ListingTest)
#include "tst_listing.moc"
