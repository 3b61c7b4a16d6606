#pragma once

#include "client/core/gamerecord.h"
#include "client/core/playergame.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QWidget>

class FlatButton;
class QScrollBar;

// The end of a game, laid over the drawing area: who won, the final ranking, and every turn of
// the game with its drawer, phrase, solver and final drawing. The leading player starts the next
// game from here; the others read who may. Painted at the board's scale: 521 x 357 units.
class Podium : public QWidget
{
    Q_OBJECT
public:
    static constexpr int unitsWide = 521;
    static constexpr int unitsHigh = 357;

    explicit Podium(QWidget *parent = nullptr);

    // The game to show and the options Play Again starts with.
    void setrecord(const GameRecord &record, const PlayerGame::StartOptions &options);
    // The board's picture at the end of a turn of the game (0 for the first), kept small as long
    // as the record keeps the turn; all go with a new game.
    void setpicture(int turn, const QImage &board);
    void clearpictures();
    // Play Again for the leading player; the others read who that is (empty: nobody seated).
    void setleader(bool mine, bool offered, const QString &name);

signals:
    void playAgainClicked();
    void closeClicked();

protected:
    void paintEvent(QPaintEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;

private:
    GameRecord shown;
    PlayerGame::StartOptions options;
    QHash<int, QImage> pictures;
    bool leading = false;
    QString leader;
    FlatButton *playAgain = nullptr;
    FlatButton *closeButton = nullptr;
    QScrollBar *turnScroll = nullptr;
    // Units to pixels.
    double scale() const { return width() / double(unitsWide); }
    void updatescroll();
};
