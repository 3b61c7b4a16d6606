#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

// Snapshots of finished drawings: numbered JPEG files in a folder of their own.
namespace snapshots {

// The folder that holds the snapshots: "snapshots" beside the settings file, or the player's own
// data folder for an installed copy (config::snapshotsDir).
QString folder();

// "snapshot" + the number + ".jpg".
QString fileName(int number);

// The number of a name of the form fileName() makes (letters in any case), or 0 for any other name.
int numberOf(const QString &name);

// The number of the next snapshot: one past the count of snapshots taken and past every numbered
// snapshot already in the folder, so a count lost from the settings never overwrites a snapshot.
int nextNumber(int snapcount, const QString &folder);

// Snapshot names by number (snapshot2 before snapshot10), then any other names by name.
QStringList ordered(QStringList names);

// The ".jpg" files of the folder (any case of the extension, hidden ones too), ordered.
QStringList list(const QString &folder);

// Writes the caption on the picture with its top-left corner at (4, 4), in black on white.
void stamp(QImage &picture, const QString &caption);

// Saves the picture as snapshot `number` in the folder, making the folder and its parents first
// when they are missing. Returns the file's path; throws EError with the file error.
QString save(const QImage &picture, const QString &folder, int number);

} // namespace snapshots
