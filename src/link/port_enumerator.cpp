#include "link/port_enumerator.h"

#include <QFileInfo>

#include <algorithm>

namespace {

// Compares names piecewise, runs of digits by their value.
bool NaturalLess(const QString& a, const QString& b)
{
    int i = 0;
    int j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            int ei = i;
            int ej = j;
            while (ei < a.size() && a[ei].isDigit()) ++ei;
            while (ej < b.size() && b[ej].isDigit()) ++ej;
            // Compare without leading zeros: longer means larger, then digit by digit.
            QStringView da = QStringView(a).mid(i, ei - i);
            QStringView db = QStringView(b).mid(j, ej - j);
            while (da.size() > 1 && da.front() == u'0') da = da.mid(1);
            while (db.size() > 1 && db.front() == u'0') db = db.mid(1);
            if (da.size() != db.size()) return da.size() < db.size();
            const int c = da.compare(db);
            if (c != 0) return c < 0;
            i = ei;
            j = ej;
            continue;
        }
        if (a[i] != b[j]) return a[i] < b[j];
        ++i;
        ++j;
    }
    if ((a.size() - i) != (b.size() - j)) return (a.size() - i) < (b.size() - j);
    return a < b;
}

bool Contains(const QList<PortCandidate>& list, const QString& path)
{
    return std::any_of(list.begin(), list.end(), [&](const PortCandidate& c) { return SamePortPath(c.path, path); });
}

} // namespace

QString UsbIdentification(uint16_t vendorId, uint16_t productId)
{
    return QStringLiteral("USB\\VID_%1&PID_%2")
        .arg(vendorId, 4, 16, QLatin1Char('0'))
        .arg(productId, 4, 16, QLatin1Char('0'))
        .toUpper();
}

bool SamePortPath(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty()) return false;
    if (a == b) return true;
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

QList<PortCandidate> MergePortCandidates(QList<PortCandidate> listed, const QList<PortCandidate>& extras)
{
    std::stable_sort(listed.begin(), listed.end(),
                     [](const PortCandidate& x, const PortCandidate& y) { return NaturalLess(x.path, y.path); });
    QList<PortCandidate> merged;
    for (const PortCandidate& c : listed) {
        if (!c.path.isEmpty() && !Contains(merged, c.path)) merged << c;
    }
    for (const PortCandidate& c : extras) {
        if (!c.path.isEmpty() && !Contains(merged, c.path)) merged << c;
    }
    return merged;
}
