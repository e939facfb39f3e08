#include "TransferSets.h"

namespace burn {

TBF BurnFiles;
TBF UpdateFiles;

namespace {

struct Slot {
    const char16_t *FN;
    const char16_t *SHOW;
    const char16_t *SHOW2;
};

// usb-burn.xml's upload is logged by an empty line only; u-boot_change.bin is never uploaded.
constexpr std::array<Slot, TransferSlots> BurnSlots = {{
    {u"config", u"-- Delete config --", u"-- Update config --"},
    {u"usb-burn.xml", u"-- Delete usb-burn.xml --", u""},
    {u"media_app_zip.bin", u"-- Delete media_app_zip.bin --", u"-- Update media_app_zip.bin --"},
    {u"paramfs.jffs2", u"-- Delete paramfs.jffs2 --", u"-- Update paramfs.jffs2 --"},
    {u"privatefs.jffs2", u"-- Delete privatefs.jffs2 --", u"-- Update privatefs.jffs2 --"},
    {u"rootfs.jffs2", u"-- Delete rootfs.jffs2 --", u"-- Update rootfs.jffs2 --"},
    {u"u-boot.bin", u"-- Delete u-boot.bin --", u"-- Update u-boot.bin --"},
    {u"uImage", u"-- Delete uImage --", u"-- Update uImage --"},
    {u"config_change", u"-- Delete config_change --", u"-- Update config_change --"},
    {u"u-boot_change.bin", u"-- Delete u-boot_change.bin --", u""},
}};

constexpr std::array<Slot, 4> UpdateSlots = {{
    {u"rtspserver.dat", u"-- Delete rtspserver.dat --", u"-- Update rtspserver.dat --"},
    {u"rtspserver_les.dat", u"-- Delete rtspserver_les.dat --", u"-- Update rtspserver_les.dat --"},
    {u"rtspserver_ref.dat", u"-- Delete rtspserver_ref.dat --", u"-- Update rtspserver_ref.dat --"},
    {u"sample_rtspserver", u"-- Delete sample_rtspserver --", u"-- Update sample_rtspserver --"},
}};

template <std::size_t N> void Fill(TBF &set, const std::array<Slot, N> &table) {
    for (std::size_t i = 0; i < N; ++i) {
        set.FN[i] = QString::fromUtf16(table[i].FN);
        set.SHOW[i] = QString::fromUtf16(table[i].SHOW);
        set.SHOW2[i] = QString::fromUtf16(table[i].SHOW2);
    }
}

} // namespace

void FillTransferSets() {
    Fill(BurnFiles, BurnSlots);
    Fill(UpdateFiles, UpdateSlots);
}

} // namespace burn
