#include "PcFiles.h"

#include <memory>

bool MakeSymbolicLink(const QString &target, const QString &link) {
    return QFile::link(target, link);
}

HeldForWriting::HeldForWriting(const QString &path) {
    auto file = std::make_unique<QFile>(path);
    if (file->open(QIODevice::WriteOnly | QIODevice::Append)) {
        handle_ = file.release();
    }
}

HeldForWriting::~HeldForWriting() {
    delete static_cast<QFile *>(handle_);
}

bool WritersCanKeepReadersOut() {
    return false;
}
