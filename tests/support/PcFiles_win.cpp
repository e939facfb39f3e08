#include "PcFiles.h"

#include <windows.h>

bool MakeSymbolicLink(const QString &target, const QString &link) {
    const std::wstring from = QDir::toNativeSeparators(link).toStdWString();
    const std::wstring to = QDir::toNativeSeparators(target).toStdWString();
    // Without the flag only an administrator may make one; with it, a PC in developer mode.
    return CreateSymbolicLinkW(from.c_str(), to.c_str(),
                               SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) != 0 ||
           CreateSymbolicLinkW(from.c_str(), to.c_str(), 0) != 0;
}
