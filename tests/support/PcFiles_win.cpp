#include "PcFiles.h"

#include <QFileInfo>

#include <windows.h>

bool MakeSymbolicLink(const QString &target, const QString &link) {
    const std::wstring from = QDir::toNativeSeparators(link).toStdWString();
    const std::wstring to = QDir::toNativeSeparators(target).toStdWString();
    // Without the flag only an administrator may make one; with it, a PC in developer mode.
    return CreateSymbolicLinkW(from.c_str(), to.c_str(),
                               SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) != 0 ||
           CreateSymbolicLinkW(from.c_str(), to.c_str(), 0) != 0;
}

HeldForWriting::HeldForWriting(const QString &path) {
    // The long form of our own making, not the library's: a file in a deep folder is held too.
    const std::wstring name =
        L"\\\\?\\" + QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toStdWString();
    const HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        handle_ = h;
    }
}

HeldForWriting::~HeldForWriting() {
    if (handle_ != nullptr) {
        CloseHandle(handle_);
    }
}

bool WritersCanKeepReadersOut() {
    return true;
}
