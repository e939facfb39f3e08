// Pyrelle's four transfer operations against the scripted fake library, with the folder picker
// and the message box answered through the shell's seams.
#include "TestSupport.h"

#include "BurnTestSupport.h"
#include "FakeCalls.h"
#include "Lists.h"
#include "PcFiles.h"
#include "pyrelle/Unit1.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

namespace {

const QString Earlier = QStringLiteral("earlier status");

// Session 1 at the window's default address, transfer object 2.
const QStringList OpenCalls = ckcalls::Open(1, QStringLiteral("192.168.168.201"));
const QStringList AttachCalls = ckcalls::Attach(2, 1);
const QStringList CheckCall = {ckcalls::Check(1)};
const QStringList CloseCalls = ckcalls::Close(1, 2);

QStringList Command(const QString &command) {
    return {ckcalls::Run(1, command)};
}

QStringList Uploads(const QString &folder, const QStringList &names, const QString &boardFolder) {
    QStringList calls;
    for (const QString &name : names) {
        calls << ckcalls::Upload(2, PcFile(folder, name), boardFolder + name);
    }
    return calls;
}

QStringList Deletes(const QStringList &names, const QString &boardFolder) {
    QStringList calls;
    for (const QString &name : names) {
        calls << Command("rm " + boardFolder + name) << CheckCall;
    }
    return calls;
}

// What a whole successful run does, after the picker.
struct Run {
    QStringList calls;
    QStringList log;
    QString caption;
};

Run Success(const QString &operation, const QString &folder) {
    if (operation == QLatin1String("burn")) {
        return {OpenCalls + Deletes(BurnNames, "/tmp/") + AttachCalls +
                    Uploads(folder, BurnNames.mid(0, 8), "/tmp/") + CheckCall + CloseCalls,
                BurnLog, QStringLiteral("Please  Reboot Board !! ")};
    }
    if (operation == QLatin1String("update")) {
        return {OpenCalls + Deletes(UpdateNames, "/app/") + AttachCalls +
                    Uploads(folder, UpdateNames, "/app/") + CheckCall +
                    Command("chmod 777 /app/sample_rtspserver") + CheckCall + CloseCalls,
                UpdateLog, QStringLiteral("Turn off and turn on the Board Power !! ")};
    }
    const QString pcPath = PcFile(folder, "rtspserver.dat");
    const QString boardPath = QStringLiteral("/app/rtspserver.dat");
    if (operation == QLatin1String("download")) {
        return {OpenCalls + AttachCalls + QStringList{ckcalls::Download(2, boardPath, pcPath)} +
                    CloseCalls,
                {"Configuration file \"rtspserver.dat\" Download OK."},
                Earlier};
    }
    return {OpenCalls + AttachCalls + QStringList{ckcalls::Upload(2, pcPath, boardPath)} +
                CloseCalls,
            {"Configuration file \"rtspserver.dat\" Upload OK."},
            Earlier};
}

QString PickerLine(const QString &operation, const QString &folder) {
    return (operation == QLatin1String("download") ? QStringLiteral("Destination Folder : ")
                                                   : QStringLiteral("Source Folder : ")) +
           folder;
}

// The calls of a run that fails at the n-th call of an entry: everything up to it (a failing
// command is noticed by the check that follows it), the failing object's error text, then
// close (the transfer is released only if it was created).
QStringList FailedCalls(const QStringList &success, const Failure &failure) {
    QStringList calls;
    int seen = 0;
    for (const QString &call : success) {
        calls << call;
        if (call.startsWith(failure.entry + QLatin1Char('(')) && ++seen == failure.n) {
            break;
        }
    }
    if (failure.entry == QLatin1String("CkSsh__quickCommand")) {
        calls << CheckCall;
    }
    const bool transfer = calls.contains(AttachCalls.front());
    calls << (failure.entry.startsWith(QLatin1String("CkScp_")) ? ckcalls::ScpError(2)
                                                                : ckcalls::SshError(1));
    return calls + (transfer ? CloseCalls : ckcalls::Close(1));
}

} // namespace

class OperationsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeCk> fake_;
    QTemporaryDir dir_;
    QString burnFolder_;   // the eight burn files that are uploaded, nothing else
    QString updateFolder_; // the four update files and rtspserver.dat

    void Script(const Failure &failure) { ScriptFailure(*fake_, failure); }

    QString FolderFor(const QString &operation) const {
        return operation == QLatin1String("burn") ? burnFolder_ : updateFolder_;
    }

    static QPushButton *Button(pyrelle::TForm1 &form, const QString &operation) {
        if (operation == QLatin1String("burn")) {
            return form.BitBtn1;
        }
        if (operation == QLatin1String("update")) {
            return form.BitBtn2;
        }
        return operation == QLatin1String("download") ? form.BitBtn3 : form.BitBtn4;
    }

    // A shown window with an earlier log entry and caption, which the runs must clear or keep.
    static std::unique_ptr<pyrelle::TForm1> Window() {
        auto form = std::make_unique<pyrelle::TForm1>();
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get())) {
            return nullptr;
        }
        form->LogAdd(QStringLiteral("earlier entry"));
        form->SetStatus(Earlier);
        return form;
    }

    // The update's reminder, shown once, before the picker.
    static void VerifyReminder(const BoxCapture &boxes, int boxesAtPick) {
        QCOMPARE(boxes.shown.size(), std::size_t(1));
        QCOMPARE(boxesAtPick, 1);
        const ShownBox &box = boxes.shown[0];
        QCOMPARE(box.caption, QStringLiteral("Need to do Before"));
        QCOMPARE(box.text,
                 QStringLiteral("With PC Control Application File -> Exit Board Application  "));
        QCOMPARE(box.icon, QMessageBox::NoIcon);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(box.modal);
    }

