// Pyrelle's reboot against the emulated board, through our real library: runs inside the
// board's namespaces (emuboard.sh run -- ...), where 192.168.168.201 is the board.
#include "TestSupport.h"

#include "BoardTest.h"
#include "pyrelle/Unit1.h"

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

QStringList RebootRequests() {
    QFile file(Board(QStringLiteral("/var/log/reboot-requests")));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class BoardRebootTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TAVRIN_BOARD_TEST_INIT(); }

    void rebootsTheBoard() {
        pyrelle::TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.BIP->text(), QStringLiteral("192.168.168.201"));
        BoxCapture boxes;
        QTest::mouseClick(form.BitBtn5, Qt::LeftButton);
        QVERIFY2(boxes.shown.empty(), qPrintable(boxes.shown.empty() ? "" : boxes.shown[0].text));
        QCOMPARE(form.LogLines(), (QStringList{"", "Tavrin Reboot OK."}));
        const QStringList requests = RebootRequests();
        QVERIFY2(requests.size() == 1 && requests[0].contains(QStringLiteral("reboot")),
                 qPrintable("reboot requests on the board: " + requests.join(" | ")));
    }

    // Nothing listens on 127.0.0.2: only the session's error text is logged.
    void nothingListening() {
        pyrelle::TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.LogAdd(QStringLiteral("earlier entry"));
        form.BIP->setText(QStringLiteral("127.0.0.2"));
        const int before = static_cast<int>(RebootRequests().size());
        BoxCapture boxes;
        QTest::mouseClick(form.BitBtn5, Qt::LeftButton);
        QVERIFY2(boxes.shown.empty(), "a refused connection is logged, not boxed");
        const QString log = form.Memo1->toPlainText();
        QVERIFY2(log.startsWith(QStringLiteral("earlier entry\n")), qPrintable(log));
        const QString error = log.mid(QStringLiteral("earlier entry\n").size());
        QVERIFY2(!error.trimmed().isEmpty() && error.contains(QStringLiteral("127.0.0.2")),
                 qPrintable("the error text names the address: " + error));
        QVERIFY2(!log.contains(QStringLiteral("Tavrin Reboot OK.")), qPrintable(log));
        QCOMPARE(static_cast<int>(RebootRequests().size()), before);
    }
};

TAVRIN_TEST_MAIN(BoardRebootTest)
#include "tst_board_reboot.moc"
