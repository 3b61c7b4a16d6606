#include "features/windows.h"

#include <QAction>
#include <QListWidget>
#include <QVBoxLayout>

Tsnapshot::Tsnapshot(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Quillet - Snap Shots"));
    resize(676, 436);
}
