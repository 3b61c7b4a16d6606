#pragma once

#include <QByteArray>
#include <QString>

namespace assets {

// Bytes of a compiled-in file, for example "phrases/general.txt"; empty when absent.
QByteArray load(const QString &path);

} // namespace assets
