#include "client/podium.h"

#include "client/boardstyle.h"
#include "client/core/turnclock.h"
#include "widgets/flatbutton.h"

#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

using namespace boardstyle;

// The parts of the podium, in units.
const QRect titleArea(12, 8, 440, 30);
const QRect rankArea(12, 46, 196, 272);
const QRect turnHeading(224, 46, 276, 16);
const QRect turnArea(224, 64, 276, 254);
const QRect footer(12, 326, 497, 24);
constexpr int turnRow = 54;
constexpr int thumbWide = 70;
constexpr int thumbHigh = 48;
// Thumbnails are kept sharp up to three times the board's size.
constexpr int keptWide = thumbWide * 3;
constexpr int keptHigh = thumbHigh * 3;

const QColor gold(0xD4, 0xA0, 0x17);
const QColor silver(0x9E, 0xA4, 0xAA);
const QColor bronze(0xB0, 0x6A, 0x2E);
const QColor faint(0x9A, 0x80, 0x68);

QColor medal(int rank)
{
    return rank == 1 ? gold : rank == 2 ? silver : rank == 3 ? bronze : faint;
}

// Text in a box, cut with "…" where too long: names and phrases come from the network.
void fitted(QPainter &p, const QRect &box, const QString &text, Qt::Alignment align = Qt::AlignLeft)
{
    p.drawText(box, int(align | Qt::AlignVCenter),
               p.fontMetrics().elidedText(text, Qt::ElideRight, box.width()));
}

void rankBadge(QPainter &p, const QRect &box, int rank)
{
    p.setPen(Qt::NoPen);
    p.setBrush(medal(rank));
    p.drawEllipse(box);
    p.setPen(Qt::white);
    p.setFont(boardstyle::font(11, true));
    p.drawText(box, Qt::AlignCenter, QString::number(rank));
}

// The three steps under the ranking of a game without teams: the second place left, the first
// in the middle and highest, the third right.
void steps(QPainter &p, const QList<GameRecord::Place> &ranking, int bottom)
{
    static constexpr int heights[3] = {56, 40, 28};
    static constexpr int lefts[3] = {81, 23, 139};
    for (qsizetype i = 0; i < ranking.size() && i < 3; ++i) {
        const GameRecord::Place &place = ranking[i];
        const QRect step(lefts[i], bottom - heights[i], 58, heights[i]);
        p.setPen(QPen(medal(place.rank).darker(125), 1));
        p.setBrush(medal(place.rank));
        p.drawRoundedRect(QRectF(step).adjusted(0.5, 0.5, -0.5, 0), 3, 3);
        p.setPen(Qt::white);
        p.setFont(boardstyle::font(18, true));
        p.drawText(step.adjusted(0, 4, 0, 0), Qt::AlignHCenter | Qt::AlignTop, QString::number(place.rank));
        p.setPen(maroon);
        p.setFont(boardstyle::font(12, true));
        fitted(p, QRect(step.x() - 4, step.y() - 18, step.width() + 8, 16), place.name, Qt::AlignCenter);
    }
}

// The board with every stroke a pixel wider on each side, so that thin lines survive the
// shrinking: each pixel takes the darkest of its neighbours, channel by channel.
QImage thickened(const QImage &board)
{
    const QImage in = board.convertToFormat(QImage::Format_RGB32);
    QImage out(in.size(), QImage::Format_RGB32);
    const int w = in.width();
    const int h = in.height();
    for (int y = 0; y < h; ++y) {
        auto *row = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            int r = 255, g = 255, b = 255;
            for (int dy = std::max(0, y - 1); dy <= std::min(h - 1, y + 1); ++dy) {
                const auto *src = reinterpret_cast<const QRgb *>(in.constScanLine(dy));
                for (int dx = std::max(0, x - 1); dx <= std::min(w - 1, x + 1); ++dx) {
                    r = std::min(r, qRed(src[dx]));
                    g = std::min(g, qGreen(src[dx]));
                    b = std::min(b, qBlue(src[dx]));
                }
            }
            row[x] = qRgb(r, g, b);
        }
    }
    return out;
}

QString optionsline(const PlayerGame::StartOptions &o)
{
    QString line = (o.team ? QStringLiteral("Team game to ") : QStringLiteral("Play to ")) +
                   QString::number(o.playto) + QStringLiteral(", ") + turnclock::clockText(o.seconds) +
                   QStringLiteral(" a turn");
    if (o.hints)
        line += QStringLiteral(", letter hints");
    return line;
}

} // namespace

