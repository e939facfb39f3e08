// Orvane's recording operations against the scripted fake library: every call into the library,
// where the window's messages are processed and where it sleeps, the log, the status caption and
// both lists, for each way through each operation.
#include "TestSupport.h"

#include "FakeCalls.h"
#include "Lists.h"
#include "Seams.h"
#include "orvane/Unit1.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>

#include <map>
#include <memory>
#include <utility>
#include <vector>

using namespace ckcalls;

namespace {

const QString ListSd = QStringLiteral("ls -F  /tmp/DCIM/100HSCAM/");
const QString ClearSd = QStringLiteral("rm  /tmp/DCIM/100HSCAM/*");
const QString MakeDir = QStringLiteral("mkdir /mnt/usb");
const QString Mount = QStringLiteral("mount /dev/sda1  /mnt/usb/");
const QString Mounts = QStringLiteral("cat /proc/mounts");
const QString Copy = QStringLiteral("cp /tmp/DCIM/100HSCAM/*.MP4 /mnt/usb/");
const QString ListUsb = QStringLiteral("ls -F  /mnt/usb/");

const QString Address = QStringLiteral("127.0.0.1");
const QString NotMounted =
    QStringLiteral("The USB disk is not mounted at /mnt/usb: nothing was copied.");

// What the board answers unless a case says otherwise.
const std::map<QString, QString> DefaultOutputs = {
    {ListSd, QStringLiteral("REC0001.MP4*\nREC0002.MP4*\nsub/\n")},
    {ClearSd, QStringLiteral("")},
    {MakeDir, QStringLiteral("made")},
    {Mount, QStringLiteral("mounted")},
    {Mounts, QStringLiteral("proc /proc proc rw 0 0\n/dev/sda1 /mnt/usb ext4 rw 0 0\n")},
    {Copy, QStringLiteral("copied")},
    {ListUsb, QStringLiteral("lost+found/\nREC0001.MP4*\n")},
};

// The pauses, as they appear among the calls: processing the window's messages (with the caption
// and the number of log lines at that moment) and sleeping.
QString Messages(const QString &caption, int logLines) {
    return QStringLiteral("~messages [%1] log:%2").arg(caption).arg(logLines);
}
const QString Sleep = QStringLiteral("~sleep 1000");

// The USB listing's own session h, after a good open; `messages` for the one that ends a copy.
QStringList UsbListing(int h, const QString &caption, int logLines, bool messages) {
    QStringList calls = Open(h, Address) + QStringList{Run(h, MakeDir), Check(h)};
    if (messages) {
        calls << Messages(caption, logLines + 1);
    }
    calls << Run(h, Mount);
    if (messages) {
        calls << Messages(caption, logLines + 2);
    }
    return calls + QStringList{Run(h, ListUsb)} + Close(h);
}

// The first session of the USB copy up to and including the mount table's check.
QStringList CopyUpToMountTable() {
    const QString caption = QStringLiteral("Please Wait  ");
    return QStringList{Messages(caption, 0), Sleep} + Open(1, Address) +
           QStringList{
               Run(1, MakeDir), Check(1), Messages(caption, 1), Run(1, Mount), Messages(caption, 2),
               Run(1, Mounts),  Check(1)};
}

// One row, by field name; a row that scripts no failure or output leaves those out.
struct Case {
    int button = 0;                                       // which BitBtn is clicked
    std::vector<std::pair<const char *, int>> failures{}; // entry, n-th call (FakeCk_FailCall)
    std::map<QString, QString> outputs{};                 // replacing the default outputs
    QStringList calls;                                    // library calls and pauses, in order
    QStringList log;
    QString caption;
    QStringList sdItems;  // ListBox1, the SD card's recordings
    QStringList usbItems; // ListBox2, the USB disk's
};

// Before every case: an earlier log entry, caption and list items, to see what each keeps.
const QString EarlierLog = QStringLiteral("earlier entry");
const QString EarlierCaption = QStringLiteral("earlier caption");
const QString EarlierSd = QStringLiteral("earlier SD item");
const QString EarlierUsb = QStringLiteral("earlier USB item");

QPushButton *Button(orvane::TForm1 &form, int n) {
    QPushButton *buttons[] = {form.BitBtn1, form.BitBtn2, form.BitBtn3, form.BitBtn4};
    return buttons[n - 1];
}

} // namespace

Q_DECLARE_METATYPE(Case)

class RecordingTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeCk> fake_;
    std::unique_ptr<orvane::TForm1> form_;
    std::vector<std::pair<int, QString>> pauses_; // at which call, what
    std::function<void()> processMessages_;
    std::function<void(int)> sleep_;

    void Script(const Case &c) {
        fake_->Reset();
        std::map<QString, QString> outputs = DefaultOutputs;
        for (const auto &[command, output] : c.outputs) {
            outputs[command] = output;
        }
        for (const auto &[command, output] : outputs) {
            ScriptOutput(*fake_, command, output);
        }
        for (const auto &[entry, n] : c.failures) {
            fake_->FailCall(entry, n);
        }
        pauses_.clear();
    }

    void Prepare() {
        orvane::TForm1 &form = *form_;
        form.LogClear();
        form.LogAdd(EarlierLog);
        form.SetStatus(EarlierCaption);
        form.ListBox1->clear();
        form.ListBox1->addItem(EarlierSd);
        form.ListBox2->clear();
        form.ListBox2->addItem(EarlierUsb);
        form.BIP->setText(Address);
    }

    // The library's calls with the pauses placed where they happened.
    QStringList Trace() const {
        const QStringList calls = ToList(fake_->Calls());
        QStringList trace;
        auto pause = pauses_.begin();
        for (qsizetype i = 0; i <= calls.size(); ++i) {
            for (; pause != pauses_.end() && pause->first == i; ++pause) {
                trace << pause->second;
            }
            if (i < calls.size()) {
                trace << calls[i];
            }
        }
        return trace;
    }

    void VerifyOutcome(const Case &c) {
        orvane::TForm1 &form = *form_;
        QCOMPARE(Trace(), c.calls);
        QCOMPARE(form.LogLines(), c.log);
        QCOMPARE(form.Panel2->text(), c.caption);
        QCOMPARE(Items(*form.ListBox1), c.sdItems);
        QCOMPARE(Items(*form.ListBox2), c.usbItems);
        VerifyNothingLeft(*fake_);
    }

