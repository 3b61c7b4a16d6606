#pragma once

#include <QByteArray>
#include <QString>

namespace atomicfile {

// Writes the data to the path through a temporary file beside it ("NAME.XXXXXX") and a rename, so
// the path holds either its old content or all of the new, never part of it, even when the program
// is stopped in the middle. An existing file is replaced. There is no flush to the disk itself:
// a snapshot is not worth the wait. Throws EError with the file error.
void write(const QString &path, const QByteArray &data);

} // namespace atomicfile
