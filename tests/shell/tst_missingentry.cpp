// A ChilkatDelphi32.dll beside the program that lacks the entry points: an operation ends in
// the error box that names the first one missing, and the log stays as it was.
#include "TestSupport.h"

#include "pyrelle/Unit1.h"

#include <QFile>
#include <QPushButton>

class MissingEntryTest : public QObject {
    Q_OBJECT

private slots:
    void errorBox() {
        QVERIFY2(QFile::exists(QCoreApplication::applicationDirPath() +
                               QStringLiteral("/ChilkatDelphi32.dll")),
                 "the library without entry points stands beside this test");
        pyrelle::TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.LogAdd(QStringLiteral("earlier entry"));
        BoxCapture boxes;
        QTest::mouseClick(form.BitBtn5, Qt::LeftButton);
        QCOMPARE(boxes.shown.size(), std::size_t(1));
        QCOMPARE(boxes.shown.front().text,
                 QStringLiteral("Function not found: ChilkatDelphi32.dll.CkSsh_Create."));
        QCOMPARE(boxes.shown.front().caption, ExpectedTitle());
        QCOMPARE(boxes.shown.front().icon, QMessageBox::Critical);
        QCOMPARE(form.LogLines(), QStringList{"earlier entry"});
    }
};

TAVRIN_TEST_MAIN(MissingEntryTest)
#include "tst_missingentry.moc"
