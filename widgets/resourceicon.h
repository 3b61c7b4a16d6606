#pragma once

#include <QIcon>
#include <QList>
#include <QString>

// An icon drawn from picture files of a few sizes, read each time a size is asked for rather than
// held decoded for the run: the window icon is asked for when a window is first shown, and its
// largest picture alone would hold a quarter of a megabyte.
// `pattern` names the files with "%1" for the size in pixels: ":/icons/quillet-%1.png".
QIcon resourceIcon(const QString &pattern, const QList<int> &sizes);
