// The burn and update sets: empty until Pyrelle's window is shown, then the fixed tables.
#include "TestSupport.h"

#include "TransferSets.h"
#include "pyrelle/Unit1.h"

namespace {

bool AllEmpty(const burn::TBF &set) {
    for (int slot = 0; slot < burn::TransferSlots; ++slot) {
        if (!set.FN[slot].isEmpty() || !set.SHOW[slot].isEmpty() || !set.SHOW2[slot].isEmpty()) {
            return false;
        }
    }
    return true;
}

} // namespace

class TransferSetsTest : public QObject {
    Q_OBJECT

private slots:
    // The window's show fills the sets; nothing fills them before.
    void initTestCase() {
        QVERIFY2(AllEmpty(burn::BurnFiles) && AllEmpty(burn::UpdateFiles),
                 "both sets are empty before the window is shown");
        pyrelle::TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
    }

    void fill_data() {
        QTest::addColumn<QString>("set");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("FN");
        QTest::addColumn<QString>("SHOW");
        QTest::addColumn<QString>("SHOW2");
        const auto row = [](const char *set, int slot, const char *fn, const char *show,
                            const char *show2) {
            QTest::addRow("%s %d %s", set, slot, fn)
                << QString::fromLatin1(set) << slot << QString::fromLatin1(fn)
                << QString::fromLatin1(show) << QString::fromLatin1(show2);
        };
        row("burn", 0, "config", "-- Delete config --", "-- Update config --");
        row("burn", 1, "usb-burn.xml", "-- Delete usb-burn.xml --", "");
        row("burn", 2, "media_app_zip.bin", "-- Delete media_app_zip.bin --",
            "-- Update media_app_zip.bin --");
        row("burn", 3, "paramfs.jffs2", "-- Delete paramfs.jffs2 --", "-- Update paramfs.jffs2 --");
        row("burn", 4, "privatefs.jffs2", "-- Delete privatefs.jffs2 --",
            "-- Update privatefs.jffs2 --");
        row("burn", 5, "rootfs.jffs2", "-- Delete rootfs.jffs2 --", "-- Update rootfs.jffs2 --");
        row("burn", 6, "u-boot.bin", "-- Delete u-boot.bin --", "-- Update u-boot.bin --");
        row("burn", 7, "uImage", "-- Delete uImage --", "-- Update uImage --");
        row("burn", 8, "config_change", "-- Delete config_change --", "-- Update config_change --");
        row("burn", 9, "u-boot_change.bin", "-- Delete u-boot_change.bin --", "");
        row("update", 0, "rtspserver.dat", "-- Delete rtspserver.dat --",
            "-- Update rtspserver.dat --");
        row("update", 1, "rtspserver_les.dat", "-- Delete rtspserver_les.dat --",
            "-- Update rtspserver_les.dat --");
        row("update", 2, "rtspserver_ref.dat", "-- Delete rtspserver_ref.dat --",
            "-- Update rtspserver_ref.dat --");
        row("update", 3, "sample_rtspserver", "-- Delete sample_rtspserver --",
            "-- Update sample_rtspserver --");
        for (int slot = 4; slot < burn::TransferSlots; ++slot) {
            row("update", slot, "", "", "");
        }
    }

    void fill() {
        QFETCH(QString, set);
        QFETCH(int, slot);
        QFETCH(QString, FN);
        QFETCH(QString, SHOW);
        QFETCH(QString, SHOW2);
        const burn::TBF &files = set == QLatin1String("burn") ? burn::BurnFiles : burn::UpdateFiles;
        QCOMPARE(files.FN[slot], FN);
        QCOMPARE(files.SHOW[slot], SHOW);
        QCOMPARE(files.SHOW2[slot], SHOW2);
    }
};

TAVRIN_TEST_MAIN(TransferSetsTest)
#include "tst_burn_sets.moc"
