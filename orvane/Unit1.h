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

    // The recording operations (recording/): SD listing, SD clear, USB copy, USB listing.
    void BitBtn1Click(QObject *Sender);
    void BitBtn2Click(QObject *Sender);
    void BitBtn3Click(QObject *Sender);
    void BitBtn4Click(QObject *Sender);
    // Append the recordings named in an ls -F output (null: none) to ListBox1 or ListBox2.
    void Decode_Names(const char16_t *nm);
    void Decode_Names2(const char16_t *nm);
    // The USB listing that ends a USB copy, in a board session of its own.
    void ShowUSBFiles();

    // Reboots the board; the button stays hidden in Orvane, so the operation is not offered.
    void BitBtn5Click(QObject *Sender);
};

// The main window (not owning; null while none exists).
extern TForm1 *Form1;

} // namespace orvane
