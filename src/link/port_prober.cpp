#include "link/port_prober.h"

#include <QFile>

bool ExclusiveOpenProber::isFree(const QString& path)
{
    if (path.isEmpty()) return false;
    const bool opened = device_->open(QFile::encodeName(path).toStdString()) == serial::OpenResult::Opened;
    device_->close();
    return opened;
}
