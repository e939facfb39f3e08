#include "FRMUnit1.h"

#include "Application.h"
#include "Jpeg.h"
#include "Seams.h"
#include "Style.h"

#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

namespace shell {

TAboutfrm *Aboutfrm = nullptr;

const QString TAboutfrm::WebAddress = QStringLiteral("https://www.example.com/tavrin-tools");

namespace {

const QStringList CopyrightLines = {
    QStringLiteral("Tavrin Board Tools"),
    QStringLiteral("Copyright (C) 2026 The Tavrin Tools developers"),
    QStringLiteral("All rights reserved."),
};

QImage Banner() {
    QFile file(QStringLiteral(":/tavrin/banner.jpg"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return DecodeJpeg(file.readAll());
}

void FitWidthToText(QLabel &label) {
    label.resize(label.sizeHint().width(), label.height());
}

} // namespace

TAboutfrm::TAboutfrm(QPoint titlePosition)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::WindowStaysOnTopHint),
      Image1(new QLabel(this)), Label1(new QLabel(this)), Label2(new QLabel(this)),
      BitBtn1(new QPushButton(this)), Memo1(new QTextEdit(this)), Label3(new QLabel(this)) {
    setObjectName(QStringLiteral("Aboutfrm"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(407, 419);
    setFont(style::Font(11));
    style::FillBackground(*this, style::SkyBlue);
    // Closing the main window ends the program even while this box is open.
    setAttribute(Qt::WA_QuitOnClose, false);

    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 409, 145);
    Image1->setScaledContents(true);
    Image1->setPixmap(QPixmap::fromImage(Banner()));

    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(style::Font(20));
    Label1->setGeometry(titlePosition.x(), titlePosition.y(), 0, 24);

    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(style::Font(16));
    Label2->setGeometry(143, 223, 0, 19);

    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(8, 257, 391, 89);
    Memo1->setFont(style::Font(13));
    Memo1->setReadOnly(true);
    Memo1->setFocusPolicy(Qt::StrongFocus);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    {
        QPalette palette = Memo1->palette();
        palette.setColor(QPalette::Base, Qt::white);
        Memo1->setPalette(palette);
    }
    Memo1->setPlainText(CopyrightLines.join(QStringLiteral("\n\n")));
    for (QTextBlock block = Memo1->document()->begin(); block.isValid(); block = block.next()) {
        QTextCursor cursor(block);
        QTextBlockFormat format = block.blockFormat();
        format.setAlignment(Qt::AlignHCenter);
        cursor.setBlockFormat(format);
    }

    Label3->setObjectName(QStringLiteral("Label3"));
    {
        QFont font = style::Font(20);
        font.setUnderline(true);
        Label3->setFont(font);
    }
    style::SetTextColour(*Label3, style::Blue);
    Label3->setText(QStringLiteral("www.example.com"));
    Label3->setGeometry(128, 352, 0, 24);
    FitWidthToText(*Label3);
    Label3->installEventFilter(this);

    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setText(QStringLiteral("Close"));
    BitBtn1->setGeometry(160, 388, 75, 25);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this,
            [this] { RunHandler([this] { BitBtn1Click(BitBtn1); }); });

    Aboutfrm = this;
}

TAboutfrm::~TAboutfrm() {
    if (Aboutfrm == this) {
        Aboutfrm = nullptr;
    }
}

void TAboutfrm::SetLines(const QString &title, const QString &versionLine) {
    Label1->setText(title);
    FitWidthToText(*Label1);
    Label2->setText(versionLine);
    FitWidthToText(*Label2);
}

void TAboutfrm::BitBtn1Click(QObject * /*Sender*/) {
    close();
}

void TAboutfrm::Label3Click(QObject * /*Sender*/) {
    seams::OpenAddress(this, WebAddress);
}

void TAboutfrm::Label3MouseEnter(QObject * /*Sender*/) {
    setCursor(Qt::PointingHandCursor);
}

void TAboutfrm::Label3MouseLeave(QObject * /*Sender*/) {
    unsetCursor();
}

bool TAboutfrm::eventFilter(QObject *watched, QEvent *event) {
    if (watched == Label3) {
        switch (event->type()) {
        case QEvent::Enter:
            RunHandler([this] { Label3MouseEnter(Label3); });
            break;
        case QEvent::Leave:
            RunHandler([this] { Label3MouseLeave(Label3); });
            break;
        case QEvent::MouseButtonRelease:
            if (const auto *mouse = static_cast<QMouseEvent *>(event);
                mouse->button() == Qt::LeftButton &&
                Label3->rect().contains(mouse->position().toPoint())) {
                RunHandler([this] { Label3Click(Label3); });
            }
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace shell