Podium::Podium(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("podium"));
    setGeometry(6, 6, unitsWide, unitsHigh);
    playAgain = new FlatButton(this);
    playAgain->setObjectName(QStringLiteral("button_playagain"));
    playAgain->setText(QStringLiteral("Play Again"));
    playAgain->setToolTip(QStringLiteral("A new game with the same options"));
    playAgain->setFont(boardstyle::font(14, true));
    playAgain->setGeometry(footer.x(), footer.y(), 120, footer.height());
    connect(playAgain, &QAbstractButton::clicked, this, &Podium::playAgainClicked);
    closeButton = new FlatButton(this);
    closeButton->setObjectName(QStringLiteral("button_closepodium"));
    closeButton->setText(QStringLiteral("Close"));
    closeButton->setToolTip(QStringLiteral("Back to the board"));
    closeButton->setFont(boardstyle::font(12, true));
    closeButton->setGeometry(unitsWide - 66, 10, 56, 22);
    connect(closeButton, &QAbstractButton::clicked, this, &Podium::closeClicked);
    turnScroll = new QScrollBar(Qt::Vertical, this);
    turnScroll->setObjectName(QStringLiteral("podium_turns"));
    turnScroll->setGeometry(turnArea.right() + 2, turnArea.y(), 9, turnArea.height());
    turnScroll->setSingleStep(turnRow / 3);
    connect(turnScroll, &QScrollBar::valueChanged, this, qOverload<>(&QWidget::update));
    hide();
}

void Podium::setrecord(const GameRecord &record, const PlayerGame::StartOptions &o)
{
    shown = record;
    options = o;
    updatescroll();
    // The list opens at the game's first turn.
    turnScroll->setValue(0);
    update();
}

