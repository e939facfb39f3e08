// The About box, shared by both programs: banner, title, version, copyright notice and the link
// to the tools' web site. Created hidden at start-up and shown modeless on demand.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QString>

class QLabel;
class QPushButton;
class QTextEdit;

namespace shell {

class TAboutfrm : public QDialog {
    Q_OBJECT
public:
    // Where the title label sits differs between the programs.
    explicit TAboutfrm(QPoint titlePosition);
    ~TAboutfrm() override;

    static const QString WebAddress;

    // Created in this order, which is also the order the Tab key follows.
    QLabel *Image1;
    QLabel *Label1;
    QLabel *Label2;
    QPushButton *BitBtn1;
    QTextEdit *Memo1;
    QLabel *Label3;

    // Sets the title and version lines; the labels take their width from their text.
    void SetLines(const QString &title, const QString &versionLine);

    void BitBtn1Click(QObject *Sender);
    void Label3Click(QObject *Sender);
    void Label3MouseEnter(QObject *Sender);
    void Label3MouseLeave(QObject *Sender);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// The one About box of the program, created at start-up right after the main window
// (not owning; null while none exists).
extern TAboutfrm *Aboutfrm;

} // namespace shell
