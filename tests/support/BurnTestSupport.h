// What the transfer tests share: the file sets' names and the logs of their uploads.
#pragma once

#include <QStringList>

const QStringList BurnNames = {"config",           "usb-burn.xml",    "media_app_zip.bin",
                               "paramfs.jffs2",    "privatefs.jffs2", "rootfs.jffs2",
                               "u-boot.bin",       "uImage",          "config_change",
                               "u-boot_change.bin"};
const QStringList UpdateNames = {"rtspserver.dat", "rtspserver_les.dat", "rtspserver_ref.dat",
                                 "sample_rtspserver"};

// clang-format off
// The burn upload's log after the picker's line when every rm prints nothing.
const QStringList BurnLog = {
    "", "-- Delete config --",
    "", "-- Delete usb-burn.xml --",
    "", "-- Delete media_app_zip.bin --",
    "", "-- Delete paramfs.jffs2 --",
    "", "-- Delete privatefs.jffs2 --",
    "", "-- Delete rootfs.jffs2 --",
    "", "-- Delete u-boot.bin --",
    "", "-- Delete uImage --",
    "", "-- Delete config_change --",
    "", "-- Delete u-boot_change.bin --",
    "", "-- Update config --",
    "", "", // usb-burn.xml has no update line
    "", "-- Update media_app_zip.bin --",
    "", "-- Update paramfs.jffs2 --",
    "", "-- Update privatefs.jffs2 --",
    "", "-- Update rootfs.jffs2 --",
    "", "-- Update u-boot.bin --",
    "", "-- Update uImage --",
    "Burn files Upload OK.",
    "", "Please  Reboot Board",
};

// The application update's log after the picker's line when no command prints anything.
const QStringList UpdateLog = {
    "", "-- Delete rtspserver.dat --",
    "", "-- Delete rtspserver_les.dat --",
    "", "-- Delete rtspserver_ref.dat --",
    "", "-- Delete sample_rtspserver --",
    "", "-- Update rtspserver.dat --",
    "", "-- Update rtspserver_les.dat --",
    "", "-- Update rtspserver_ref.dat --",
    "", "-- Update sample_rtspserver --",
    "Updated files Upload OK.",
    "", "Please  Reboot Board",
    "", "chmod 777",
};
// clang-format on
