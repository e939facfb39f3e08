// The About box: layout, labels per program, one box however often it is asked for, the link
// cursor and the link itself, and the banner decoded by libjpeg.
#include "TestSupport.h"

#include "FRMUnit1.h"
#include "Jpeg.h"
#include "orvane/Unit1.h"
#include "pyrelle/Unit1.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>

#include <memory>

namespace {

// While alive, addresses handed to the desktop are recorded instead of opened.
class OpenCapture {
public:
    OpenCapture() : previous_(shell::seams::OpenAddress) {
        shell::seams::OpenAddress = [this](QWidget *, const QString &address) {
            opened << address;
        };
    }
    OpenCapture(const OpenCapture &) = delete;
    OpenCapture &operator=(const OpenCapture &) = delete;
    ~OpenCapture() { shell::seams::OpenAddress = previous_; }
    QStringList opened;

private:
    std::function<void(QWidget *, const QString &)> previous_;
};

int VisibleAboutBoxes() {
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        n += qobject_cast<shell::TAboutfrm *>(w) != nullptr && w->isVisible() ? 1 : 0;
    }
    return n;
}

// A program's two windows, created as its start-up creates them.
template <class Form> struct Program {
    explicit Program(QPoint titlePosition) : about(titlePosition) {
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
    }
    Form form;
    shell::TAboutfrm about;
};

} // namespace

