#pragma once

#include <QWidget>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class UpDown;

// The hosting player's dialog that starts a game: score to play to, seconds per turn, team game,
// letter hints.
// Created once and only shown and hidden, so its values last for the whole run.
class Tgamestartform : public QWidget
{
    Q_OBJECT
public:
    explicit Tgamestartform(QWidget *parent = nullptr);

    QLineEdit *playtoscore = nullptr;
    UpDown *playToScoreArrows = nullptr;
    QLineEdit *timeperturn = nullptr;
    UpDown *turnTimeArrows = nullptr;
    QCheckBox *team = nullptr;
    // Off at first; the program keeps the choice in the settings file.
    QCheckBox *hints = nullptr;
    QPushButton *startButton = nullptr;

    // The main window's start operation, called by "Start Game" with the options chosen.
    std::function<void(bool team, int playto, int seconds, bool hints)> startgame;

    // "Start Game": asks the main window to start, then hides.
    void startGameClicked();
    // Shows the dialog (not modal) centred over a window, `team` focused.
    void showOver(QWidget *window);

protected:
    void showEvent(QShowEvent *e) override;
};
