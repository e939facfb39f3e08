#include "MainForm.h"

#include "FRMUnit1.h"
#include "FolderDialog.h"
#include "Seams.h"
#include "Style.h"
#include "Utf16Text.h"

#include <QAbstractButton>
#include <QAction>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>

namespace shell {
namespace {

constexpr int ClientWidth = 425;
constexpr int Panel1Height = 137;
constexpr int Panel2Height = 49;

// Qt's wrapping at word boundaries takes time that grows with the square of the length of a
// run it cannot break, and a misbehaving board can print megabytes of one (1 MiB froze the
// window for 47 s). A log that holds a line longer than this wraps anywhere until cleared.
constexpr qsizetype WordWrapLineLimit = 4096;

bool HasLineLongerThan(const QString &text, qsizetype limit) {
    qsizetype length = 0;
    for (const QChar c : text) {
        length = c == QLatin1Char('\n') ? 0 : length + 1;
        if (length > limit) {
            return true;
        }
    }
    return false;
}

// The client area keeps the button panel docked to its top and the status panel to its
// bottom, both as wide as the window; everything else keeps its place and size.
class DockingClient : public QWidget {
public:
    using QWidget::QWidget;
    QWidget *top = nullptr;
    QWidget *bottom = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override {
        QWidget::resizeEvent(event);
        const QSize size = event->size();
        if (top != nullptr) {
            top->setGeometry(0, 0, size.width(), Panel1Height);
        }
        if (bottom != nullptr) {
            bottom->setGeometry(0, size.height() - Panel2Height, size.width(), Panel2Height);
        }
    }
};

void RaisedEdge(QFrame &frame) {
    frame.setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame.setLineWidth(1);
}

QPushButton *Button(QWidget *parent, const char *name, const QString &caption, QRect geometry) {
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

} // namespace

TMainForm::TMainForm(const ProgramDesign &design) : design_(design), client_(nullptr) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(design_.Title);
    setFont(style::Font(11));

    auto *client = new DockingClient(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    style::FillBackground(*client, style::MoneyGreen);
    setCentralWidget(client);
    client_ = client;

    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    MainMenu1->setFont(QApplication::font(MainMenu1));
    setMenuBar(MainMenu1);
    File1 = MainMenu1->addMenu(QStringLiteral("&File"));
    File1->setObjectName(QStringLiteral("File1"));
    Exit1 = File1->addAction(QStringLiteral("&Exit"));
    Exit1->setObjectName(QStringLiteral("Exit1"));
    About1 = MainMenu1->addAction(QStringLiteral("&About"));
    About1->setObjectName(QStringLiteral("About1"));
    connect(Exit1, &QAction::triggered, this,
            [this] { RunHandler([this] { Exit1Click(Exit1); }); });
    connect(About1, &QAction::triggered, this,
            [this] { RunHandler([this] { About1Click(About1); }); });

    Panel1 = new QFrame(client);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    RaisedEdge(*Panel1);
    style::FillBackground(*Panel1, style::SkyBlue);
    client->top = Panel1;

    BitBtn1 = Button(Panel1, "BitBtn1", design_.ButtonCaptions[0], {8, 14, 201, 32});
    BitBtn2 = Button(Panel1, "BitBtn2", design_.ButtonCaptions[1], {215, 14, 201, 32});
    BitBtn3 = Button(Panel1, "BitBtn3", design_.ButtonCaptions[2], {8, 52, 201, 32});
    BitBtn4 = Button(Panel1, "BitBtn4", design_.ButtonCaptions[3], {215, 52, 201, 32});

    BIP = new QLineEdit(QStringLiteral("192.168.168.201"), Panel1);
    BIP->setObjectName(QStringLiteral("BIP"));
    BIP->setGeometry(8, 104, 121, 21);
    // The edit's own label sits above it with a 3 px gap.
    BIPLabel = new QLabel(QStringLiteral("Board IP"), Panel1);
    BIPLabel->setObjectName(QStringLiteral("BIPLabel"));
    BIPLabel->setGeometry(8, 104 - 3 - 13, 121, 13);
    BIPLabel->setBuddy(BIP);

    BitBtn5 = Button(Panel1, "BitBtn5", QStringLiteral("Reboot Board"), {215, 90, 201, 32});
    BitBtn5->setFont(style::Font(16));
    style::SetTextColour(*BitBtn5, style::Red);
    BitBtn5->setVisible(design_.RebootVisible);

    Panel2 = new QLabel(client);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    RaisedEdge(*Panel2);
    style::FillBackground(*Panel2, style::SkyBlue);
    Panel2->setAlignment(Qt::AlignCenter);
    Panel2->setFont(style::Font(design_.StatusFontPixels));
    style::SetTextColour(*Panel2, design_.StatusColour);
    client->bottom = Panel2;

    Memo1 = new QPlainTextEdit(client);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(8, 162, 409, design_.MemoHeight);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // The scroll bar comes with the window's first show.
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    setTabOrder(BitBtn1, BitBtn2);
    setTabOrder(BitBtn2, BitBtn3);
    setTabOrder(BitBtn3, BitBtn4);
    setTabOrder(BitBtn4, BIP);
    setTabOrder(BIP, BitBtn5);
    setTabOrder(BitBtn5, Memo1);

    setWindowIcon(ApplicationIcon());

    const int menuHeight = MainMenu1->heightForWidth(ClientWidth) > 0
                               ? MainMenu1->heightForWidth(ClientWidth)
                               : MainMenu1->sizeHint().height();
    const QSize size(ClientWidth, design_.ClientHeight + menuHeight);
    const QRect screen = QGuiApplication::primaryScreen() != nullptr
                             ? QGuiApplication::primaryScreen()->availableGeometry()
                             : QRect(QPoint(0, 0), size);
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, screen));
}

