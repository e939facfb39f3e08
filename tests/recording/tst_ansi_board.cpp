// On Windows the board's output, and its words inside an error text, are decoded with the PC's
// ANSI code page. Under Wine that is code page 1252, where byte 0xE9 is "é" and byte 0x80 is
// "€"; the second tells 1252 apart from Latin-1, which would give a control character there.
#include "TestSupport.h"

#include "BoardTest.h"
#include "PcFiles.h"
#include "orvane/Unit1.h"
#include "pyrelle/Unit1.h"

#include <QDir>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>

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

    // The board's scp refuses in the board's charset, as a French board's would: its words in
    // Pyrelle's error text read as the board meant them.
    void boardWordsInAnErrorText() {
        const QString bin = Board(QStringLiteral("/usr/bin"));
        QVERIFY(HostShell(QStringLiteral("mv '%1/scp' '%1/scp.real'").arg(bin)));
        const auto restore = qScopeGuard(
            [&] { HostShell(QStringLiteral("mv -f '%1/scp.real' '%1/scp'").arg(bin)); });
        QFile scp(bin + QStringLiteral("/scp"));
        QVERIFY(scp.open(QIODevice::WriteOnly));
        scp.write("#!/bin/sh\nprintf '\\001scp: /app/rtspserver.dat: acc\\350s refus\\351\\n'\n"
                  "exit 1\n");
        scp.close();
        QVERIFY(HostShell(QStringLiteral("chmod 755 '%1/scp'").arg(bin)));

        const auto form = ShownOnBoard<pyrelle::TForm1>();
        QVERIFY(form);
        QTemporaryDir pc;
        BoxCapture boxes;
        PickerScript picker({Native(pc.path())});
        QTest::mouseClick(form->BitBtn3, Qt::LeftButton);
        const QString log = form->LogLines().join(QLatin1Char('\n'));
        QVERIFY2(log.contains(QStringLiteral("scp: /app/rtspserver.dat: acc\u00e8s refus\u00e9")),
                 qPrintable(log));
    }
};

TAVRIN_TEST_MAIN(AnsiBoardTest)
#include "tst_ansi_board.moc"
