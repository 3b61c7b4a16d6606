#pragma once

#include <QWidget>

// Help window.
class Thelp : public QWidget
{
    Q_OBJECT
public:
    explicit Thelp(QWidget *parent = nullptr);
};

// About window: shows the version text that the login carries.
class Tabout : public QWidget
{
    Q_OBJECT
public:
    explicit Tabout(QWidget *parent = nullptr);
};

// Offer to download the lobby program, shown on a solo start.
class Tdownload : public QWidget
{
    Q_OBJECT
public:
    explicit Tdownload(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *e) override;
};