private slots:
    void initTestCase() {
        fake_ = std::make_unique<FakeCk>();
        QVERIFY(dir_.isValid());
        burnFolder_ = Native(dir_.path() + QStringLiteral("/burn"));
        updateFolder_ = Native(dir_.path() + QStringLiteral("/update"));
        QVERIFY(QDir().mkpath(burnFolder_) && QDir().mkpath(updateFolder_));
        for (const QString &name : BurnNames.mid(0, 8)) {
            QVERIFY(WriteFile(PcFile(burnFolder_, name), name.toUtf8()));
        }
        for (const QString &name : UpdateNames) {
            QVERIFY(WriteFile(PcFile(updateFolder_, name), name.toUtf8()));
        }
    }

    void operation_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<Failure>("failure");
        QTest::addColumn<int>("kept"); // log lines of the successful run before the error text

        QTest::newRow("burn: success") << "burn" << Failure{} << 0;
        QTest::newRow("burn: connect fails")
            << "burn" << Failure{"CkSsh_Connect", 1, "Failed to connect to 192.168.168.201"} << 0;
        QTest::newRow("burn: login fails")
            << "burn" << Failure{"CkSsh_AuthenticatePw", 1, "Login refused"} << 0;
        QTest::newRow("burn: third rm's check fails")
            << "burn" << Failure{"CkSsh__quickCommand", 3, "Channel request refused"} << 4;
        QTest::newRow("burn: attach fails")
            << "burn" << Failure{"CkScp_UseSsh", 1, "Not connected"} << 20;
        QTest::newRow("burn: first upload fails")
            << "burn" << Failure{"CkScp_UploadFile", 1, "scp: /tmp/config: Permission denied"}
            << 20;
        QTest::newRow("burn: fifth upload fails")
            << "burn" << Failure{"CkScp_UploadFile", 5, "scp: /tmp/privatefs.jffs2: No space left"}
            << 28;
        QTest::newRow("burn: final check fails")
            << "burn" << Failure{"CkSsh_getLastMethodSuccess", 11, "Connection lost"} << 37;

        QTest::newRow("update: success") << "update" << Failure{} << 0;
        QTest::newRow("update: connect fails")
            << "update" << Failure{"CkSsh_Connect", 1, "Connection refused"} << 0;
        QTest::newRow("update: second rm's check fails")
            << "update" << Failure{"CkSsh__quickCommand", 2, "Channel closed"} << 2;
        QTest::newRow("update: attach fails")
            << "update" << Failure{"CkScp_UseSsh", 1, "Not connected"} << 8;
        QTest::newRow("update: first upload fails")
            << "update" << Failure{"CkScp_UploadFile", 1, "scp: /app: Read-only file system"} << 8;
        QTest::newRow("update: third upload fails")
            << "update" << Failure{"CkScp_UploadFile", 3, "Connection reset"} << 12;
        QTest::newRow("update: final check fails")
            << "update" << Failure{"CkSsh_getLastMethodSuccess", 5, "Connection lost"} << 17;
        QTest::newRow("update: chmod fails")
            << "update" << Failure{"CkSsh__quickCommand", 5, "chmod refused"} << 19;

        QTest::newRow("download: success") << "download" << Failure{} << 0;
        QTest::newRow("download: connect fails")
            << "download" << Failure{"CkSsh_Connect", 1, "Connection refused"} << 0;
        QTest::newRow("download: attach fails")
            << "download" << Failure{"CkScp_UseSsh", 1, "Not connected"} << 0;
        QTest::newRow("download: transfer fails")
            << "download"
            << Failure{"CkScp_DownloadFile", 1, "scp: /app/rtspserver.dat: No such file"} << 0;

        QTest::newRow("upload: success") << "upload" << Failure{} << 0;
        QTest::newRow("upload: login fails")
            << "upload" << Failure{"CkSsh_AuthenticatePw", 1, "Login refused"} << 0;
        QTest::newRow("upload: attach fails")
            << "upload" << Failure{"CkScp_UseSsh", 1, "Not connected"} << 0;
        QTest::newRow("upload: transfer fails")
            << "upload" << Failure{"CkScp_UploadFile", 1, "scp: /app: No space left"} << 0;
    }

    // The whole log, the caption, every call made, and nothing left alive.
    void operation() {
        QFETCH(QString, operation);
        QFETCH(Failure, failure);
        QFETCH(int, kept);
        Script(failure);
        const QString folder = FolderFor(operation);
        const Run success = Success(operation, folder);
        Run expected = success;
        if (!failure.entry.isEmpty()) {
            expected.calls = FailedCalls(success.calls, failure);
            expected.log = success.log.mid(0, kept) + QStringList{failure.text};
            expected.caption = Earlier;
        }

        const auto form = Window();
        QVERIFY(form);
        BoxCapture boxes;
        int boxesAtPick = -1;
        PickerScript picker({folder}, [&] { boxesAtPick = static_cast<int>(boxes.shown.size()); });
        QTest::mouseClick(Button(*form, operation), Qt::LeftButton);

        QCOMPARE(picker.shown, 1);
        QCOMPARE(form->LogLines(), QStringList{PickerLine(operation, folder)} + expected.log);
        QCOMPARE(form->Panel2->text(), expected.caption);
        QCOMPARE(ToList(fake_->Calls()), expected.calls);
        VerifyNothingLeft(*fake_);
        if (operation == QLatin1String("update")) {
            VerifyReminder(boxes, boxesAtPick);
        } else {
            QVERIFY2(boxes.shown.empty(), "no message box");
        }
    }

    // What the commands print is logged, one entry each, in place of the empty lines.
    void commandOutput() {
        Script({});
        const QString gone = QStringLiteral("rm: can't remove '/app/rtspserver_ref.dat'");
        ScriptOutput(*fake_, QStringLiteral("rm /app/rtspserver_ref.dat"), gone);
        fake_->SetOutput(u"chmod 777 /app/sample_rtspserver", u"done");
        const auto form = Window();
        QVERIFY(form);
        BoxCapture boxes;
        PickerScript picker({updateFolder_});
        QTest::mouseClick(form->BitBtn2, Qt::LeftButton);
        QStringList log = UpdateLog;
        log[4] = gone;
        log[log.size() - 2] = QStringLiteral("done");
        QCOMPARE(form->LogLines(), QStringList{PickerLine("update", updateFolder_)} + log);
        VerifyNothingLeft(*fake_);
    }

    // However the reminder is closed, the update goes on to the picker and the board.
    void reminderClosedAnyway() {
        Script({});
        const auto form = Window();
        QVERIFY(form);
        const auto previous = shell::seams::ExecMessageBox;
        shell::seams::ExecMessageBox = [](QMessageBox &) { return -1; }; // the close box
        PickerScript picker({updateFolder_});
        QTest::mouseClick(form->BitBtn2, Qt::LeftButton);
        shell::seams::ExecMessageBox = previous;
        QCOMPARE(picker.shown, 1);
        QCOMPARE(form->LogLines(), QStringList{PickerLine("update", updateFolder_)} + UpdateLog);
        VerifyNothingLeft(*fake_);
    }

    void cancel_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<bool>("chosenBefore"); // an earlier operation's folder is in place
        for (const char *operation : {"burn", "update", "download", "upload"}) {
            QTest::addRow("%s, first pick of the run", operation)
                << QString::fromLatin1(operation) << false;
            QTest::addRow("%s, after an earlier choice", operation)
                << QString::fromLatin1(operation) << true;
        }
    }

    // A cancelled picker ends the operation after its line: no session, nothing touched.
    void cancel() {
        QFETCH(QString, operation);
        QFETCH(bool, chosenBefore);
        Script({});
        const auto form = Window();
        QVERIFY(form);
        const QString folder = chosenBefore ? FolderFor(operation) : QString();
        form->WorkingFolder = folder;
        BoxCapture boxes;
        int boxesAtPick = -1;
        PickerScript picker({QString()},
                            [&] { boxesAtPick = static_cast<int>(boxes.shown.size()); });
        QTest::mouseClick(Button(*form, operation), Qt::LeftButton);

        QCOMPARE(picker.shown, 1);
        QCOMPARE(form->LogLines(), QStringList{PickerLine(operation, folder)});
        QCOMPARE(form->WorkingFolder, folder);
        QCOMPARE(form->Panel2->text(), Earlier);
        QCOMPARE(ToList(fake_->Calls()), QStringList{});
        VerifyNothingLeft(*fake_);
        if (operation == QLatin1String("update")) {
            VerifyReminder(boxes, boxesAtPick);
        }
    }

    void missingFiles_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QStringList>("absent");   // removed from a complete folder
        QTest::addColumn<QStringList>("folders");  // put in place of a file
        QTest::addColumn<QStringList>("dangling"); // links to nothing in place of a file
        QTest::addColumn<QString>("named");        // the files the log line names
        QTest::newRow("burn: one missing")
            << "burn" << QStringList{"uImage"} << QStringList{} << QStringList{} << "uImage";
        QTest::newRow("burn: several, in slot order")
            << "burn" << QStringList{"uImage", "config", "rootfs.jffs2"} << QStringList{}
            << QStringList{} << "config, rootfs.jffs2, uImage";
        QTest::newRow("burn: a folder and a dangling link")
            << "burn" << QStringList{} << QStringList{"usb-burn.xml"} << QStringList{"u-boot.bin"}
            << "usb-burn.xml, u-boot.bin";
        QTest::newRow("burn: empty folder") << "burn" << BurnNames.mid(0, 8) << QStringList{}
                                            << QStringList{} << BurnNames.mid(0, 8).join(", ");
        QTest::newRow("update: server program missing")
            << "update" << QStringList{"sample_rtspserver"} << QStringList{} << QStringList{}
            << "sample_rtspserver";
        QTest::newRow("update: configuration is a folder")
            << "update" << QStringList{} << QStringList{"rtspserver.dat"} << QStringList{}
            << "rtspserver.dat";
    }

    // A folder that lacks a file to upload ends the operation before any session opens.
    void missingFiles() {
        QFETCH(QString, operation);
        QFETCH(QStringList, absent);
        QFETCH(QStringList, folders);
        QFETCH(QStringList, dangling);
        QFETCH(QString, named);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString folder = Native(dir.path());
        const QStringList names =
            operation == QLatin1String("burn") ? BurnNames.mid(0, 8) : UpdateNames;
        for (const QString &name : names) {
            const QString path = PcFile(folder, name);
            if (folders.contains(name)) {
                QVERIFY(QDir().mkpath(path));
            } else if (dangling.contains(name)) {
                QVERIFY(MakeSymbolicLink(PcFile(folder, "nothing-here"), path));
            } else if (!absent.contains(name)) {
                QVERIFY(WriteFile(path, name.toUtf8()));
            }
        }
        Script({});
        const auto form = Window();
        QVERIFY(form);
        BoxCapture boxes;
        PickerScript picker({folder});
        QTest::mouseClick(Button(*form, operation), Qt::LeftButton);

        QCOMPARE(form->LogLines(),
                 (QStringList{PickerLine(operation, folder),
                              "Files missing or unreadable in " + folder + " : " + named}));
        QCOMPARE(form->Panel2->text(), Earlier);
        QCOMPARE(ToList(fake_->Calls()), QStringList{});
        VerifyNothingLeft(*fake_);
    }
};

TAVRIN_TEST_MAIN(OperationsTest)
#include "tst_burn_ops.moc"