private slots:
    void initTestCase() {
        fake_ = std::make_unique<FakeCk>();
        form_ = std::make_unique<orvane::TForm1>();
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
        processMessages_ = shell::seams::ProcessMessages;
        sleep_ = shell::seams::Sleep;
        shell::seams::ProcessMessages = [this] {
            pauses_.emplace_back(
                static_cast<int>(fake_->Calls().size()),
                Messages(form_->Panel2->text(), static_cast<int>(form_->LogLines().size())));
            processMessages_();
        };
        shell::seams::Sleep = [this](int ms) {
            pauses_.emplace_back(static_cast<int>(fake_->Calls().size()),
                                 QStringLiteral("~sleep %1").arg(ms));
        };
    }

    void cleanupTestCase() {
        shell::seams::ProcessMessages = processMessages_;
        shell::seams::Sleep = sleep_;
        form_.reset();
    }

    void operation_data() {
        QTest::addColumn<Case>("c");
        const QString wait = QStringLiteral("Please Wait");
        const QString waitClear = QStringLiteral("Please wait ");
        const QString waitCopy = QStringLiteral("Please Wait  ");
        const QString done = QStringLiteral("Finished !! ");
        const QString connectFailed = QStringLiteral("CkSsh_Connect failed");
        const QString loginFailed = QStringLiteral("CkSsh_AuthenticatePw failed");
        const QString runFailed = QStringLiteral("CkSsh__quickCommand failed");
        const QStringList sdNames{"REC0001.MP4", "REC0002.MP4"};
        const QStringList usbNames{"REC0001.MP4"};
        const QStringList sdStart{Messages(wait, 0), Sleep};
        const QStringList clearStart{Messages(waitClear, 0), Sleep};
        const QStringList copyLog{"made", "mounted", "copied"};

        // SD listing
        QTest::newRow("SD listing")
            << Case{.button = 1,
                    .calls = sdStart + Open(1, Address) + QStringList{Run(1, ListSd)} + Close(1),
                    .log = {"Reading Files from SD"},
                    .caption = QStringLiteral("Finished "),
                    .sdItems = sdNames,
                    .usbItems = {EarlierUsb}};
        QTest::newRow("SD listing, connect fails")
            << Case{.button = 1,
                    .failures = {{"CkSsh_Connect", 1}},
                    .calls = sdStart + ConnectFails(1, Address),
                    .log = {connectFailed},
                    .caption = wait,
                    .sdItems = {},
                    .usbItems = {EarlierUsb}};
        QTest::newRow("SD listing, login fails") << Case{.button = 1,
                                                         .failures = {{"CkSsh_AuthenticatePw", 1}},
                                                         .calls = sdStart + LoginFails(1, Address),
                                                         .log = {loginFailed},
                                                         .caption = wait,
                                                         .sdItems = {},
                                                         .usbItems = {EarlierUsb}};

        // SD clear
        QTest::newRow("SD clear, rm silent") << Case{
            .button = 2,
            .calls = clearStart + Open(1, Address) + QStringList{Run(1, ClearSd)} + Close(1),
            .log = {""},
            .caption = done,
            .sdItems = {EarlierSd},
            .usbItems = {EarlierUsb}};
        QTest::newRow("SD clear, rm output logged and decoded after the kept items") << Case{
            .button = 2,
            .outputs = {{ClearSd, QStringLiteral("rm: odd\nodd*")}},
            .calls = clearStart + Open(1, Address) + QStringList{Run(1, ClearSd)} + Close(1),
            .log = {"rm: odd", "odd*"},
            .caption = done,
            .sdItems = {EarlierSd, "odd"},
            .usbItems = {EarlierUsb}};
        QTest::newRow("SD clear, connect fails")
            << Case{.button = 2,
                    .failures = {{"CkSsh_Connect", 1}},
                    .calls = clearStart + ConnectFails(1, Address),
                    .log = {connectFailed},
                    .caption = waitClear,
                    .sdItems = {EarlierSd},
                    .usbItems = {EarlierUsb}};
        QTest::newRow("SD clear, login fails") << Case{.button = 2,
                                                       .failures = {{"CkSsh_AuthenticatePw", 1}},
                                                       .calls = clearStart + LoginFails(1, Address),
                                                       .log = {loginFailed},
                                                       .caption = waitClear,
                                                       .sdItems = {EarlierSd},
                                                       .usbItems = {EarlierUsb}};

        // USB listing: no start caption, no pauses; the list shows the disk once.
        QTest::newRow("USB listing") << Case{.button = 4,
                                             .calls = UsbListing(1, {}, 0, false),
                                             .log = {"made", "mounted"},
                                             .caption = done,
                                             .sdItems = {EarlierSd},
                                             .usbItems = usbNames};
        QTest::newRow("USB listing, connect fails") << Case{.button = 4,
                                                            .failures = {{"CkSsh_Connect", 1}},
                                                            .calls = ConnectFails(1, Address),
                                                            .log = {connectFailed},
                                                            .caption = EarlierCaption,
                                                            .sdItems = {EarlierSd},
                                                            .usbItems = {EarlierUsb}};
        QTest::newRow("USB listing, login fails") << Case{.button = 4,
                                                          .failures = {{"CkSsh_AuthenticatePw", 1}},
                                                          .calls = LoginFails(1, Address),
                                                          .log = {loginFailed},
                                                          .caption = EarlierCaption,
                                                          .sdItems = {EarlierSd},
                                                          .usbItems = {EarlierUsb}};
        QTest::newRow("USB listing, mkdir fails")
            << Case{.button = 4,
                    .failures = {{"CkSsh__quickCommand", 1}},
                    .calls = Open(1, Address) + QStringList{Run(1, MakeDir), Check(1)} + Report(1),
                    .log = {runFailed},
                    .caption = EarlierCaption,
                    .sdItems = {EarlierSd},
                    .usbItems = {EarlierUsb}};

        // USB copy
        const QStringList copied = QStringList{Run(1, Copy)} + Close(1);
        QTest::newRow("USB copy") << Case{.button = 3,
                                          .calls = CopyUpToMountTable() + copied +
                                                   UsbListing(2, waitCopy, 3, true),
                                          .log = copyLog + QStringList{"made", "mounted"},
                                          .caption = done,
                                          .sdItems = {EarlierSd},
                                          .usbItems = usbNames};
        QTest::newRow("USB copy, connect fails")
            << Case{.button = 3,
                    .failures = {{"CkSsh_Connect", 1}},
                    .calls = QStringList{Messages(waitCopy, 0), Sleep} + ConnectFails(1, Address),
                    .log = {connectFailed},
                    .caption = waitCopy,
                    .sdItems = {EarlierSd},
                    .usbItems = {EarlierUsb}};
        QTest::newRow("USB copy, login fails")
            << Case{.button = 3,
                    .failures = {{"CkSsh_AuthenticatePw", 1}},
                    .calls = QStringList{Messages(waitCopy, 0), Sleep} + LoginFails(1, Address),
                    .log = {loginFailed},
                    .caption = waitCopy,
                    .sdItems = {EarlierSd},
                    .usbItems = {EarlierUsb}};
        QTest::newRow("USB copy, mkdir fails")
            << Case{.button = 3,
                    .failures = {{"CkSsh__quickCommand", 1}},
                    .calls = QStringList{Messages(waitCopy, 0), Sleep} + Open(1, Address) +
                             QStringList{Run(1, MakeDir), Check(1)} + Report(1),
                    .log = {runFailed},
                    .caption = waitCopy,
                    .sdItems = {EarlierSd},
                    .usbItems = {EarlierUsb}};
        QTest::newRow("USB copy, disk not mounted: no cp, no listing")
            << Case{.button = 3,
                    .outputs = {{Mounts, QStringLiteral("proc /proc proc rw 0 0\n")}},
                    .calls = CopyUpToMountTable() + Close(1),
                    .log = {"made", "mounted", NotMounted},
                    .caption = waitCopy,
                    .sdItems = {EarlierSd},
                    .usbItems = {EarlierUsb}};
        QTest::newRow("USB copy, mount point only named deeper: not mounted")
            << Case{.button = 3,
                    .outputs = {{Mounts, QStringLiteral("/dev/sda1 /mnt/usb/x ext4 rw 0 0\n")}},
                    .calls = CopyUpToMountTable() + Close(1),
                    .log = {"made", "mounted", NotMounted},
                    .caption = waitCopy,
                    .sdItems = {EarlierSd},
                    .usbItems = {EarlierUsb}};
        QTest::newRow("USB copy, mount table unreadable")
            << Case{.button = 3,
                    .failures = {{"CkSsh__quickCommand", 3}},
                    .calls = CopyUpToMountTable() + Report(1),
                    .log = {"made", "mounted", runFailed},
                    .caption = waitCopy,
                    .sdItems = {EarlierSd},
                    .usbItems = {EarlierUsb}};
        QTest::newRow("USB copy, listing session fails to connect")
            << Case{.button = 3,
                    .failures = {{"CkSsh_Connect", 2}},
                    .calls = CopyUpToMountTable() + copied + ConnectFails(2, Address),
                    .log = copyLog + QStringList{connectFailed},
                    .caption = waitCopy,
                    .sdItems = {EarlierSd},
                    .usbItems = {EarlierUsb}};
        QTest::newRow("USB copy, listing session fails to log in")
            << Case{.button = 3,
                    .failures = {{"CkSsh_AuthenticatePw", 2}},
                    .calls = CopyUpToMountTable() + copied + LoginFails(2, Address),
                    .log = copyLog + QStringList{loginFailed},
                    .caption = waitCopy,
                    .sdItems = {EarlierSd},
                    .usbItems = {EarlierUsb}};
        QTest::newRow("USB copy, listing's mkdir fails")
            << Case{.button = 3,
                    .failures = {{"CkSsh__quickCommand", 5}},
                    .calls = CopyUpToMountTable() + copied + Open(2, Address) +
                             QStringList{Run(2, MakeDir), Check(2)} + Report(2),
                    .log = copyLog + QStringList{runFailed},
                    .caption = waitCopy,
                    .sdItems = {EarlierSd},
                    .usbItems = {EarlierUsb}};
    }

    void operation() {
        QFETCH(Case, c);
        Script(c);
        Prepare();
        BoxCapture boxes;
        QTest::mouseClick(Button(*form_, c.button), Qt::LeftButton);
        QVERIFY2(boxes.shown.empty(),
                 qPrintable(boxes.shown.empty() ? QString() : boxes.shown.front().text));
        VerifyOutcome(c);
    }

    // A click waiting when the SD listing processes the window's messages runs the USB listing
    // right there, inside the SD listing, which then goes on.
    void queuedClickRunsNested() {
        Case c;
        c.calls = QStringList{Messages(QStringLiteral("Please Wait"), 0)} +
                  UsbListing(1, {}, 0, false) + QStringList{Sleep} + Open(2, Address) +
                  QStringList{Run(2, ListSd)} + Close(2);
        c.log = QStringList{"made", "mounted", "Reading Files from SD"};
        c.caption = QStringLiteral("Finished ");
        c.sdItems = QStringList{"REC0001.MP4", "REC0002.MP4"};
        c.usbItems = QStringList{"REC0001.MP4"};
        Script(c);
        Prepare();
        BoxCapture boxes;
        const QPointF centre = QRectF(form_->BitBtn4->rect()).center();
        const QPointF global = form_->BitBtn4->mapToGlobal(centre);
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QCoreApplication::postEvent(
                form_->BitBtn4,
                new QMouseEvent(type, centre, global, Qt::LeftButton,
                                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                Qt::NoModifier));
        }
        QTest::mouseClick(form_->BitBtn1, Qt::LeftButton);
        QVERIFY(boxes.shown.empty());
        VerifyOutcome(c);
    }
};

TAVRIN_TEST_MAIN(RecordingTest)
#include "tst_recording.moc"
