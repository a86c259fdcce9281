#pragma once
// Small pieces of JSON for the commands' -f json: texts escaped, float32
// values as the shortest decimal that reads back the same (null when not a
// number), members joined into an object.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

QByteArray JsonString(const QString& text);
QByteArray JsonFloat(float value);

// {"key":value,...} from members whose values are JSON already.
using JsonMembers = QList<QPair<QByteArray, QByteArray>>;
QByteArray JsonObject(const JsonMembers& members);
QByteArray JsonArrayOf(const QList<QByteArray>& values);
