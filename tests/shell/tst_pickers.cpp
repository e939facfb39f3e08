// The folder pickers SavFolder and OpenFolder, answered through the dialog seam.
#include "TestSupport.h"

#include "pyrelle/Unit1.h"

#include <QDir>
#include <QTemporaryDir>

#include <deque>

class PickersTest : public QObject {
    Q_OBJECT

    QTemporaryDir dirs_;

private slots:
    void initTestCase() {
        QVERIFY(dirs_.isValid());
        QVERIFY(QDir(dirs_.path()).mkpath(QStringLiteral("first")));
        QVERIFY(QDir(dirs_.path()).mkpath(QStringLiteral("second")));
    }

    void choices_data() {
        QTest::addColumn<QString>("pickers");     // S: SavFolder, O: OpenFolder, in call order
        QTest::addColumn<QStringList>("answers"); // folder under the temporary dir, or "-": cancel
        QTest::addColumn<QStringList>("log");     // "@" stands for the temporary dir
        QTest::addColumn<QString>("working");
        QTest::newRow("accept") << "O" << QStringList{"first"}
                                << QStringList{"Source Folder : @/first"} << "@/first";
        QTest::newRow("cancel at first")
            << "O" << QStringList{"-"} << QStringList{"Source Folder : "} << "";
        QTest::newRow("two accepts in a row")
            << "SO" << QStringList{"first", "second"}
            << QStringList{"Destination Folder : @/first", "Source Folder : @/second"}
            << "@/second";
        QTest::newRow("cancel after a download's choice")
            << "SO" << QStringList{"first", "-"}
            << QStringList{"Destination Folder : @/first", "Source Folder : @/first"} << "@/first";
        QTest::newRow("same folder chosen again")
            << "OO" << QStringList{"first", "first"}
            << QStringList{"Source Folder : @/first", "Source Folder : @/first"} << "@/first";
        QTest::newRow("cancel after an upload's choice")
            << "OS" << QStringList{"second", "-"}
            << QStringList{"Source Folder : @/second", "Destination Folder : @/second"}
            << "@/second";
    }

    void choices() {
        QFETCH(QString, pickers);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, log);
        QFETCH(QString, working);
        const QString root = QDir::toNativeSeparators(dirs_.path());
        std::deque<QString> script;
        for (const QString &answer : answers) {
            script.push_back(
                answer == QLatin1String("-")
                    ? QString()
                    : QDir::toNativeSeparators(dirs_.path() + QLatin1Char('/') + answer));
        }
        for (QString &line : log) {
            line.replace(QLatin1Char('@'), root).replace(QLatin1Char('/'), QDir::separator());
        }
        working.replace(QLatin1Char('@'), root).replace(QLatin1Char('/'), QDir::separator());

        pyrelle::TForm1 form;
        QVERIFY(form.WorkingFolder.isEmpty());
        PickerScript dialogs(std::move(script));
        QList<bool> accepted;
        for (const QChar picker : pickers) {
            accepted << (picker == QLatin1Char('S') ? form.SavFolder() : form.OpenFolder());
        }
        // Each picker tells whether its folder was accepted, even when a cancel leaves the
        // same folder in place as a choice would.
        QList<bool> answered;
        for (const QString &answer : answers) {
            answered << (answer != QLatin1String("-"));
        }
        QCOMPARE(accepted, answered);
        QCOMPARE(form.LogLines(), log);
        QCOMPARE(form.WorkingFolder, working);
        QCOMPARE(dialogs.seen.size(), std::size_t(pickers.size()));
        for (const NativeDialogWatch &dialog : dialogs.seen) {
            QVERIFY2(!dialog.held(), "no dialog outlives its picker");
        }
        for (const NativeDialogLook &native : dialogs.natives) {
            QVERIFY2(native.platformDialog, "the platform's own folder dialog");
            QVERIFY2(native.exactlyFolderPicking, "set to pick folders and nothing else");
        }
        for (const QString &title : dialogs.titles) {
            QCOMPARE(title, QStringLiteral("Select Directory"));
        }
        for (const QString &label : dialogs.acceptLabels) {
            QCOMPARE(label, QStringLiteral("Select"));
        }
        QVERIFY2(dialogs.foldersOnly, "the dialogs pick existing folders only");
        QVERIFY2(dialogs.modal, "the dialogs are modal over the application");
    }

    // DefaultFolder, when set, is where the dialog opens and the name it offers.
    void startsInDefaultFolder() {
        pyrelle::TForm1 form;
        form.DefaultFolder = QDir::toNativeSeparators(dirs_.path() + QStringLiteral("/second"));
        PickerScript dialogs({QString()});
        form.OpenFolder();
        QCOMPARE(dialogs.startFolders, QStringList{form.DefaultFolder});
        QCOMPARE(dialogs.natives.size(), std::size_t(1));
        QCOMPARE(dialogs.natives[0].folder, form.DefaultFolder);
        if (const std::optional<QString> &name = dialogs.natives[0].fileName) {
            QCOMPARE(*name, form.DefaultFolder);
        }
        QCOMPARE(form.LogLines(), QStringList{"Source Folder : "});
    }
};

TAVRIN_TEST_MAIN(PickersTest)
#include "tst_pickers.moc"
