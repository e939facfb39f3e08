// Orvane's recording operations, methods of its main window: the SD listing and clear, the USB
// copy and the USB listing, and the listing decoder's two targets.
#include "orvane/Unit1.h"

#include "BoardSession.h"
#include "ListingDecoder.h"
#include "MountTable.h"
#include "Pauses.h"

#include <QLineEdit>
#include <QListWidget>
#include <QStringList>

#include <string>
#include <string_view>

namespace orvane {
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

QString Text(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

void AppendNames(QListWidget &list, const char16_t *output) {
    const std::vector<std::u16string> names =
        recording::DecodeListing(output != nullptr ? std::u16string_view(output) : u"");
    QStringList items;
    items.reserve(static_cast<qsizetype>(names.size()));
    for (const std::u16string &name : names) {
        items << Text(name);
    }
    list.addItems(items);
}

// The USB listing, on its own session. The listing that ends a USB copy keeps the copy's log
// and lets the window breathe between its commands; the button's listing does neither.
void ListUsbDisk(TForm1 &form, bool endsCopy) {
    if (!endsCopy) {
        form.LogClear();
    }
    board::Session session(form.LogSink());
    if (!session.Open(form.BIP->text().toStdU16String())) {
        return;
    }
    const std::u16string made = session.Run(MakeMountPoint);
    if (!session.Check()) {
        return;
    }
    form.LogAdd(Text(made));
    if (endsCopy) {
        recording::pauses::ProcessMessages();
    }
    form.LogAdd(Text(session.Run(MountUsb)));
    if (endsCopy) {
        recording::pauses::ProcessMessages();
    }
    const std::u16string listing = session.Run(ListUsb);
    // The list shows the disk as it is now, not every listing since the start.
    form.ListBox2->clear();
    form.Decode_Names2(listing.c_str());
    session.Close();
    form.SetStatus(QStringLiteral("Finished !! "));
}

} // namespace

void TForm1::Decode_Names(const char16_t *nm) {
    AppendNames(*ListBox1, nm);
}

void TForm1::Decode_Names2(const char16_t *nm) {
    AppendNames(*ListBox2, nm);
}

void TForm1::BitBtn1Click(QObject * /*Sender*/) {
    LogClear();
    ListBox1->clear();
    SetStatus(QStringLiteral("Please Wait"));
    recording::pauses::ProcessMessages();
    recording::pauses::Sleep(SettleMs);
    board::Session session(LogSink());
    if (!session.Open(BIP->text().toStdU16String())) {
        return;
    }
    const std::u16string listing = session.Run(ListSd);
    Decode_Names(listing.c_str());
    LogAdd(QStringLiteral("Reading Files from SD"));
    session.Close();
    SetStatus(QStringLiteral("Finished "));
}

void TForm1::BitBtn2Click(QObject * /*Sender*/) {
    LogClear();
    SetStatus(QStringLiteral("Please wait "));
    recording::pauses::ProcessMessages();
    recording::pauses::Sleep(SettleMs);
    board::Session session(LogSink());
    if (!session.Open(BIP->text().toStdU16String())) {
        return;
    }
    const std::u16string output = session.Run(ClearSd);
    Decode_Names(output.c_str());
    LogAdd(Text(output));
    session.Close();
    SetStatus(QStringLiteral("Finished !! "));
}

void TForm1::BitBtn3Click(QObject * /*Sender*/) {
    LogClear();
    SetStatus(QStringLiteral("Please Wait  "));
    recording::pauses::ProcessMessages();
    recording::pauses::Sleep(SettleMs);
    {
        board::Session session(LogSink());
        if (!session.Open(BIP->text().toStdU16String())) {
            return;
        }
        const std::u16string made = session.Run(MakeMountPoint);
        if (!session.Check()) {
            return;
        }
        LogAdd(Text(made));
        recording::pauses::ProcessMessages();
        LogAdd(Text(session.Run(MountUsb)));
        recording::pauses::ProcessMessages();
        // Without the disk mounted, cp would fill the board's own /mnt/usb folder.
        const std::u16string mounts = session.Run(ReadMountTable);
        if (!session.Check()) {
            return;
        }
        if (!recording::IsMountedAt(mounts, UsbMountPoint)) {
            LogAdd(QStringLiteral("The USB disk is not mounted at /mnt/usb: nothing was copied."));
            return;
        }
        LogAdd(Text(session.Run(CopyToUsb)));
        session.Close();
    }
    ShowUSBFiles();
}

void TForm1::BitBtn4Click(QObject * /*Sender*/) {
    ListUsbDisk(*this, false);
}

void TForm1::ShowUSBFiles() {
    ListUsbDisk(*this, true);
}

} // namespace orvane
