// Shared pieces of the window tests: a main that runs the tests under the programs' own
// application object, and a capture of the error box instead of showing it.
#pragma once

#include "Application.h"
#include "Seams.h"

#include <QMessageBox>
#include <QString>
#include <QTest>

#include <vector>

// Runs a QtTest class under shell::TApplication, as the programs do.
#define TAVRIN_TEST_MAIN(TestClass)                                                                \
    int main(int argc, char **argv) {                                                              \
        shell::TApplication application(argc, argv);                                               \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

// What an error box would have shown.
struct ShownBox {
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QString caption;
    QString text;
    bool modal;
};

// While alive, every message box is recorded instead of shown, and answered with OK.
class BoxCapture {
public:
    BoxCapture() : previous_(shell::seams::ExecMessageBox) {
        shell::seams::ExecMessageBox = [this](QMessageBox &box) {
            shown.push_back({box.icon(), box.standardButtons(), box.windowTitle(), box.text(),
                             box.isModal() || box.windowModality() != Qt::NonModal});
            return static_cast<int>(QMessageBox::Ok);
        };
    }
    BoxCapture(const BoxCapture &) = delete;
    BoxCapture &operator=(const BoxCapture &) = delete;
    ~BoxCapture() { shell::seams::ExecMessageBox = previous_; }

    std::vector<ShownBox> shown;

private:
    std::function<int(QMessageBox &)> previous_;
};

// The title the error box carries in this test program, by the application's own rule.
inline QString ExpectedTitle() {
    return shell::ApplicationTitle(QCoreApplication::applicationFilePath());
}
