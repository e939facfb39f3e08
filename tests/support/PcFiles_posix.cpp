#include "PcFiles.h"

bool MakeSymbolicLink(const QString &target, const QString &link) {
    return QFile::link(target, link);
}
