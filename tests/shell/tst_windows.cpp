// Both programs' main windows: controls and layout, caption with version, menu, tab order,
// docking, the application title rule and the error box.
#include "TestSupport.h"

#include "MainForm.h"
#include "Style.h"
#include "ckDllLoader.h"
#include "orvane/Unit1.h"
#include "pyrelle/Unit1.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>

#include <memory>
#include <stdexcept>

namespace {

// A program window with two more buttons: one whose handler raises the loader's error, bound
// like every handler of the programs, and one that only counts its clicks.
class ThrowingForm : public pyrelle::TForm1 {
public:
    ThrowingForm()
        : Thrower(new QPushButton(QStringLiteral("throw"), ClientArea())),
          Other(new QPushButton(QStringLiteral("other"), ClientArea())) {
        Thrower->setGeometry(300, 320, 80, 24);
        Other->setGeometry(300, 350, 80, 24);
        OnClick(Thrower, &ThrowingForm::ThrowerClick);
    }
    void ThrowerClick(QObject * /*Sender*/) {
        ++raised;
        throw ckDllLoader::Exception("Function not found: ChilkatDelphi32.dll.CkSsh_Connect");
    }
    QPushButton *Thrower;
    QPushButton *Other;
    int raised = 0;
};

class ThrowingObject : public QObject {
protected:
    bool event(QEvent *event) override {
        if (event->type() == QEvent::User) {
            throw std::runtime_error("Raised in an event handler!");
        }
        return QObject::event(event);
    }
};

} // namespace

class WindowsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<orvane::TForm1> orvane_;
    std::unique_ptr<pyrelle::TForm1> pyrelle_;

    shell::TMainForm &Form(const QString &program) {
        if (program == QLatin1String("Orvane")) {
            return *orvane_;
        }
        return *pyrelle_;
    }

    static void AddPrograms() {
        QTest::addColumn<QString>("program");
        QTest::newRow("Orvane") << QStringLiteral("Orvane");
        QTest::newRow("Pyrelle") << QStringLiteral("Pyrelle");
    }

