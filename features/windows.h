#pragma once

#include <QWidget>

class QAction;
class QListWidget;

// Spectators beyond the ten seats; the host can remove players from here.
class Tspylist : public QWidget
{
    Q_OBJECT
public:
    explicit Tspylist(QWidget *parent = nullptr);
    QListWidget *listbox_spys = nullptr;
    QAction *popup_kickhim = nullptr;
};

// Editor of the nine quick phrases.
class Tphrases : public QWidget
{
    Q_OBJECT
public:
    explicit Tphrases(QWidget *parent = nullptr);
};