void Podium::setpicture(int turn, const QImage &board)
{
    pictures.remove(turn - GameRecord::maxturns);
    pictures[turn] =
        thickened(board).scaled(keptWide, keptHigh, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void Podium::clearpictures()
{
    pictures.clear();
}

void Podium::setleader(bool mine, bool offered, const QString &name)
{
    leading = mine;
    leader = name;
    playAgain->setVisible(mine);
    playAgain->setEnabled(offered);
    update();
}

void Podium::updatescroll()
{
    const int content = int(shown.turns().size()) * turnRow;
    turnScroll->setRange(0, std::max(0, content - turnArea.height()));
    turnScroll->setPageStep(turnArea.height());
    turnScroll->setVisible(content > turnArea.height());
}

void Podium::wheelEvent(QWheelEvent *e)
{
    // The wheel anywhere on the podium moves the turn list: a notch by a turn, a touchpad's small
    // steps as far as they go.
    turnScroll->setValue(turnScroll->value() - e->angleDelta().y() * turnRow / 120);
    e->accept();
}

void Podium::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.scale(scale(), scale());

    // The card, with a shadow that lifts it off the board.
    const QRectF card(1.5, 1.5, unitsWide - 5, unitsHigh - 5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawRoundedRect(card.translated(2, 2), 10, 10);
    p.setPen(QPen(maroon, 2));
    p.setBrush(paper);
    p.drawRoundedRect(card, 10, 10);

    p.setPen(maroon);
    p.setFont(boardstyle::font(20, true));
    const QString winner = shown.winner().isEmpty() ? QStringLiteral("The game is over!")
                                                    : shown.winner() + QStringLiteral(" has Won the Game!");
    fitted(p, titleArea, winner, Qt::AlignCenter);
    p.setPen(QPen(ink, 1));
    p.drawLine(QPointF(12, 42.5), QPointF(unitsWide - 12, 42.5));
    p.drawLine(QPointF(216.5, 50), QPointF(216.5, 316));

    // The ranking: a medal per place, then the name and the score.
    p.setFont(boardstyle::font(12, true));
    p.setPen(ink);
    fitted(p, QRect(rankArea.x(), rankArea.y(), rankArea.width(), 16), QStringLiteral("Final scores"));
    int y = rankArea.y() + 20;
    for (const GameRecord::Place &place : shown.ranking()) {
        if (y + 18 > rankArea.bottom())
            break;
        rankBadge(p, QRect(rankArea.x() + 2, y + 1, 17, 17), place.rank);
        // A team in its rows' colour on the score panel.
        p.setPen(place.left ? faint : place.name == GameRecord::blackteam ? QColor(Qt::black) : maroon);
        p.setFont(boardstyle::font(place.members.isEmpty() ? 14 : 15, true));
        fitted(p, QRect(rankArea.x() + 26, y, 134, 19),
               place.left ? place.name + QStringLiteral(" (left)") : place.name);
        fitted(p, QRect(rankArea.right() - 36, y, 36, 19), QString::number(place.score), Qt::AlignRight);
        y += place.members.isEmpty() ? 22 : 21;
        p.setFont(boardstyle::font(12));
        for (const GameRecord::Player &member : place.members) {
            if (y + 16 > rankArea.bottom())
                break;
            p.setPen(member.left ? faint : ink);
            fitted(p, QRect(rankArea.x() + 34, y, 158, 16),
                   member.left ? member.name + QStringLiteral(" (left)") : member.name);
            y += 16;
        }
        if (!place.members.isEmpty())
            y += 6;
    }

    const int stepsTop = rankArea.bottom() - 56 - 20;
    if (!shown.teamgame() && !shown.ranking().isEmpty() && y <= stepsTop)
        steps(p, shown.ranking(), rankArea.bottom());

    // The turns, oldest first, each with its last drawing.
    p.setPen(ink);
    p.setFont(boardstyle::font(12, true));
    const qsizetype turns = shown.turns().size();
    const int played = shown.firstturn() + int(turns);
    QString heading =
        played == 1 ? QStringLiteral("1 turn") : QString::number(played) + QStringLiteral(" turns");
    if (shown.firstturn() > 0)
        heading = QStringLiteral("The last %1 of %2").arg(turns).arg(heading);
    fitted(p, turnHeading, heading);
    p.save();
    p.setClipRect(turnArea);
    for (qsizetype i = 0; i < turns; ++i) {
        const int top = turnArea.y() + int(i) * turnRow - turnScroll->value();
        if (top + turnRow < turnArea.y() || top > turnArea.bottom())
            continue;
        const GameRecord::Turn &turn = shown.turns()[i];
        const QRect thumb(turnArea.x(), top + 2, thumbWide, thumbHigh);
        const int number = shown.firstturn() + int(i);
        if (const QImage picture = pictures.value(number); !picture.isNull())
            p.drawImage(thumb, picture);
        else
            p.fillRect(thumb, Qt::white);
        p.setPen(QPen(ink, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(thumb).adjusted(-0.5, -0.5, 0.5, 0.5));
        const int textX = thumb.right() + 9;
        const int textW = turnArea.right() - textX - 12;
        p.setPen(ink);
        p.setFont(boardstyle::font(11, true));
        fitted(p, QRect(textX, top + 1, textW, 14),
               QString::number(number + 1) + QStringLiteral(". ") + turn.drawer + QStringLiteral(" drew"));
        p.setPen(maroon);
        p.setFont(boardstyle::font(14, true));
        fitted(p, QRect(textX, top + 15, textW, 18), turn.phrase);
        p.setFont(boardstyle::font(11));
        p.setPen(turn.solver.isEmpty() ? faint : ink);
        fitted(p, QRect(textX, top + 33, textW, 14),
               turn.solver.isEmpty() ? QStringLiteral("Nobody guessed it")
                                     : QStringLiteral("Solved by ") + turn.solver);
    }
    p.restore();

    // The footer: Play Again or who may start the next game, and the options it starts with.
    p.setPen(ink);
    p.setFont(boardstyle::font(12, true));
    const QString next = optionsline(options);
    if (leading) {
        fitted(p, QRect(footer.x() + 130, footer.y(), footer.width() - 130, footer.height()),
               QStringLiteral("Same options: ") + next);
    } else {
        const QString waiting =
            leader.isEmpty() ? QStringLiteral("Waiting for a player to start a new game")
                             : QStringLiteral("Waiting for ") + leader + QStringLiteral(" to play again");
        fitted(p, QRect(footer.x(), footer.y(), 300, footer.height()), waiting);
        p.setFont(boardstyle::font(11));
        fitted(p, QRect(footer.x() + 300, footer.y(), footer.width() - 300, footer.height()), next,
               Qt::AlignRight);
    }
}
