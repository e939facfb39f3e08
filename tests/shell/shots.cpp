// Shows both programs' main windows and About boxes on a real X display and saves what the
// screen shows, for a person to look at. Run by screenshots.sh under Xvfb; not a test.
// Usage: shots <output folder>
#include "Application.h"
#include "FRMUnit1.h"
#include "orvane/Unit1.h"
#include "pyrelle/Unit1.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>

#include <cstdio>

namespace {

bool Save(QWidget &window, const QString &path) {
    window.raise();
    window.activateWindow();
    QTest::qWait(400);
    const QRect frame = window.frameGeometry();
    const QPixmap shot =
        window.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    const bool ok = shot.save(path);
    std::printf("%s %s (%dx%d)\n", ok ? "saved" : "FAILED", qPrintable(path), shot.width(),
                shot.height());
    return ok;
}

template <class Form, class Design>
bool Shoot(const QString &folder, const QString &name, Design design) {
    Form form;
    shell::TAboutfrm about(design().AboutTitlePosition);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        return false;
    }
    form.LogAdd(QStringLiteral("192.168.168.201: connected, logged in as root"));
    form.LogAdd(QString());
    form.LogAdd(QStringLiteral("Tavrin Reboot OK."));
    form.LogAdd(QStringLiteral("A long line that shows how the log wraps its text when a line is "
                               "wider than the log itself, as board outputs often are."));
    form.SetStatus(QStringLiteral("Finished !! "));
    bool ok = Save(form, folder + QStringLiteral("/%1-main.png").arg(name));
    form.About1->trigger();
    if (!QTest::qWaitForWindowExposed(&about)) {
        return false;
    }
    ok = Save(about, folder + QStringLiteral("/%1-about.png").arg(name)) && ok;
    about.close();
    form.close();
    return ok;
}

} // namespace

int main(int argc, char **argv) {
    shell::TApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    bool ok = Shoot<orvane::TForm1>(folder, QStringLiteral("orvane"), &orvane::Design);
    ok = Shoot<pyrelle::TForm1>(folder, QStringLiteral("pyrelle"), &pyrelle::Design) && ok;
    return ok ? 0 : 1;
}
