#include "json_text.h"

#include "acquisition/measurement_data.h"

#include <QJsonArray>
#include <QJsonDocument>

QByteArray JsonString(const QString& text)
{
    // The array's only element, escaped by Qt.
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

QByteArray JsonFloat(float value)
{
    const QByteArray text = ExactFloatText(value);
    return text.isEmpty() ? QByteArray("null") : text;
}

QByteArray JsonObject(const JsonMembers& members)
{
    QByteArray out = "{";
    for (const auto& member : members) {
        if (out.size() > 1) out += ',';
        out += '"' + member.first + "\":" + member.second;
    }
    return out + '}';
}

QByteArray JsonArrayOf(const QList<QByteArray>& values)
{
    QByteArray out = "[";
    for (const QByteArray& value : values) {
        if (out.size() > 1) out += ',';
        out += value;
    }
    return out + ']';
}
