#include "Unit1.h"

#include "BoardSession.h"
#include "ProgramVersion.h"
#include "RecordingOperations.h"
#include "Seams.h"

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyledItemDelegate>

namespace orvane {

TForm1 *Form1 = nullptr;

shell::ProgramDesign Design() {
    shell::ProgramDesign design;
    design.Title = QStringLiteral("Orvane");
    design.FileVersion = program_version::File;
    design.ClientHeight = 725;
    design.MemoHeight = 151;
    design.ButtonCaptions = {
        QStringLiteral("Show Recording Files on SD"),
        QStringLiteral("Clear SD Card"),
        QStringLiteral("Copy Recording Files to USB Disk"),
        QStringLiteral("Show Files on USB Disk"),
    };
    design.RebootVisible = false;
    design.StatusFontPixels = 16;
    design.StatusColour = shell::platform::DesktopColour();
    design.AboutTitlePosition = QPoint(80, 167);
    return design;
}

namespace {

QLabel *Caption(QWidget *parent, const char *name, const QString &text, QRect geometry) {
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    // Labels take their width from their text, as wide as the font in use needs.
    label->setGeometry(geometry.x(), geometry.y(), label->sizeHint().width(), geometry.height());
    return label;
}

// Every list item is 13 px high, whatever the font's own line height.
class ItemHeight13 : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), 13};
    }
};

QListWidget *List(QWidget *parent, const char *name, QRect geometry) {
    auto *list = new QListWidget(parent);
    list->setObjectName(QLatin1String(name));
    list->setGeometry(geometry);
    list->setUniformItemSizes(true);
    list->setItemDelegate(new ItemHeight13(list));
    return list;
}

} // namespace

TForm1::TForm1()
    : shell::TMainForm(Design()),
      Label1(
          Caption(ClientArea(), "Label1", QStringLiteral("SD Recoding Files"), {16, 319, 84, 13})),
      Label2(Caption(ClientArea(), "Label2", QStringLiteral("USB Disk Files"), {224, 319, 65, 13})),
      ListBox1(List(ClientArea(), "ListBox1", {8, 344, 185, 321})),
      ListBox2(List(ClientArea(), "ListBox2", {215, 344, 185, 321})) {
    setTabOrder(Memo1, ListBox1);
    setTabOrder(ListBox1, ListBox2);
    OnClick(BitBtn1, &TForm1::BitBtn1Click);
    OnClick(BitBtn2, &TForm1::BitBtn2Click);
    OnClick(BitBtn3, &TForm1::BitBtn3Click);
    OnClick(BitBtn4, &TForm1::BitBtn4Click);
    OnClick(BitBtn5, &TForm1::BitBtn5Click);
    Form1 = this;
}

TForm1::~TForm1() {
    if (Form1 == this) {
        Form1 = nullptr;
    }
}

void TForm1::BitBtn1Click(QObject * /*Sender*/) {
    recording::ShowSdFiles(*this, *ListBox1);
}

void TForm1::BitBtn2Click(QObject * /*Sender*/) {
    recording::ClearSdCard(*this, *ListBox1);
}

void TForm1::BitBtn3Click(QObject * /*Sender*/) {
    recording::CopyToUsbDisk(*this, *ListBox2);
}

void TForm1::BitBtn4Click(QObject * /*Sender*/) {
    recording::ShowUsbFiles(*this, *ListBox2);
}

void TForm1::Decode_Names(const char16_t *nm) {
    recording::DecodeNames(*ListBox1, nm);
}

void TForm1::Decode_Names2(const char16_t *nm) {
    recording::DecodeNames(*ListBox2, nm);
}

void TForm1::ShowUSBFiles() {
    recording::ShowUsbFilesAfterCopy(*this, *ListBox2);
}

void TForm1::BitBtn5Click(QObject * /*Sender*/) {
    board::Reboot(BoardAddress(), LogSink(), shell::seams::Sleep);
}

} // namespace orvane
