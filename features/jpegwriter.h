#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Pictures as JPEG files through libjpeg: baseline, 24-bit colour.
namespace jpeg {

constexpr int defaultQuality = 90;

// The picture as a baseline JPEG of 24-bit colour (any alpha is dropped). Throws EError with
// libjpeg's message when the picture can't be encoded (an empty one, for example).
QByteArray encode(const QImage &picture, int quality = defaultQuality);

// Encodes the picture and writes it to the path through a temporary file in the same folder and a
// rename, so the path holds either its old content or the whole new picture, never part of one.
// An existing file is replaced. Throws EError with the file error.
void save(const QImage &picture, const QString &path, int quality = defaultQuality);

} // namespace jpeg
