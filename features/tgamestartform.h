#pragma once

#include <QWidget>

// The hosting player's dialog that starts a game.
class Tgamestartform : public QWidget
{
    Q_OBJECT
public:
    explicit Tgamestartform(QWidget *parent = nullptr);
};
