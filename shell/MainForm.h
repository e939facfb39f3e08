// The main window skeleton both programs share: menu, button panel with the board address,
// log, status panel, start-up version caption, the folder pickers and the About box's opener.
// Each program derives its TForm1 from it and adds its own controls and handlers.
#pragma once

#include "Application.h"
#include "Platform.h"

#include <QColor>
#include <QMainWindow>
#include <QPoint>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class QAbstractButton;
class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;

namespace shell {

// What makes one program's window its own.
struct ProgramDesign {
    QString Title;                       // designed caption, also the About box title
    platform::FileVersion FileVersion{}; // compiled in; used where the file carries no resource
    int ClientHeight = 0;
    int MemoHeight = 0;
    std::array<QString, 4> ButtonCaptions;
    bool RebootVisible = false;
    int StatusFontPixels = 0;
    QColor StatusColour;
    QPoint AboutTitlePosition;
};

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    ~TMainForm() override;

    QMenuBar *MainMenu1;
    QMenu *File1;
    QAction *Exit1;
    QAction *About1;
    QFrame *Panel1;
    QPushButton *BitBtn1;
    QPushButton *BitBtn2;
    QPushButton *BitBtn3;
    QPushButton *BitBtn4;
    QLabel *BIPLabel;
    QLineEdit *BIP;
    QPushButton *BitBtn5;
    QLabel *Panel2;
    QPlainTextEdit *Memo1;

    // The program file's version as "V1.V2.V3.V4", set when the window is shown.
    QString VersionText;
    // The folder of the last accepted picker, and the pickers' start folder.
    QString WorkingFolder;
    QString DefaultFolder;

    // The board address: BIP's text, unchanged, read anew each time a session opens.
    std::u16string BoardAddress() const;

    // The log: every append is one new last line (an empty text an empty line), kept in view.
    void LogClear();
    void LogAdd(const QString &text);
    QStringList LogLines() const;
    // The log as a sink for the board session's reports.
    std::function<void(std::u16string_view)> LogSink();

    // The status panel's centred caption.
    void SetStatus(const QString &caption);

    void GetBuildInfo(std::uint16_t &V1, std::uint16_t &V2, std::uint16_t &V3, std::uint16_t &V4);

    // Let the user choose a destination or source folder, keep it in WorkingFolder, log it.
    // The line is logged on cancel too, with WorkingFolder unchanged, so only the result tells
    // a cancel from choosing the same folder again: true when a folder was accepted.
    bool SavFolder();
    bool OpenFolder();

    void About1Click(QObject *Sender);
    void Exit1Click(QObject *Sender);

    // The client area below the menu: parent of every control the programs add.
    QWidget *ClientArea() const { return client_; }

protected:
    explicit TMainForm(const ProgramDesign &design);

    // Binds a click handler, run so that an escaping error reaches the error box.
    template <class Form> void OnClick(QAbstractButton *button, void (Form::*handler)(QObject *)) {
        BindClick(button, [this, button, handler] {
            RunHandler([this, button, handler] { (static_cast<Form *>(this)->*handler)(button); });
        });
    }

    virtual void FormShow(QObject *Sender);
    void showEvent(QShowEvent *event) override;

private:
    void BindClick(QAbstractButton *button, std::function<void()> run);
    bool PickFolder(const QString &logText);

    ProgramDesign design_;
    QWidget *client_;
    int logEntries_ = 0;
};

} // namespace shell
