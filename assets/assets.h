#pragma once

#include <QByteArray>
#include <QString>

namespace assets {

// Bytes of a compiled-in file, for example "phrases/general.txt"; empty when absent.
QByteArray load(const QString &path);

// Hands back the pages of the compiled-in files that are mapped into the process, once start-up
// has read what it needs: the kernel maps 64 KB around each page read, so a few pictures and
// lists leave most of the files resident. What is read later is mapped again from the program
// file. Returns the bytes handed back (0 where the files do not lie in one read-only mapping).
qint64 releaseResident();

} // namespace assets
