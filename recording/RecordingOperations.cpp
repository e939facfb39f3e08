// Orvane's recording operations: the SD listing and clear, the USB copy and the USB listing, and
// the listing decoder's way into a list.
#include "RecordingOperations.h"

#include "BoardSession.h"
#include "ListingDecoder.h"
#include "MainForm.h"
#include "MountTable.h"
#include "Seams.h"
#include "Utf16Text.h"

#include <QListWidget>
#include <QStringList>

#include <string>
#include <string_view>
#include <vector>

namespace recording {
namespace {

constexpr std::u16string_view ListSd = u"ls -F  /tmp/DCIM/100HSCAM/";
constexpr std::u16string_view ClearSd = u"rm  /tmp/DCIM/100HSCAM/*";
constexpr std::u16string_view MakeMountPoint = u"mkdir /mnt/usb";
constexpr std::u16string_view MountUsb = u"mount /dev/sda1  /mnt/usb/";
constexpr std::u16string_view ReadMountTable = u"cat /proc/mounts";
constexpr std::u16string_view CopyToUsb = u"cp /tmp/DCIM/100HSCAM/*.MP4 /mnt/usb/";
constexpr std::u16string_view ListUsb = u"ls -F  /mnt/usb/";
constexpr std::u16string_view UsbMountPoint = u"/mnt/usb";

// Lets the cleared log and the start caption show before the board is contacted.
constexpr int SettleMs = 1000;

using shell::ToQString;

// The start of the operations that pause: a cleared log and the start caption, shown before the
// board is contacted.
void Begin(shell::TMainForm &form, const QString &caption) {
    form.LogClear();
    form.SetStatus(caption);
    shell::seams::ProcessMessages();
    shell::seams::Sleep(SettleMs);
}

// The USB listing, on its own session. The listing that ends a USB copy keeps the copy's log
// and lets the window breathe between its commands; the button's listing does neither.
void ListUsbDisk(shell::TMainForm &form, QListWidget &usbList, bool endsCopy) {
    if (!endsCopy) {
        form.LogClear();
    }
    board::Session session(form.LogSink());
    if (!session.Open(form.BoardAddress())) {
        return;
    }
    const std::u16string made = session.Run(MakeMountPoint);
    if (!session.Check()) {
        return;
    }
    form.LogAdd(ToQString(made));
    if (endsCopy) {
        shell::seams::ProcessMessages();
    }
    form.LogAdd(ToQString(session.Run(MountUsb)));
    if (endsCopy) {
        shell::seams::ProcessMessages();
    }
    const std::u16string listing = session.Run(ListUsb);
    // The list shows the disk as it is now, not every listing since the start.
    usbList.clear();
    DecodeNames(usbList, listing.c_str());
    session.Close();
    form.SetStatus(QStringLiteral("Finished !! "));
}

} // namespace

void DecodeNames(QListWidget &list, const char16_t *output) {
    const std::vector<std::u16string> names =
        DecodeListing(output != nullptr ? std::u16string_view(output) : u"");
    QStringList items;
    items.reserve(static_cast<qsizetype>(names.size()));
    for (const std::u16string &name : names) {
        items << ToQString(name);
    }
    list.addItems(items);
}

void ShowSdFiles(shell::TMainForm &form, QListWidget &sdList) {
    sdList.clear();
    Begin(form, QStringLiteral("Please Wait"));
    board::Session session(form.LogSink());
    if (!session.Open(form.BoardAddress())) {
        return;
    }
    const std::u16string listing = session.Run(ListSd);
    DecodeNames(sdList, listing.c_str());
    form.LogAdd(QStringLiteral("Reading Files from SD"));
    session.Close();
    form.SetStatus(QStringLiteral("Finished "));
}

void ClearSdCard(shell::TMainForm &form, QListWidget &sdList) {
    Begin(form, QStringLiteral("Please wait "));
    board::Session session(form.LogSink());
    if (!session.Open(form.BoardAddress())) {
        return;
    }
    const std::u16string output = session.Run(ClearSd);
    DecodeNames(sdList, output.c_str());
    form.LogAdd(ToQString(output));
    session.Close();
    form.SetStatus(QStringLiteral("Finished !! "));
}

void CopyToUsbDisk(shell::TMainForm &form, QListWidget &usbList) {
    Begin(form, QStringLiteral("Please Wait  "));
    {
        board::Session session(form.LogSink());
        if (!session.Open(form.BoardAddress())) {
            return;
        }
        const std::u16string made = session.Run(MakeMountPoint);
        if (!session.Check()) {
            return;
        }
        form.LogAdd(ToQString(made));
        shell::seams::ProcessMessages();
        form.LogAdd(ToQString(session.Run(MountUsb)));
        shell::seams::ProcessMessages();
        // Without the disk mounted, cp would fill the board's own /mnt/usb folder.
        const std::u16string mounts = session.Run(ReadMountTable);
        if (!session.Check()) {
            return;
        }
        if (!IsMountedAt(mounts, UsbMountPoint)) {
            form.LogAdd(
                QStringLiteral("The USB disk is not mounted at /mnt/usb: nothing was copied."));
            return;
        }
        form.LogAdd(ToQString(session.Run(CopyToUsb)));
        session.Close();
    }
    ShowUsbFilesAfterCopy(form, usbList);
}

void ShowUsbFiles(shell::TMainForm &form, QListWidget &usbList) {
    ListUsbDisk(form, usbList, false);
}

void ShowUsbFilesAfterCopy(shell::TMainForm &form, QListWidget &usbList) {
    ListUsbDisk(form, usbList, true);
}

} // namespace recording