private slots:
    void initTestCase() {
        orvane_ = std::make_unique<orvane::TForm1>();
        pyrelle_ = std::make_unique<pyrelle::TForm1>();
        orvane_->show();
        pyrelle_->show();
        QVERIFY(QTest::qWaitForWindowExposed(orvane_.get()));
        QVERIFY(QTest::qWaitForWindowExposed(pyrelle_.get()));
    }

    void cleanupTestCase() {
        pyrelle_.reset();
        orvane_.reset();
    }

    void controls_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QRect>("geometry"); // width -1: the width of the text
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("text");
        struct Row {
            const char *name;
            const char *parent;
            QRect geometry;
            const char *orvane;  // text in Orvane; null: absent
            const char *pyrelle; // text in Pyrelle; null: absent
        };
        const Row rows[] = {
            {"Panel1", "ClientArea", {0, 0, 425, 137}, "", ""},
            {"BitBtn1",
             "Panel1",
             {8, 14, 201, 32},
             "Show Recording Files on SD",
             "Copy Burn Files from PC  ->  Board SD"},
            {"BitBtn2",
             "Panel1",
             {215, 14, 201, 32},
             "Clear SD Card",
             "Copy Update Files from PC  ->  Board "},
            {"BitBtn3",
             "Panel1",
             {8, 52, 201, 32},
             "Copy Recording Files to USB Disk",
             "Copy Config File from Board  ->  PC"},
            {"BitBtn4",
             "Panel1",
             {215, 52, 201, 32},
             "Show Files on USB Disk",
             "Copy Config File from PC ->  Board"},
            {"BIP", "Panel1", {8, 104, 121, 21}, "192.168.168.201", "192.168.168.201"},
            {"BIPLabel", "Panel1", {8, 88, 121, 13}, "Board IP", "Board IP"},
            {"BitBtn5", "Panel1", {215, 90, 201, 32}, "Reboot Board", "Reboot Board"},
            {"Memo1", "ClientArea", {8, 162, 409, 0}, "", ""},
            {"Label1", "ClientArea", {16, 319, -1, 13}, "SD Recoding Files", nullptr},
            {"Label2", "ClientArea", {224, 319, -1, 13}, "USB Disk Files", nullptr},
            {"ListBox1", "ClientArea", {8, 344, 185, 321}, "", nullptr},
            {"ListBox2", "ClientArea", {215, 344, 185, 321}, "", nullptr},
        };
        for (const Row &row : rows) {
            for (const bool isOrvane : {true, false}) {
                const char *text = isOrvane ? row.orvane : row.pyrelle;
                const QString program =
                    isOrvane ? QStringLiteral("Orvane") : QStringLiteral("Pyrelle");
                QRect geometry = row.geometry;
                if (QLatin1String(row.name) == QLatin1String("Memo1")) {
                    geometry.setHeight(isOrvane ? 151 : 260);
                }
                const bool shown = text != nullptr && !(isOrvane && QLatin1String(row.name) ==
                                                                        QLatin1String("BitBtn5"));
                QTest::addRow("%s %s", qPrintable(program), row.name)
                    << program << QString::fromLatin1(row.name) << QString::fromLatin1(row.parent)
                    << geometry << shown
                    << (text != nullptr ? QString::fromLatin1(text) : QString());
            }
        }
        // The status panel's top depends on each program's client height.
        QTest::addRow("Orvane Panel2")
            << QStringLiteral("Orvane") << QStringLiteral("Panel2") << QStringLiteral("ClientArea")
            << QRect(0, 676, 425, 49) << true << QString();
        QTest::addRow("Pyrelle Panel2")
            << QStringLiteral("Pyrelle") << QStringLiteral("Panel2") << QStringLiteral("ClientArea")
            << QRect(0, 428, 425, 49) << true << QString();
    }

    void controls() {
        QFETCH(QString, program);
        QFETCH(QString, name);
        QFETCH(QString, parent);
        QFETCH(QRect, geometry);
        QFETCH(bool, shown);
        QFETCH(QString, text);
        shell::TMainForm &form = Form(program);
        auto *control = form.findChild<QWidget *>(name);
        if (text.isNull() && !shown) {
            QVERIFY2(control == nullptr, qPrintable(name + " must not exist in " + program));
            return;
        }
        QVERIFY2(control != nullptr, qPrintable(name + " is missing in " + program));
        QCOMPARE(control->parentWidget()->objectName(), parent);
        if (geometry.width() < 0) {
            geometry.setWidth(control->sizeHint().width());
        }
        QCOMPARE(control->geometry(), geometry);
        QVERIFY2(
            control->isVisibleTo(&form) == shown,
            qPrintable(QStringLiteral("%1 should be %2").arg(name, shown ? "visible" : "hidden")));
        QString actual;
        if (auto *button = qobject_cast<QPushButton *>(control)) {
            actual = button->text();
        } else if (auto *label = qobject_cast<QLabel *>(control)) {
            actual = label->text();
        } else if (auto *edit = qobject_cast<QLineEdit *>(control)) {
            actual = edit->text();
        } else if (auto *memo = qobject_cast<QPlainTextEdit *>(control)) {
            actual = memo->toPlainText();
        } else if (auto *list = qobject_cast<QListWidget *>(control)) {
            QCOMPARE(list->count(), 0);
        }
        if (!text.isNull()) {
            QCOMPARE(actual, text);
        }
    }

    void window_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("client");
        QTest::addColumn<int>("statusPixels");
        QTest::addColumn<QColor>("statusColour");
        QTest::newRow("Orvane") << QStringLiteral("Orvane    ver 1.0.0.5") << QSize(425, 725) << 16
                                << shell::platform::DesktopColour();
        QTest::newRow("Pyrelle") << QStringLiteral("Pyrelle    ver 1.0.0.3") << QSize(425, 477)
                                 << 19 << QColor(255, 0, 0);
    }

    void window() {
        QFETCH(QString, caption);
        QFETCH(QSize, client);
        QFETCH(int, statusPixels);
        QFETCH(QColor, statusColour);
        shell::TMainForm &form = Form(QString::fromLatin1(QTest::currentDataTag()));
        QCOMPARE(form.windowTitle(), caption);
        QCOMPARE(form.VersionText, caption.section(QLatin1Char(' '), -1));
        QCOMPARE(form.centralWidget()->size(), client);
        QCOMPARE(form.centralWidget()->palette().color(QPalette::Window), QColor(192, 220, 192));
        QCOMPARE(form.Panel1->palette().color(QPalette::Window), QColor(166, 202, 240));
        QCOMPARE(form.Panel2->palette().color(QPalette::Window), QColor(166, 202, 240));
        QCOMPARE(form.font().pixelSize(), 11);
        QCOMPARE(form.Panel2->text(), QString());
        QCOMPARE(form.Panel2->alignment(), Qt::AlignCenter);
        QCOMPARE(form.Panel2->font().pixelSize(), statusPixels);
        QCOMPARE(form.Panel2->palette().color(QPalette::WindowText), statusColour);
        QCOMPARE(form.BitBtn5->font().pixelSize(), 16);
        QCOMPARE(form.BitBtn5->palette().color(QPalette::ButtonText), QColor(255, 0, 0));
        QVERIFY2(form.Memo1->lineWrapMode() == QPlainTextEdit::WidgetWidth, "the log wraps");
        QVERIFY2(!form.Memo1->isReadOnly(), "the log is editable");
        QVERIFY2(form.Memo1->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn,
                 "the log has its scroll bar once shown");
        QVERIFY2(!form.windowIcon().isNull(), "the window carries the application icon");
        const QList<QSize> sizes = form.windowIcon().availableSizes();
        QVERIFY2(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(256, 256)),
                 "the icon has every size from 16 to 256");
    }

    void listItemHeight() {
        for (QListWidget *list : {orvane_->ListBox1, orvane_->ListBox2}) {
            list->addItem(QStringLiteral("REC0001.MP4"));
            QCOMPARE(list->visualItemRect(list->item(0)).height(), 13);
            list->clear();
        }
    }

    void buildInfo() {
        std::uint16_t v[4] = {};
        orvane_->GetBuildInfo(v[0], v[1], v[2], v[3]);
        QCOMPARE((QList<int>{v[0], v[1], v[2], v[3]}), (QList<int>{1, 0, 0, 5}));
        pyrelle_->GetBuildInfo(v[0], v[1], v[2], v[3]);
        QCOMPARE((QList<int>{v[0], v[1], v[2], v[3]}), (QList<int>{1, 0, 0, 3}));
    }

    void docking_data() { AddPrograms(); }

    // Resizing moves only the docked panels; everything else keeps place and size.
    void docking() {
        QFETCH(QString, program);
        shell::TMainForm &form = Form(program);
        const QSize before = form.size();
        const QRect memo = form.Memo1->geometry();
        const QRect button = form.BitBtn4->geometry();
        form.resize(before + QSize(150, 100));
        QTRY_COMPARE(form.centralWidget()->width(), 575);
        const int height = form.centralWidget()->height();
        QCOMPARE(form.Panel1->geometry(), QRect(0, 0, 575, 137));
        QCOMPARE(form.Panel2->geometry(), QRect(0, height - 49, 575, 49));
        QCOMPARE(form.Memo1->geometry(), memo);
        QCOMPARE(form.BitBtn4->geometry(), button);
        form.resize(before);
        QTRY_COMPARE(form.size(), before);
    }

    void tabOrder_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("Orvane") << QStringLiteral("Orvane")
                                << QStringList{"BitBtn1", "BitBtn2", "BitBtn3",  "BitBtn4",
                                               "BIP",     "Memo1",   "ListBox1", "ListBox2"};
        QTest::newRow("Pyrelle") << QStringLiteral("Pyrelle")
                                 << QStringList{"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn4",
                                                "BIP",     "BitBtn5", "Memo1"};
    }

    // The chain that the Tab key follows, hidden controls left out.
    void tabOrder() {
        QFETCH(QString, program);
        QFETCH(QStringList, order);
        shell::TMainForm &form = Form(program);
        QStringList chain;
        QWidget *w = form.BitBtn1;
        do {
            if ((w->focusPolicy() & Qt::TabFocus) != 0 && w->isVisibleTo(&form) &&
                !w->objectName().isEmpty() && w->window() == &form && w != &form) {
                chain << w->objectName();
            }
            w = w->nextInFocusChain();
        } while (w != form.BitBtn1);
        QCOMPARE(chain, order);
    }

    void menu() {
        shell::TMainForm &form = *orvane_;
        QCOMPARE(form.menuBar(), form.MainMenu1);
        const QList<QAction *> bar = form.MainMenu1->actions();
        QCOMPARE(bar.size(), 2);
        QCOMPARE(bar[0]->text(), QStringLiteral("&File"));
        QCOMPARE(bar[0]->menu(), form.File1);
        QCOMPARE(bar[1], form.About1);
        QCOMPARE(form.About1->text(), QStringLiteral("&About"));
        QVERIFY2(form.About1->menu() == nullptr, "About acts on click, without a submenu");
        QCOMPARE(form.File1->actions(), QList<QAction *>{form.Exit1});
        QCOMPARE(form.Exit1->text(), QStringLiteral("&Exit"));
    }

    // "&Exit" closes the window like its close box: no question, the window goes.
    void exitCloses() {
        pyrelle::TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        BoxCapture boxes;
        form.Exit1->trigger();
        QTRY_VERIFY2(!form.isVisible(), "the window closed");
        QVERIFY2(boxes.shown.empty(), "no question was asked");
    }

    void log() {
        pyrelle::TForm1 form;
        form.LogAdd(QStringLiteral("first"));
        form.LogAdd(QString());
        form.LogAdd(QStringLiteral("two\nlines"));
        form.LogAdd(QString());
        QCOMPARE(form.LogLines(), (QStringList{"first", "", "two", "lines", ""}));
        form.LogClear();
        QCOMPARE(form.LogLines(), QStringList());
        form.LogAdd(QString());
        form.LogAdd(QStringLiteral("after an empty entry"));
        QCOMPARE(form.LogLines(), (QStringList{"", "after an empty entry"}));
        form.SetStatus(QStringLiteral("Please Wait  "));
        QCOMPARE(form.Panel2->text(), QStringLiteral("Please Wait  "));
    }

    // The end of the log stays in view after every append.
    void logFollowsEnd() {
        pyrelle::TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        for (int i = 0; i < 200; ++i) {
            form.LogAdd(QStringLiteral("line %1").arg(i));
        }
        QScrollBar *bar = form.Memo1->verticalScrollBar();
        QVERIFY2(bar->maximum() > 0, "the log is longer than its height");
        QTRY_COMPARE(bar->value(), bar->maximum());
    }

    void title_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("title");
        QTest::newRow("program name") << "Orvane"
                                      << "Orvane";
        QTest::newRow("folder and extension") << "/opt/tavrin/bin/Pyrelle.exe"
                                              << "Pyrelle";
        QTest::newRow("windows path") << "C:\\Tools\\ORVANE.EXE"
                                      << "Orvane";
        QTest::newRow("first letter kept") << "pyrelle"
                                           << "pyrelle";
        QTest::newRow("cut at first dot") << "Orvane.v2.exe"
                                          << "Orvane";
        QTest::newRow("dot in folder only") << "/opt/x.y/PyRelle"
                                            << "Pyrelle";
        QTest::newRow("one letter") << "o.exe"
                                    << "o";
        QTest::newRow("nothing before dot") << ".hidden"
                                            << "";
    }

    void title() {
        QFETCH(QString, file);
        QFETCH(QString, title);
        QCOMPARE(shell::ApplicationTitle(file), title);
    }

    void errorText_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("letter") << "x"
                                << "x.";
        QTest::newRow("full stop") << "x."
                                   << "x.";
        QTest::newRow("exclamation") << "x!"
                                     << "x!";
        QTest::newRow("parenthesis") << "x)"
                                     << "x)";
        QTest::newRow("blank") << "x "
                               << "x ";
        QTest::newRow("digit") << "x1"
                               << "x1.";
        QTest::newRow("comma sorts below full stop") << "x,"
                                                     << "x,";
        QTest::newRow("slash sorts above full stop") << "x/"
                                                     << "x/.";
        QTest::newRow("library missing") << "Library not found: ChilkatDelphi32.dll"
                                         << "Library not found: ChilkatDelphi32.dll.";
    }

    void errorText() {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(shell::ErrorBoxText(message), shown);
    }

    // An error that escapes a click handler, bound the way the programs bind theirs, ends in
    // the error box; the window goes on working and keeps what was written before.
    void escapedErrorFromHandler() {
        ThrowingForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.LogAdd(QStringLiteral("written before the error"));
        BoxCapture boxes;
        QTest::mouseClick(form.Thrower, Qt::LeftButton);
        QTest::mouseClick(form.Thrower, Qt::LeftButton);
        QCOMPARE(form.raised, 2);
        QCOMPARE(boxes.shown.size(), std::size_t(2));
        for (const ShownBox &box : boxes.shown) {
            QCOMPARE(box.icon, QMessageBox::Critical);
            QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
            QCOMPARE(box.caption, ExpectedTitle());
            QCOMPARE(box.text,
                     QStringLiteral("Function not found: ChilkatDelphi32.dll.CkSsh_Connect."));
            QVERIFY2(box.modal, "the error box is modal");
        }
        QCOMPARE(form.LogLines(), QStringList{"written before the error"});
        QSignalSpy clicked(form.Other, &QPushButton::clicked);
        QTest::mouseClick(form.Other, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
    }

    // Any other event handler that raises is caught in the application's event dispatch.
    void escapedErrorFromEvent() {
        ThrowingObject object;
        BoxCapture boxes;
        QEvent event(QEvent::User);
        QVERIFY2(QCoreApplication::sendEvent(&object, &event), "the event counts as handled");
        QCoreApplication::sendEvent(&object, &event);
        QCOMPARE(boxes.shown.size(), std::size_t(2));
        QCOMPARE(boxes.shown[1].text, QStringLiteral("Raised in an event handler!"));
        QCOMPARE(boxes.shown[1].caption, ExpectedTitle());
    }
};

TAVRIN_TEST_MAIN(WindowsTest)
#include "tst_windows.moc"
