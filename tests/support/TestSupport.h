// Shared pieces of the window tests: a main that runs the tests under the programs' own
// application object, a capture of the error box instead of showing it, and a person at the
// folder dialog who answers from a script.
#pragma once

#include "Application.h"
#include "FolderDialog.h"
#include "NativeDialog.h"
#include "Seams.h"

#include <QMessageBox>
#include <QString>
#include <QTest>

#include <deque>
#include <functional>
#include <optional>
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

// While alive, folder dialogs are answered from the queue: a folder to accept, or a null text
// for cancel (cancel too once the queue is empty); what each dialog was set up with is recorded,
// through the shell's dialog and past it, and each platform dialog is watched beyond its picker.
// `atPick` calls back when a dialog is shown, e.g. to see what happened before.
class PickerScript {
public:
    explicit PickerScript(std::deque<QString> answers, std::function<void()> atPick = {})
        : answers_(std::move(answers)), atPick_(std::move(atPick)),
          previous_(shell::seams::ExecFolderDialog) {
        shell::seams::ExecFolderDialog =
            [this](shell::FolderDialog &dialog) -> std::optional<QString> {
            ++shown;
            seen.emplace_back(dialog);
            natives.push_back(LookAt(dialog));
            titles << dialog.title();
            acceptLabels << dialog.acceptLabel();
            foldersOnly = foldersOnly && dialog.picksExistingFoldersOnly();
            modal = modal && dialog.modal();
            startFolders << dialog.startFolder();
            if (atPick_) {
                atPick_();
            }
            if (answers_.empty()) {
                return std::nullopt;
            }
            const QString answer = answers_.front();
            answers_.pop_front();
            if (answer.isNull()) {
                return std::nullopt;
            }
            return answer;
        };
    }
    PickerScript(const PickerScript &) = delete;
    PickerScript &operator=(const PickerScript &) = delete;
    ~PickerScript() { shell::seams::ExecFolderDialog = previous_; }

    int shown = 0;
    std::vector<NativeDialogWatch> seen;
    std::vector<NativeDialogLook> natives;
    QStringList titles;
    QStringList acceptLabels;
    QStringList startFolders;
    bool foldersOnly = true;
    bool modal = true;

private:
    std::deque<QString> answers_;
    std::function<void()> atPick_;
    std::function<std::optional<QString>(shell::FolderDialog &)> previous_;
};
