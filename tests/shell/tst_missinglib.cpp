// Without ChilkatDelphi32.dll anywhere the loader looks, an operation ends in the error box;
// every click tries the load afresh, so a library put in place meanwhile is found.
// This program lives in a folder of its own, away from the real library and the fake.
#include "TestSupport.h"

#include "FakeCk.h"
#include "pyrelle/Unit1.h"

#include <QDir>
#include <QFile>
#include <QPushButton>

class MissingLibraryTest : public QObject {
    Q_OBJECT

    QString placed_ =
        QCoreApplication::applicationDirPath() + QStringLiteral("/ChilkatDelphi32.dll");

private slots:
    void initTestCase() {
        QFile::remove(placed_);
        QVERIFY2(!QFile::exists(placed_), "no library beside this test at the start");
    }

    void cleanupTestCase() { QFile::remove(placed_); }

    void errorBoxThenRetry() {
        pyrelle::TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.LogAdd(QStringLiteral("earlier entry"));
        BoxCapture boxes;

        QTest::mouseClick(form.BitBtn5, Qt::LeftButton);
        QTest::mouseClick(form.BitBtn5, Qt::LeftButton);
        QCOMPARE(boxes.shown.size(), std::size_t(2));
        for (const ShownBox &box : boxes.shown) {
            QCOMPARE(box.text, QStringLiteral("Library not found: ChilkatDelphi32.dll."));
            QCOMPARE(box.caption, ExpectedTitle());
            QCOMPARE(box.icon, QMessageBox::Critical);
            QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        }
        QCOMPARE(form.LogLines(), QStringList{"earlier entry"});

        // The library appears in the program's folder: the next click finds and uses it.
        QVERIFY(QFile::copy(QStringLiteral(FAKECK_PATH), placed_));
        QTest::mouseClick(form.BitBtn5, Qt::LeftButton);
        QCOMPARE(boxes.shown.size(), std::size_t(2));
        QCOMPARE(form.LogLines(), (QStringList{"earlier entry", "", "Tavrin Reboot OK."}));
        const FakeCk fake{FakeCk::AlreadyLoaded{}};
        QCOMPARE(fake.Calls().front(), std::string("CkSsh_Create()"));
        QCOMPARE(fake.LiveSessions(), 0);
    }
};

TAVRIN_TEST_MAIN(MissingLibraryTest)
#include "tst_missinglib.moc"
