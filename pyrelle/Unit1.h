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

    // Reboots the board at the address in BIP.
    void BitBtn5Click(QObject *Sender);
};

// The main window (not owning; null while none exists).
extern TForm1 *Form1;

} // namespace pyrelle
