#include "features/windows.h"

#include <QAction>
#include <QListWidget>
#include <QVBoxLayout>

Tspylist::Tspylist(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Quillet - Spys"));
    resize(170, 195);
    auto *layout = new QVBoxLayout(this);
    listbox_spys = new QListWidget(this);
    layout->addWidget(listbox_spys);
    popup_kickhim = new QAction(QStringLiteral("Remove From Game"), this);
    popup_kickhim->setEnabled(false);
    listbox_spys->addAction(popup_kickhim);
    listbox_spys->setContextMenuPolicy(Qt::ActionsContextMenu);
}

Tphrases::Tphrases(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Quillet - Phrase Buttons"));
    resize(383, 286);
}
