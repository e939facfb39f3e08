// Both programs' main windows as the screen shows them: the board address drawn in its edit,
// every caption in Tahoma, every button caption inside its button. Built for Windows too, where
// the windows are drawn by Qt's Windows platform plugin and the system's own fonts.
#include "TestSupport.h"

#include "MainForm.h"
#include "orvane/Unit1.h"
#include "pyrelle/Unit1.h"

#include <QAbstractButton>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>

#include <memory>

namespace {

// What the screen shows of the widget, taken from its window as it is on screen (a grab of the
// widget alone would paint it anew, on a surface the window's text is not drawn on).
QImage OnScreen(QWidget &widget) {
    widget.repaint();
    QCoreApplication::processEvents();
    QWidget *window = widget.window();
    const QPoint at = widget.mapTo(window, QPoint(0, 0));
    return window->screen()
        ->grabWindow(window->winId(), at.x(), at.y(), widget.width(), widget.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// The pixels of `with` nearer the edit's text colour than its background colour that `without`
// does not have, and the rectangle they span: the ink the text itself puts on screen.
struct Ink {
    int pixels = 0;
    QRect bounds;
};

Ink InkOf(const QImage &with, const QImage &without, const QColor &text, const QColor &base) {
    const int middle = (qGray(text.rgb()) + qGray(base.rgb())) / 2;
    const bool darkText = qGray(text.rgb()) < qGray(base.rgb());
    const auto inked = [&](QRgb pixel) {
        return darkText ? qGray(pixel) < middle : qGray(pixel) > middle;
    };
    Ink ink;
    for (int y = 0; y < qMin(with.height(), without.height()); ++y) {
        for (int x = 0; x < qMin(with.width(), without.width()); ++x) {
            if (inked(with.pixel(x, y)) && !inked(without.pixel(x, y))) {
                ++ink.pixels;
                ink.bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return ink;
}

QStringList Named(const QList<QWidget *> &widgets) {
    QStringList names;
    for (const QWidget *widget : widgets) {
        names << widget->objectName();
    }
    return names;
}

} // namespace

class LooksTest : public QObject {
    Q_OBJECT

    std::unique_ptr<orvane::TForm1> orvane_;
    std::unique_ptr<pyrelle::TForm1> pyrelle_;

    // The program's window, shown alone: both open in the middle of the screen, and the one
    // beneath would show nothing of its own.
    shell::TMainForm &Shown(const QString &program) {
        const bool isOrvane = program == QLatin1String("Orvane");
        shell::TMainForm &form = isOrvane ? static_cast<shell::TMainForm &>(*orvane_) : *pyrelle_;
        shell::TMainForm &other = isOrvane ? static_cast<shell::TMainForm &>(*pyrelle_) : *orvane_;
        other.hide();
        form.show();
        if (!QTest::qWaitForWindowExposed(&form)) {
            qWarning("%s was not shown", qPrintable(program));
        }
        QTest::qWait(200);
        return form;
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
    }

    void cleanupTestCase() {
        pyrelle_.reset();
        orvane_.reset();
    }

    // The address is on screen, the whole of it: as much ink as the digits and dots make, as
    // wide and as high as the font says the text is, so none of it is scrolled or cut away.
    void addressDrawn_data() { AddPrograms(); }
    void addressDrawn() {
        QFETCH(QString, program);
        shell::TMainForm &form = Shown(program);
        QLineEdit &edit = *form.BIP;
        const QString address = edit.text();
        QCOMPARE(address, QStringLiteral("192.168.168.201"));
        const QImage with = OnScreen(edit);
        edit.setText(QString());
        const QImage without = OnScreen(edit);
        edit.setText(address);
        const QColor text = edit.palette().color(QPalette::Text);
        const QColor base = edit.palette().color(QPalette::Base);
        const Ink ink = InkOf(with, without, text, base);
        const QRect drawn = QFontMetrics(edit.font()).tightBoundingRect(address);
        const QString seen = QStringLiteral("%1 ink pixels in %2x%3 at %4,%5; the text is %6x%7")
                                 .arg(ink.pixels)
                                 .arg(ink.bounds.width())
                                 .arg(ink.bounds.height())
                                 .arg(ink.bounds.x())
                                 .arg(ink.bounds.y())
                                 .arg(drawn.width())
                                 .arg(drawn.height());
        QVERIFY2(ink.pixels >= 3 * address.size(), qPrintable(seen));
        QVERIFY2(ink.bounds.width() * 10 >= drawn.width() * 8, qPrintable(seen));
        QVERIFY2(ink.bounds.height() * 10 >= drawn.height() * 8, qPrintable(seen));
    }

    // Labels, buttons, the edit, the log and the lists are all drawn in Tahoma, the face the
    // layout was drawn for; the menu keeps the system's own font.
    void tahoma_data() { AddPrograms(); }
    void tahoma() {
        QFETCH(QString, program);
        shell::TMainForm &form = Shown(program);
        QList<QWidget *> wrong;
        QStringList families;
        for (QWidget *widget : form.ClientArea()->findChildren<QWidget *>()) {
            if (qobject_cast<QAbstractButton *>(widget) == nullptr &&
                qobject_cast<QLabel *>(widget) == nullptr &&
                qobject_cast<QLineEdit *>(widget) == nullptr &&
                qobject_cast<QPlainTextEdit *>(widget) == nullptr &&
                qobject_cast<QListWidget *>(widget) == nullptr) {
                continue;
            }
            const QString family = QFontInfo(widget->font()).family();
            if (family != QLatin1String("Tahoma")) {
                wrong << widget;
                families << family;
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(QStringLiteral("not in Tahoma: %1 (%2)")
                                                 .arg(Named(wrong).join(QStringLiteral(", ")),
                                                      families.join(QStringLiteral(", ")))));
    }

    // Every caption fits inside its button's contents, the area within the style's frame and
    // margins that the style draws the caption into and cuts it off at, hidden buttons included
    // (Orvane's reboot).
    void captionsFit_data() { AddPrograms(); }
    void captionsFit() {
        QFETCH(QString, program);
        shell::TMainForm &form = Shown(program);
        QStringList cut;
        int buttons = 0;
        for (QPushButton *button : form.findChildren<QPushButton *>()) {
            if (button->text().isEmpty()) {
                continue;
            }
            ++buttons;
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = button->text();
            option.rect = button->rect();
            QStyle *style = button->style();
            const int contents =
                style->subElementRect(QStyle::SE_PushButtonContents, &option, button).width();
            const int text = QFontMetrics(button->font()).horizontalAdvance(button->text());
            if (text > contents) {
                cut << QStringLiteral("%1 \"%2\": %3 px in %4")
                           .arg(button->objectName(), button->text())
                           .arg(text)
                           .arg(contents);
            }
        }
        QCOMPARE(buttons, 5);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
    }
};

TAVRIN_TEST_MAIN(LooksTest)
#include "tst_looks.moc"