class AboutTest : public QObject {
    Q_OBJECT

private slots:
    void labels_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QPoint>("titlePosition");
        QTest::addColumn<QString>("version");
        QTest::newRow("Orvane") << "Orvane" << QPoint(80, 167) << "Version  1.0.0.5";
        QTest::newRow("Pyrelle") << "Pyrelle" << QPoint(128, 175) << "Version  1.0.0.3";
    }

    void labels() {
        QFETCH(QString, title);
        QFETCH(QPoint, titlePosition);
        QFETCH(QString, version);
        std::unique_ptr<shell::TMainForm> form;
        std::unique_ptr<shell::TAboutfrm> about;
        if (title == QLatin1String("Orvane")) {
            form = std::make_unique<orvane::TForm1>();
            about = std::make_unique<shell::TAboutfrm>(orvane::Design().AboutTitlePosition);
        } else {
            form = std::make_unique<pyrelle::TForm1>();
            about = std::make_unique<shell::TAboutfrm>(pyrelle::Design().AboutTitlePosition);
        }
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QVERIFY2(!about->isVisible(), "the About box starts hidden");
        QCOMPARE(shell::Aboutfrm, about.get());

        form->About1->trigger();
        QVERIFY2(about->isVisible(), "About shows the box");
        QCOMPARE(about->Label1->text(), title);
        QCOMPARE(about->Label1->pos(), titlePosition);
        QCOMPARE(about->Label1->width(), about->Label1->sizeHint().width());
        QCOMPARE(about->Label2->text(), version);
        QCOMPARE(about->Label2->pos(), QPoint(143, 223));
        QVERIFY2(!about->isModal() && QApplication::activeModalWidget() == nullptr,
                 "the box is modeless: the main window stays usable");
        about->close();
    }

    void layout() {
        Program<pyrelle::TForm1> program(pyrelle::Design().AboutTitlePosition);
        shell::TAboutfrm &about = program.about;
        program.form.About1->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QCOMPARE(about.windowTitle(), QStringLiteral("About"));
        QCOMPARE(about.size(), QSize(407, 419));
        QCOMPARE(about.minimumSize(), about.maximumSize());
        QVERIFY2(about.windowFlags().testFlag(Qt::WindowStaysOnTopHint), "the box stays on top");
        QVERIFY2(!about.windowFlags().testFlag(Qt::WindowMinimizeButtonHint) &&
                     !about.windowFlags().testFlag(Qt::WindowMaximizeButtonHint),
                 "a dialog frame has no minimise or maximise box");
        QCOMPARE(about.palette().color(QPalette::Window), QColor(166, 202, 240));
        QCOMPARE(about.Image1->geometry(), QRect(0, 0, 409, 145));
        QVERIFY2(about.Image1->hasScaledContents(), "the banner is stretched over the control");
        QCOMPARE(about.Memo1->geometry(), QRect(8, 257, 391, 89));
        QVERIFY(about.Memo1->isReadOnly());
        QCOMPARE(about.Memo1->palette().color(QPalette::Base), QColor(Qt::white));
        QCOMPARE(about.Memo1->font().pixelSize(), 13);
        QCOMPARE(about.Memo1->document()->blockCount(), 5);
        for (QTextBlock b = about.Memo1->document()->begin(); b.isValid(); b = b.next()) {
            QVERIFY2(b.blockFormat().alignment().testFlag(Qt::AlignHCenter),
                     qPrintable("not centred: " + b.text()));
            QVERIFY2(b.blockNumber() % 2 == 0 || b.text().isEmpty(),
                     "an empty line between the notice's lines");
        }
        QCOMPARE(about.Label3->pos(), QPoint(128, 352));
        QVERIFY(about.Label3->font().underline());
        QCOMPARE(about.Label3->font().pixelSize(), 20);
        QCOMPARE(about.Label3->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QCOMPARE(about.BitBtn1->geometry(), QRect(160, 388, 75, 25));
        QCOMPARE(about.BitBtn1->text(), QStringLiteral("Close"));
        QList<QWidget *> tabbing;
        for (QWidget *w = about.nextInFocusChain(); w != &about; w = w->nextInFocusChain()) {
            if ((w->focusPolicy() & Qt::TabFocus) != 0) {
                tabbing << w;
            }
        }
        QCOMPARE(tabbing, (QList<QWidget *>{about.BitBtn1, about.Memo1}));
    }

    // Asking again while the box is open sets both labels again and keeps one box.
    void shownTwiceGivesOneBox() {
        Program<orvane::TForm1> program(orvane::Design().AboutTitlePosition);
        program.form.About1->trigger();
        program.about.Label1->setText(QStringLiteral("stale"));
        program.about.Label2->setText(QStringLiteral("stale"));
        program.form.About1->trigger();
        QCOMPARE(VisibleAboutBoxes(), 1);
        QCOMPARE(program.about.Label1->text(), QStringLiteral("Orvane"));
        QCOMPARE(program.about.Label2->text(), QStringLiteral("Version  1.0.0.5"));
    }

    // "Close" hides the box; it can be shown again, and the program still ends with its main
    // window even while the box is open.
    void closeHides() {
        Program<orvane::TForm1> program(orvane::Design().AboutTitlePosition);
        program.form.About1->trigger();
        QTest::mouseClick(program.about.BitBtn1, Qt::LeftButton);
        QVERIFY2(!program.about.isVisible(), "Close hides the box");
        QCOMPARE(shell::Aboutfrm, &program.about);
        program.form.About1->trigger();
        QVERIFY2(program.about.isVisible(), "shown again");
        QVERIFY2(!program.about.testAttribute(Qt::WA_QuitOnClose),
                 "an open About box does not keep the program running");
    }

    void cursorFollowsLink() {
        Program<pyrelle::TForm1> program(pyrelle::Design().AboutTitlePosition);
        program.form.About1->trigger();
        shell::TAboutfrm &about = program.about;
        QCOMPARE(about.cursor().shape(), Qt::ArrowCursor);
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(about.Label3, &enter);
        QCOMPARE(about.cursor().shape(), Qt::PointingHandCursor);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(about.Label3, &leave);
        QCOMPARE(about.cursor().shape(), Qt::ArrowCursor);
    }

    void linkOpensThroughShell() {
        Program<pyrelle::TForm1> program(pyrelle::Design().AboutTitlePosition);
        program.form.About1->trigger();
        OpenCapture shell;
        QTest::mouseClick(program.about.Label3, Qt::LeftButton);
        QCOMPARE(shell.opened, QStringList{"https://www.example.com/tavrin-tools"});
        QVERIFY2(program.about.isVisible(), "the box stays open");
    }

    void banner() {
        QFile file(QStringLiteral(":/tavrin/banner.jpg"));
        QVERIFY2(file.open(QIODevice::ReadOnly), "the banner is embedded in the program");
        const QImage image = shell::DecodeJpeg(file.readAll());
        QCOMPARE(image.size(), QSize(1311, 354));
        bool coloured = false;
        for (int y = 0; y < image.height() && !coloured; y += 7) {
            for (int x = 0; x < image.width() && !coloured; x += 7) {
                const QColor c = image.pixelColor(x, y);
                coloured = qAbs(c.red() - c.green()) > 40 || qAbs(c.green() - c.blue()) > 40;
            }
        }
        QVERIFY2(coloured, "the banner is a colour picture");
        Program<orvane::TForm1> program(orvane::Design().AboutTitlePosition);
        QCOMPARE(program.about.Image1->pixmap().size(), QSize(1311, 354));
    }

    void badJpeg_data() {
        QTest::addColumn<QByteArray>("data");
        QFile file(QStringLiteral(":/tavrin/banner.jpg"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray good = file.readAll();
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not a picture") << QByteArray("GIF89a not a jpeg at all");
        QTest::newRow("header only") << good.left(300);
    }

    // Data libjpeg cannot read gives no picture and no crash.
    void badJpeg() {
        QFETCH(QByteArray, data);
        const QImage image = shell::DecodeJpeg(data);
        QVERIFY2(image.isNull() || image.size() == QSize(1311, 354),
                 "unreadable data gives no picture (a cut one may decode partially)");
    }
};

TAVRIN_TEST_MAIN(AboutTest)
#include "tst_about.moc"
