#pragma once

#include <QByteArray>
#include <QString>

// Text crosses every socket and file as single-byte Windows-1252; inside it is QString.
namespace cp1252 {

QString decode(const QByteArray &bytes);
QString decode(const char *data, qsizetype size);
// Characters the code page cannot hold become "?".
QByteArray encode(const QString &text);

} // namespace cp1252
