// Orvane's recording operations, run by the clicks of its four buttons on the main window whose
// log, status panel and board address they use; each fills the one list of Orvane's it names.
#pragma once

class QListWidget;

namespace shell {
class TMainForm;
}

namespace recording {

// Lists the recordings on the board's SD card in sdList, cleared first.
void ShowSdFiles(shell::TMainForm &form, QListWidget &sdList);
// Deletes the recordings on the SD card; whatever rm prints is read into sdList as a listing.
void ClearSdCard(shell::TMainForm &form, QListWidget &sdList);
// Mounts the USB disk, copies the SD card's MP4 recordings onto it, then lists it in usbList.
void CopyToUsbDisk(shell::TMainForm &form, QListWidget &usbList);
// Mounts the USB disk and lists it in usbList, on a cleared log.
void ShowUsbFiles(shell::TMainForm &form, QListWidget &usbList);
// The USB listing that ends a USB copy, in a board session of its own.
void ShowUsbFilesAfterCopy(shell::TMainForm &form, QListWidget &usbList);

// Appends the recordings named in an ls -F output (null: none) to the list.
void DecodeNames(QListWidget &list, const char16_t *output);

} // namespace recording
