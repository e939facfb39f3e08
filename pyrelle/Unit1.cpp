#include "Unit1.h"

#include "BoardSession.h"
#include "BurnOperations.h"
#include "ProgramVersion.h"
#include "Seams.h"
#include "Style.h"
#include "TransferSets.h"

#include <QPushButton>

namespace pyrelle {

TForm1 *Form1 = nullptr;

shell::ProgramDesign Design() {
    shell::ProgramDesign design;
    design.Title = QStringLiteral("Pyrelle");
    design.FileVersion = program_version::File;
    design.ClientHeight = 477;
    design.MemoHeight = 260;
    design.ButtonCaptions = {
        QStringLiteral("Copy Burn Files from PC  ->  Board SD"),
        QStringLiteral("Copy Update Files from PC  ->  Board "),
        QStringLiteral("Copy Config File from Board  ->  PC"),
        QStringLiteral("Copy Config File from PC ->  Board"),
    };
    design.RebootVisible = true;
    design.StatusFontPixels = 19;
    design.StatusColour = shell::style::Red;
    design.AboutTitlePosition = QPoint(128, 175);
    return design;
}

TForm1::TForm1() : shell::TMainForm(Design()) {
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

void TForm1::FormShow(QObject *Sender) {
    burn::FillTransferSets();
    shell::TMainForm::FormShow(Sender);
}

void TForm1::BitBtn1Click(QObject * /*Sender*/) {
    burn::UploadBurnFiles(*this);
}

void TForm1::BitBtn2Click(QObject * /*Sender*/) {
    burn::UploadUpdateFiles(*this);
}

void TForm1::BitBtn3Click(QObject * /*Sender*/) {
    burn::DownloadConfigFile(*this);
}

void TForm1::BitBtn4Click(QObject * /*Sender*/) {
    burn::UploadConfigFile(*this);
}

void TForm1::BitBtn5Click(QObject * /*Sender*/) {
    board::Reboot(BoardAddress(), LogSink(), shell::seams::Sleep);
}

} // namespace pyrelle
