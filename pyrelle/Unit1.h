// Pyrelle's main window: the shared skeleton with the transfer buttons and the reboot button.
#pragma once

#include "MainForm.h"

namespace pyrelle {

// Pyrelle's window layout and identity.
shell::ProgramDesign Design();

class TForm1 : public shell::TMainForm {
    Q_OBJECT
public:
    TForm1();
    ~TForm1() override;

    // Burn files, update files, configuration file download and upload.
    void BitBtn1Click(QObject *Sender);
    void BitBtn2Click(QObject *Sender);
    void BitBtn3Click(QObject *Sender);
    void BitBtn4Click(QObject *Sender);
    // Reboots the board at the address in BIP.
    void BitBtn5Click(QObject *Sender);

protected:
    // Fills the transfer file sets, then what every window does on show.
    void FormShow(QObject *Sender) override;
};

// The main window (not owning; null while none exists).
extern TForm1 *Form1;

} // namespace pyrelle
