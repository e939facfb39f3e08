// The board session procedure and the reboot operation against the scripted fake library,
// reached through the programs' own loader.
#include "TestSupport.h"

#include "BoardSession.h"
#include "FakeCalls.h"
#include "Lists.h"
#include "orvane/Unit1.h"
#include "pyrelle/Unit1.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <memory>
#include <stdexcept>

namespace {

using namespace ckcalls;

// The window's default address.
const QString Address = QStringLiteral("192.168.168.201");

} // namespace

class SessionTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeCk> fake_;

    void Script(const Failure &failure) { ScriptFailure(*fake_, failure); }

    // Milliseconds between the calls named, by their place in the record.
    double Gap(int from, int to) const { return fake_->CallTimeMs(to) - fake_->CallTimeMs(from); }

private slots:
    void initTestCase() { fake_ = std::make_unique<FakeCk>(); }

    void reboot_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("output");
        QTest::addColumn<Failure>("failure");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("log"); // after the entry that was there before
        const QStringList reboot = {Run(1, QStringLiteral("/sbin/reboot  ")), Check(1)};
        QTest::newRow("Pyrelle success")
            << "Pyrelle" << Address << "" << Failure{} << Open(1, Address) + reboot + Close(1)
            << QStringList{"", "Tavrin Reboot OK."};
        QTest::newRow("Orvane success")
            << "Orvane" << Address << "" << Failure{} << Open(1, Address) + reboot + Close(1)
            << QStringList{"", "Tavrin Reboot OK."};
        QTest::newRow("output logged as one entry")
            << "Pyrelle" << Address << "The system is going down NOW!" << Failure{}
            << Open(1, Address) + reboot + Close(1)
            << QStringList{"The system is going down NOW!", "Tavrin Reboot OK."};
        QTest::newRow("address with blanks passed unchanged")
            << "Pyrelle"
            << " 10.0.0.7 "
            << "" << Failure{} << Open(1, QStringLiteral(" 10.0.0.7 ")) + reboot + Close(1)
            << QStringList{"", "Tavrin Reboot OK."};
        QTest::newRow("connect fails")
            << "Pyrelle" << Address << "" << Failure{"CkSsh_Connect", 1, "Connection refused"}
            << ConnectFails(1, Address) << QStringList{"Connection refused"};
        QTest::newRow("empty address fails to connect")
            << "Pyrelle"
            << ""
            << "" << Failure{"CkSsh_Connect", 1, "No host given"} << ConnectFails(1, QString())
            << QStringList{"No host given"};
        QTest::newRow("login fails")
            << "Orvane" << Address << ""
            << Failure{"CkSsh_AuthenticatePw", 1, "Login refused\nfor root"}
            << LoginFails(1, Address) << QStringList{"Login refused", "for root"};
        QTest::newRow("command fails")
            << "Pyrelle" << Address << "" << Failure{"CkSsh__quickCommand", 1, "Connection lost"}
            << Open(1, Address) + reboot + Report(1) << QStringList{"Connection lost"};
    }

    void reboot() {
        QFETCH(QString, program);
        QFETCH(QString, address);
        QFETCH(QString, output);
        QFETCH(Failure, failure);
        QFETCH(QStringList, calls);
        QFETCH(QStringList, log);
        Script(failure);
        ScriptOutput(*fake_, QStringLiteral("/sbin/reboot  "), output);

        std::unique_ptr<shell::TMainForm> form;
        if (program == QLatin1String("Orvane")) {
            form = std::make_unique<orvane::TForm1>();
        } else {
            form = std::make_unique<pyrelle::TForm1>();
        }
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->BIP->setText(address);
        form->LogAdd(QStringLiteral("earlier entry"));
        form->SetStatus(QStringLiteral("earlier status"));
        BoxCapture boxes;
        if (auto *pyrelle = dynamic_cast<pyrelle::TForm1 *>(form.get())) {
            QTest::mouseClick(pyrelle->BitBtn5, Qt::LeftButton);
        } else {
            // Orvane's button is hidden; the operation is there all the same.
            QVERIFY(!form->BitBtn5->isVisible());
            dynamic_cast<orvane::TForm1 &>(*form).BitBtn5Click(form->BitBtn5);
        }

        QCOMPARE(ToList(fake_->Calls()), calls);
        QCOMPARE(form->LogLines(), QStringList{"earlier entry"} + log);
        QCOMPARE(form->Panel2->text(), QStringLiteral("earlier status"));
        QVERIFY2(boxes.shown.empty(), "library failures are logged, never boxed");
        VerifyNothingLeft(*fake_);
        const int disconnect = static_cast<int>(calls.indexOf(Close(1).front()));
        const double wait = Gap(disconnect - 1, disconnect);
        if (failure.entry.isEmpty()) {
            QVERIFY2(wait >= 199,
                     qPrintable(QStringLiteral("waited %1 ms before close").arg(wait)));
        } else {
            QVERIFY2(wait < 100,
                     qPrintable(QStringLiteral("no wait after a failure, took %1 ms").arg(wait)));
        }
    }

    void procedure_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<Failure>("failure");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("log");
        const QStringList open = Open(1, Address);
        const QStringList attach = Attach(2, 1);
        const QStringList closeBoth = Close(1, 2);
        const QStringList upload = {Upload(2, "C:\\pc\\uImage", "/tmp/uImage")};
        const QStringList download = {Download(2, "/app/rtspserver.dat", "C:\\pc\\rtspserver.dat")};
        const QStringList scpError = {ScpError(2)};
        const QString ls = Run(1, QStringLiteral("ls"));
        QTest::newRow("transfer run")
            << QStringList{"open", "attach", "upload", "download"} << Failure{}
            << open + attach + upload + download + closeBoth << QStringList{};
        QTest::newRow("attach transfer fails")
            << QStringList{"open", "attach", "upload"}
            << Failure{"CkScp_UseSsh", 1, "Not logged in"} << open + attach + scpError + closeBoth
            << QStringList{"Not logged in"};
        QTest::newRow("upload fails")
            << QStringList{"open", "attach", "upload", "download"}
            << Failure{"CkScp_UploadFile", 1, "scp: /tmp/uImage: No space left on device"}
            << open + attach + upload + scpError + closeBoth
            << QStringList{"scp: /tmp/uImage: No space left on device"};
        QTest::newRow("download fails")
            << QStringList{"open", "attach", "download"}
            << Failure{"CkScp_DownloadFile", 1,
                       "scp: /app/rtspserver.dat: No such file or directory"}
            << open + attach + download + scpError + closeBoth
            << QStringList{"scp: /app/rtspserver.dat: No such file or directory"};
        QTest::newRow("second command's check fails")
            << QStringList{"open", "run", "check", "run", "check", "run"}
            << Failure{"CkSsh__quickCommand", 2, "Channel closed"}
            << open + QStringList{ls, Check(1), ls, Check(1)} + Report(1)
            << QStringList{"Channel closed"};
        QTest::newRow("unchecked run goes on")
            << QStringList{"open", "run", "run"} << Failure{"CkSsh__quickCommand", 1, "unused"}
            << open + QStringList{ls, ls} + Close(1) << QStringList{};
        QTest::newRow("loader error after attach closes both")
            << QStringList{"open", "attach", "raise", "upload"} << Failure{}
            << open + attach + closeBoth << QStringList{};
        QTest::newRow("loader error before open closes the session")
            << QStringList{"raise", "open"} << Failure{} << QStringList{open.front()} + Close(1)
            << QStringList{};
    }

    void procedure() {
        QFETCH(QStringList, steps);
        QFETCH(Failure, failure);
        QFETCH(QStringList, calls);
        QFETCH(QStringList, log);
        Script(failure);
        QStringList logged;
        const board::LogSink sink = [&logged](std::u16string_view entry) {
            logged << QString::fromUtf16(entry.data(), static_cast<qsizetype>(entry.size()));
        };
        bool raised = false;
        try {
            board::Session session(sink);
            for (const QString &step : steps) {
                bool ok = true;
                if (step == QLatin1String("open")) {
                    ok = session.Open(u"192.168.168.201");
                } else if (step == QLatin1String("run")) {
                    session.Run(u"ls");
                } else if (step == QLatin1String("check")) {
                    ok = session.Check();
                } else if (step == QLatin1String("attach")) {
                    ok = session.AttachTransfer();
                } else if (step == QLatin1String("upload")) {
                    ok = session.Upload(u"C:\\pc\\uImage", u"/tmp/uImage");
                } else if (step == QLatin1String("download")) {
                    ok = session.Download(u"/app/rtspserver.dat", u"C:\\pc\\rtspserver.dat");
                } else if (step == QLatin1String("raise")) {
                    throw std::runtime_error(
                        "Function not found: ChilkatDelphi32.dll.CkScp_UploadFile");
                }
                if (!ok) {
                    break;
                }
            }
        } catch (const std::runtime_error &) {
            raised = true;
        }
        QCOMPARE(raised, steps.contains(QStringLiteral("raise")));
        QCOMPARE(ToList(fake_->Calls()), calls);
        QCOMPARE(logged.join(QLatin1Char('\n')), log.join(QLatin1Char('\n')));
        VerifyNothingLeft(*fake_);
    }

    // A null command output counts as empty text; returned texts are copies.
    void nullOutput() {
        Script({});
        fake_->SetOutput(u"true", nullptr);
        fake_->SetOutput(u"echo", u"first");
        board::Session session([](std::u16string_view) {});
        QVERIFY(session.Open(u"192.168.168.201"));
        QVERIFY(session.Run(u"true").empty());
        const std::u16string first = session.Run(u"echo");
        fake_->SetOutput(u"echo", u"second");
        session.Run(u"echo");
        QVERIFY2(first == u"first", "the output was copied before the next call");
    }
};

TAVRIN_TEST_MAIN(SessionTest)
#include "tst_session.moc"
