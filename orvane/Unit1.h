// Orvane's main window: the shared skeleton with the SD and USB recording lists.
#pragma once

#include "MainForm.h"

class QLabel;
class QListWidget;

namespace orvane {

// Orvane's window layout and identity.
shell::ProgramDesign Design();

class TForm1 : public shell::TMainForm {
    Q_OBJECT
public:
    TForm1();
    ~TForm1() override;

    QLabel *Label1;
    QLabel *Label2;
    QListWidget *ListBox1;
    QListWidget *ListBox2;

    // Reboots the board; the button stays hidden in Orvane, so the operation is not offered.
    void BitBtn5Click(QObject *Sender);
};

// The main window (not owning; null while none exists).
extern TForm1 *Form1;

} // namespace orvane
