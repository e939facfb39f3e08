// On Windows the board's output is decoded with the PC's ANSI code page. Under Wine that is
// code page 1252, where byte 0xE9 is "é" and byte 0x80 is "€"; the second tells 1252 apart
// from Latin-1, which would give a control character there.
#include "TestSupport.h"

#include "BoardTest.h"
#include "orvane/Unit1.h"

#include <QDir>
#include <QPushButton>

#include <windows.h>

class AnsiBoardTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TAVRIN_BOARD_TEST_INIT(); }

    // rm's own words name a folder it cannot remove; the name's bytes reach the log decoded.
    void boardOutputInTheLog() {
        QCOMPARE(GetACP(), 1252u);
        const auto form = ShownOnBoard<orvane::TForm1>();
        QVERIFY(form);
        const QString sd = Board(QStringLiteral("/tmp/DCIM/100HSCAM"));
        QVERIFY(HostShell(QStringLiteral("mkdir \"%1/CAF$(printf '\\351\\200')\"").arg(sd)));
        BoxCapture boxes;
        QTest::mouseClick(form->BitBtn2, Qt::LeftButton);
        QVERIFY(boxes.shown.empty());
        const QString log = form->LogLines().join(QLatin1Char('\n'));
        QVERIFY2(log.contains(QStringLiteral("CAF\u00e9\u20ac")), qPrintable(log));
    }
};

TAVRIN_TEST_MAIN(AnsiBoardTest)
#include "tst_ansi_board.moc"
