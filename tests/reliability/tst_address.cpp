// Board addresses as technicians mistype them, typed into Pyrelle's "Board IP" and used by the
// reboot, through our real library in the emulated board's network. Runs inside the board's
// namespaces (emuboard.sh run -- ...).
#include "TestSupport.h"

#include "ReliabilitySupport.h"
#include "pyrelle/Unit1.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <memory>

namespace {

constexpr qint64 ConnectTimeoutMs = 10000;

bool HasIpv6Loopback() {
    QFile file(QStringLiteral("/proc/net/if_inet6"));
    return file.open(QIODevice::ReadOnly) &&
           file.readAll().contains("00000000000000000000000000000001 ");
}

} // namespace

class AddressTest : public QObject {
    Q_OBJECT

    std::unique_ptr<pyrelle::TForm1> form_;

private slots:
    void initTestCase() {
        TAVRIN_BOARD_TEST_INIT();
        form_ = std::make_unique<pyrelle::TForm1>();
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    }

    void cleanupTestCase() { form_.reset(); }

    void boardAddress_data() {
        QTest::addColumn<QString>("address");
        // Empty: the board answers and the reboot succeeds. Else what the error text must hold.
        QTest::addColumn<QString>("error");
        const QString board = BoardAddress();
        QTest::newRow("the board") << board << QString();
        QTest::newRow("empty") << QString() << QStringLiteral("empty");
        QTest::newRow("blanks around the address")
            << "  " + board + " " << QStringLiteral("\"  %1 \"").arg(board);
        const QString thousand = QString(1000, QLatin1Char('b'));
        QTest::newRow("1,000 characters") << thousand << thousand;
        const QString nonAscii = QStringLiteral("pl\u00e4tine-\u677f-\U0001F4DF");
        QTest::newRow("non-ASCII text") << nonAscii << nonAscii;
        QTest::newRow("host:22") << board + ":22" << board + ":22";
        QTest::newRow("IPv6 loopback, the board listens") << QStringLiteral("::1") << QString();
        QTest::newRow("IPv6, nothing there")
            << QStringLiteral("fd00::201") << QStringLiteral("fd00::201");
        QTest::newRow("unresolvable name")
            << QStringLiteral("no-such-board.invalid") << QStringLiteral("no-such-board.invalid");
        QTest::newRow("nothing listening")
            << QStringLiteral("127.0.0.2") << QStringLiteral("127.0.0.2");
        QTest::newRow("no one at that address")
            << QStringLiteral("192.168.168.202") << QStringLiteral("192.168.168.202");
    }

    // Each address ends in the session's error text, or the reboot's two lines; no message box,
    // no wait past the connect time-out, no descriptor left open.
    void boardAddress() {
        QFETCH(QString, address);
        QFETCH(QString, error);
        if (address == QLatin1String("::1") && !HasIpv6Loopback()) {
            QSKIP("this machine has no IPv6 loopback");
        }
        const QStringList descriptors = OpenDescriptors();
        form_->LogClear();
        form_->BIP->setText(address);
        QElapsedTimer timer;
        timer.start();
        {
            BoxCapture boxes;
            QTest::mouseClick(form_->BitBtn5, Qt::LeftButton);
            QVERIFY2(boxes.shown.empty(),
                     qPrintable(boxes.shown.empty() ? QString() : boxes.shown[0].text));
        }
        const qint64 ms = timer.elapsed();
        const QString log = form_->Memo1->toPlainText();
        qInfo("%s: %lld ms; %s", QTest::currentDataTag(), ms,
              qPrintable(log.left(300).replace('\n', QStringLiteral(" | "))));
        if (error.isEmpty()) {
            QCOMPARE(form_->LogLines(),
                     (QStringList{QString(), QStringLiteral("Tavrin Reboot OK.")}));
        } else {
            QVERIFY2(log.contains(QStringLiteral(" failed.\nStep: ")) && log.contains(error),
                     qPrintable("the session's error text, naming " + error + ": " + log));
            QVERIFY2(!log.contains(QStringLiteral("Tavrin Reboot OK.")), qPrintable(log));
        }
        QVERIFY2(ms < ConnectTimeoutMs + 1000, qPrintable(QStringLiteral("%1 ms").arg(ms)));
        VERIFY_DESCRIPTORS_AS(descriptors);
        QCOMPARE(form_->BIP->text(), address);
    }

    // A board that takes the connection and then says nothing: the connect gives up at its
    // time-out, not later.
    void boardSilentAtConnect() {
        const QStringList descriptors = OpenDescriptors();
        form_->LogClear();
        form_->BIP->setText(BoardAddress());
        QElapsedTimer timer;
        {
            const BoardCtlAtExit cont("cont");
            QVERIFY(BoardCtl("stop"));
            timer.start();
            QTest::mouseClick(form_->BitBtn5, Qt::LeftButton);
        }
        const qint64 ms = timer.elapsed();
        const QString log = form_->Memo1->toPlainText();
        qInfo("silent board: %lld ms; %s", ms, qPrintable(QString(log).replace('\n', " | ")));
        QVERIFY2(log.contains(QStringLiteral("connect time-out")), qPrintable(log));
        QVERIFY2(ms < ConnectTimeoutMs + 1000, qPrintable(QStringLiteral("%1 ms").arg(ms)));
        VERIFY_DESCRIPTORS_AS(descriptors);
    }
};

TAVRIN_TEST_MAIN(AddressTest)
#include "tst_address.moc"
