// Runs Pyrelle's burn-file upload once without anyone at the screen: the window on the
// offscreen platform, the folder picker answered with FOLDER, the button clicked.
//   burn_drive FOLDER [ADDRESS]
// Prints the operation's time from click to end as "op_ms N"; exits 0 only when the log ends
// with the reboot request, and prints the log otherwise.
#include "Application.h"
#include "Seams.h"
#include "pyrelle/Unit1.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: burn_drive FOLDER [ADDRESS]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    shell::TApplication application(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    shell::seams::ExecFolderDialog = [folder](shell::FolderDialog &) {
        return std::optional(folder);
    };
    // Nothing may wait for a person: an error box is printed instead.
    shell::seams::ExecMessageBox = [](QMessageBox &box) {
        std::fprintf(stderr, "box: %s\n", qPrintable(box.text()));
        return static_cast<int>(QMessageBox::Ok);
    };

    pyrelle::TForm1 form;
    form.show();
    if (argc > 2) {
        form.BIP->setText(QString::fromLocal8Bit(argv[2]));
    }
    QElapsedTimer timer;
    timer.start();
    form.BitBtn1->click();
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;

    const QStringList log = form.LogLines();
    if (log.isEmpty() || log.constLast() != QLatin1String("Please  Reboot Board")) {
        std::fprintf(stderr, "%s\n", qPrintable(log.join(QLatin1Char('\n'))));
        return 1;
    }
    std::printf("op_ms %.3f\n", ms);
    return 0;
}
