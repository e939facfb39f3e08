// The application object and the one way an error that escapes a handler reaches the user.
#pragma once

#include <QApplication>
#include <QIcon>
#include <QString>

#include <exception>
#include <utility>

namespace shell {

// The default application title: the program file's name without folder and without everything
// from its first "." on, every letter after the first in lower case.
QString ApplicationTitle(const QString &programFile);

// The error box's text for a message: a "." is added unless the message is empty or its last
// character is ".", "!", ")", a blank or anything else that sorts at or below ".".
QString ErrorBoxText(const QString &message);

// The programs' icon, in every size it is drawn in.
QIcon ApplicationIcon();

// Shows the error box: error icon, one OK button, the application title as caption.
void ShowErrorBox(const QString &message);

// Shows the error box for the exception in flight or stored in `error`.
void ReportEscapedError(std::exception_ptr error) noexcept;

// Runs a handler; an error it raises ends it and is shown in the error box, and the window goes
// on. Every click handler is bound through this, so the exception never unwinds through the
// toolkit's own frames (Debian's Qt Widgets is built without exception support).
template <class Handler> void RunHandler(Handler &&handler) noexcept {
    try {
        std::forward<Handler>(handler)();
    } catch (...) {
        ReportEscapedError(std::current_exception());
    }
}

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int &argc, char **argv);

    // The last line of defence for errors raised inside event handlers that are not bound
    // through RunHandler: the same error box, and the event counts as handled.
    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace shell