TMainForm::~TMainForm() = default;

void TMainForm::BindClick(QAbstractButton *button, std::function<void()> run) {
    connect(button, &QAbstractButton::clicked, this, [run = std::move(run)] { run(); });
}

std::u16string TMainForm::BoardAddress() const {
    return BIP->text().toStdU16String();
}

void TMainForm::LogClear() {
    Memo1->clear();
    Memo1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    logEntries_ = 0;
}

void TMainForm::LogAdd(const QString &text) {
    QTextCursor cursor(Memo1->document());
    cursor.movePosition(QTextCursor::End);
    // The first entry of an empty log takes the empty first line; every other one starts a new
    // line, so an empty entry still shows as an empty line.
    if (logEntries_ > 0 || !Memo1->document()->isEmpty()) {
        cursor.insertBlock();
    }
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (Memo1->wordWrapMode() != QTextOption::WrapAnywhere &&
        HasLineLongerThan(lines, WordWrapLineLimit)) {
        Memo1->setWordWrapMode(QTextOption::WrapAnywhere);
    }
    cursor.insertText(lines);
    ++logEntries_;
    Memo1->moveCursor(QTextCursor::End);
    Memo1->verticalScrollBar()->setValue(Memo1->verticalScrollBar()->maximum());
}

QStringList TMainForm::LogLines() const {
    QStringList lines;
    for (QTextBlock block = Memo1->document()->begin(); block.isValid(); block = block.next()) {
        lines << block.text();
    }
    if (lines.size() == 1 && lines.constFirst().isEmpty() && logEntries_ == 0) {
        lines.clear();
    }
    return lines;
}

std::function<void(std::u16string_view)> TMainForm::LogSink() {
    return [this](std::u16string_view entry) { LogAdd(ToQString(entry)); };
}

void TMainForm::SetStatus(const QString &caption) {
    Panel2->setText(caption);
}

void TMainForm::GetBuildInfo(std::uint16_t &V1, std::uint16_t &V2, std::uint16_t &V3,
                             std::uint16_t &V4) {
    const platform::FileVersion version =
        platform::ProgramFileVersion().value_or(design_.FileVersion);
    V1 = version[0];
    V2 = version[1];
    V3 = version[2];
    V4 = version[3];
}

void TMainForm::FormShow(QObject * /*Sender*/) {
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    std::uint16_t V1 = 0;
    std::uint16_t V2 = 0;
    std::uint16_t V3 = 0;
    std::uint16_t V4 = 0;
    GetBuildInfo(V1, V2, V3, V4);
    VersionText = QStringLiteral("%1.%2.%3.%4").arg(V1).arg(V2).arg(V3).arg(V4);
    setWindowTitle(windowTitle() + QStringLiteral("    ver ") + VersionText);
}

void TMainForm::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    // Restoring from the taskbar is the system's doing, not the window becoming visible.
    if (!event->spontaneous()) {
        RunHandler([this] { FormShow(this); });
    }
}

bool TMainForm::PickFolder(const QString &logText) {
    bool accepted = false;
    {
        FolderDialog dialog(this, QStringLiteral("Select Directory"), QStringLiteral("Select"),
                            DefaultFolder);
        if (const std::optional<QString> chosen = seams::ExecFolderDialog(dialog)) {
            WorkingFolder = *chosen;
            accepted = true;
        }
    }
    LogAdd(logText + WorkingFolder);
    return accepted;
}

bool TMainForm::SavFolder() {
    return PickFolder(QStringLiteral("Destination Folder : "));
}

bool TMainForm::OpenFolder() {
    return PickFolder(QStringLiteral("Source Folder : "));
}

void TMainForm::About1Click(QObject * /*Sender*/) {
    if (Aboutfrm == nullptr) {
        return;
    }
    Aboutfrm->SetLines(design_.Title, QStringLiteral("Version  ") + VersionText);
    Aboutfrm->show();
    Aboutfrm->raise();
    Aboutfrm->activateWindow();
}

void TMainForm::Exit1Click(QObject * /*Sender*/) {
    close();
}

} // namespace shell
