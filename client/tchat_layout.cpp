// The main window's board: every control at its fixed place on the 789 x 542 panel.
#include "client/tchat.h"

#include "board/drawingboard.h"
#include "client/boardstyle.h"
#include "client/chatpane.h"
#include "client/eventhook.h"
#include "client/podium.h"
#include "widgets/animatedpicture.h"
#include "widgets/colorbutton.h"
#include "widgets/fittinglabel.h"
#include "widgets/flatbutton.h"
#include "widgets/flatpanel.h"
#include "widgets/masklabel.h"
#include "widgets/tiledbackground.h"
#include "widgets/updown.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>

namespace {

using boardstyle::ink;
using boardstyle::maroon;
using boardstyle::paper;
using boardstyle::paperDeep;
const QColor barBrown(0x6E, 0x35, 0x18);
const QColor barText(0xFF, 0xE6, 0xB0);

QFont boardFont(int pixels, bool bold = false)
{
    return boardstyle::font(pixels, bold);
}

void setTextColour(QWidget *w, const QColor &c)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, c);
    pal.setColor(QPalette::Text, c);
    w->setPalette(pal);
}

// A caption. Captions can carry names and phrases from the network, so none of them is ever
// read as markup, and one that is too long ends in "…" rather than in half a letter.
template <class Label = FittingLabel>
Label *caption(QWidget *parent, const char *name, const QString &text, const QRect &geometry,
               const QFont &font, const QColor &colour,
               Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto *l = new Label(parent);
    l->setObjectName(QLatin1String(name));
    l->setTextFormat(Qt::PlainText);
    l->setText(text);
    l->setGeometry(geometry);
    l->setFont(font);
    l->setAlignment(align);
    setTextColour(l, colour);
    return l;
}

QLabel *picture(QWidget *parent, const char *name, const QString &file, const QRect &geometry)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(geometry);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setPixmap(QPixmap(QStringLiteral(":/pictures/") + file + QStringLiteral(".png")));
    return l;
}

FlatPanel *panel(QWidget *parent, const char *name, const QRect &geometry, const QColor &fill,
                 const QColor &border = ink, int radius = 0)
{
    auto *p = new FlatPanel(parent);
    p->setObjectName(QLatin1String(name));
    p->setGeometry(geometry);
    p->setColors(fill, border);
    p->setRadius(radius);
    return p;
}

QListWidget *guessList(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *l = new QListWidget(parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(geometry);
    l->setFont(boardFont(12));
    l->setFocusPolicy(Qt::NoFocus);
    l->setSelectionMode(QAbstractItemView::NoSelection);
    l->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    l->setUniformItemSizes(true);
    l->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    l->setStyleSheet(
        QStringLiteral("QListWidget { background: white; color: #800000; border: 1px solid #8B5A2B;"
                       " border-radius: 3px; }"));
    return l;
}

} // namespace

void Tchat::buildBoard()
{
    background = new TiledBackground(this);
    background->setObjectName(QStringLiteral("background"));
    background->setTile(QPixmap(QStringLiteral(":/pictures/background.png")));
    setCentralWidget(background);

    boardPanel = new QWidget(background);
    boardPanel->setObjectName(QStringLiteral("boardPanel"));
    boardPanel->setFixedSize(tchatgeometry::boardWidth, tchatgeometry::boardHeight);
    background->setCentred(boardPanel);

    buildTopPanel();
    buildDrawingArea();
    buildBottomArea();
    buildScorePanel();
    buildChatColumn();
}

// Top panel, 535 x 68: the two answer lines, start and pass, and the bar at its foot.
void Tchat::buildTopPanel()
{
    topPanel = panel(boardPanel, "topPanel", QRect(0, 0, 535, 68), paper, ink, 4);
    const QFont answerFont = boardFont(tchatgeometry::answerPixels);
    label_fullanswer = caption(topPanel, "label_fullanswer", QStringLiteral("Welcome To"),
                               QRect(2, 1, 531, 22), answerFont, maroon, Qt::AlignCenter);
    // The mask's hidden letters are dashes of their own, clear of each other and of the bar.
    label_answer = caption<MaskLabel>(topPanel, "label_answer", QStringLiteral("Quillet By Orvane Software"),
                                      QRect(2, 21, 531, 24), answerFont, maroon, Qt::AlignCenter);
    // A little air between the letters keeps them countable.
    QFont maskFont = answerFont;
    maskFont.setLetterSpacing(QFont::AbsoluteSpacing, tchatgeometry::answerSpacing);
    label_answer->setFont(maskFont);

    button_start = new FlatButton(QPixmap(QStringLiteral(":/pictures/button_start.png")), topPanel);
    button_start->setObjectName(QStringLiteral("button_start"));
    button_start->setGeometry(5, 26, 102, 17);
    button_start->setToolTip(QStringLiteral("Start Game"));
    button_start->hide();
    button_pass = new FlatButton(QPixmap(QStringLiteral(":/pictures/button_pass.png")), topPanel);
    button_pass->setObjectName(QStringLiteral("button_pass"));
    button_pass->setGeometry(428, 26, 102, 17);
    button_pass->setToolTip(QStringLiteral("Pass: a different phrase for one point"));
    button_pass->hide();
    // While the Start or Pass button shows, the mask line keeps clear of both: its room narrows
    // to the space between them, and its text is fitted again.
    auto *buttonWatch = new EventHook(this, [this](QObject *, QEvent *e) {
        if (e->type() != QEvent::ShowToParent && e->type() != QEvent::HideToParent)
            return;
        const int middle = label_answer->geometry().center().x();
        int inset = 0;
        for (const QWidget *b : {static_cast<QWidget *>(button_start), static_cast<QWidget *>(button_pass)}) {
            if (b->isHidden())
                continue;
            const QRect r = b->geometry();
            const int clear = r.center().x() < middle ? r.right() + 2 - label_answer->x()
                                                      : label_answer->geometry().right() + 2 - r.x();
            inset = std::max(inset, clear);
        }
        label_answer->setContentsMargins(inset, 0, inset, 0);
        setanswerline(label_answer, label_answer->text());
    });
    buttonWatch->watch(button_start);
    buttonWatch->watch(button_pass);

    gameBar = panel(topPanel, "gameBar", QRect(1, 46, 533, 21), barBrown, QColor(0x4A, 0x20, 0x0C), 3);
    image_cat = new QLabel(gameBar);
    image_cat->setObjectName(QStringLiteral("image_cat"));
    image_cat->setGeometry(4, 3, 100, 15);
    image_cat->setTextFormat(Qt::PlainText);
    for (int i = 0; i < 7; ++i)
        image_categories[i] = QPixmap(QStringLiteral(":/pictures/cat%1.png").arg(i));
    const QFont barFont = boardFont(12, true);
    playtoscore = caption(gameBar, "playtoscore", QStringLiteral("Play to Score: 20"), QRect(107, 2, 147, 17),
                          barFont, barText);
    timeperturn = caption(gameBar, "timeperturn", QStringLiteral("Time Per Turn: 60"), QRect(283, 2, 139, 17),
                          barFont, barText, Qt::AlignRight | Qt::AlignVCenter);
    image_timer = picture(gameBar, "image_timer", QStringLiteral("timer"), QRect(428, 3, 100, 15));
    // "Time:" and the clock sit on the bar.
    timeCaption =
        caption(gameBar, "timeCaption", QStringLiteral("Time:"), QRect(460, 2, 32, 17), barFont, Qt::white);
    label_timer =
        caption(gameBar, "label_timer", QStringLiteral("0"), QRect(492, 2, 38, 17), barFont, Qt::white);
}

// The drawing area, 533 x 369, with the winner and category panels laid over it.
void Tchat::buildDrawingArea()
{
    panel(boardPanel, "panel_drawingframe", QRect(0, 68, 535, 371), Qt::white, ink);
    panel_drawing = new QWidget(boardPanel);
    panel_drawing->setObjectName(QStringLiteral("panel_drawing"));
    panel_drawing->setGeometry(1, 69, DrawingBoard::boardWidth, DrawingBoard::boardHeight);
    image_main = new DrawingBoard(panel_drawing);
    image_main->setObjectName(QStringLiteral("image_main"));
    image_main->move(0, 0);

    winnerPanel = panel(panel_drawing, "winnerPanel", QRect(172, 80, 192, 161), paperDeep, ink, 8);
    image_winner = new AnimatedPicture(winnerPanel);
    image_winner->setObjectName(QStringLiteral("image_winner"));
    image_winner->setGeometry(5, 4, 182, 153);
    QStringList frames;
    for (int i = 1; i <= 5; ++i)
        frames << QStringLiteral(":/pictures/winner%1.png").arg(i);
    image_winner->setFrameFiles(frames);
    image_winner->setInterval(500);
    QFont winnerFont = boardFont(16, true);
    winnerFont.setUnderline(true);
    FittingLabel *winnerName = caption(winnerPanel, "label_winner", QStringLiteral("The Winner!"),
                                       QRect(14, 62, 164, 22), winnerFont, maroon, Qt::AlignCenter);
    winnerName->setSmallestPixelSize(10);
    label_winner = winnerName;
    winnerPanel->hide();

    // The category panel, centred on the drawing area.
    panel_pickcatagory =
        panel(panel_drawing, "panel_pickcatagory",
              QRect((DrawingBoard::boardWidth - 206) / 2, (DrawingBoard::boardHeight - 247) / 2, 206, 247),
              paper, maroon, 10);
    const QFont titleFont = boardFont(15, true);
    label_pickcatagory = caption(panel_pickcatagory, "label_pickcatagory", QStringLiteral("Your turn to"),
                                 QRect(4, 8, 198, 19), titleFont, maroon, Qt::AlignCenter);
    label_pickcatagory1 =
        caption(panel_pickcatagory, "label_pickcatagory1", QStringLiteral("choose a category"),
                QRect(4, 27, 198, 19), titleFont, maroon, Qt::AlignCenter);
    // Top to bottom: General, Food & Drink, Actions, Music Groups, Movies, TV Shows, Phrase.
    const int order[7] = {0, 6, 1, 3, 4, 5, 2};
    for (int row = 0; row < 7; ++row) {
        const int tag = order[row];
        auto *b = new FlatButton(QPixmap(QStringLiteral(":/pictures/catbutton%1.png").arg(tag)),
                                 panel_pickcatagory);
        b->setObjectName(QStringLiteral("button_cat%1").arg(tag));
        b->setProperty("Tag", tag);
        b->setCheckable(true);
        b->setGeometry(52, 53 + 24 * row, 104, 19);
        button_cat[tag] = b;
    }
    label_pickclock = caption(panel_pickcatagory, "label_pickclock", QString(), QRect(4, 222, 198, 18),
                              boardFont(13, true), ink, Qt::AlignCenter);
    panel_pickcatagory->hide();

    // Over everything else once a game is won.
    podium = new Podium(panel_drawing);
}

// Under the drawing area: the guessers' answer panel and, in the same place, the drawer's tools.
void Tchat::buildBottomArea()
{
    const QRect area(0, 440, 535, 102);
    const QFont labelFont = boardFont(13, true);

    panel_answer = panel(boardPanel, "panel_answer", area, paper, ink, 4);
    label_answerlabel = caption(panel_answer, "label_answerlabel", QStringLiteral("Type Answers Here"),
                                QRect(12, 10, 196, 17), labelFont, maroon);
    edit_answer = new QLineEdit(panel_answer);
    edit_answer->setObjectName(QStringLiteral("edit_answer"));
    edit_answer->setGeometry(12, 30, 196, 26);
    edit_answer->setFont(boardFont(14, true));
    edit_answer->setStyleSheet(
        QStringLiteral("QLineEdit { background: white; color: #800000;"
                       " border: 1px solid #8B5A2B; border-radius: 3px; padding: 0 4px; }"));
    listbox_myguessed = guessList(panel_answer, "listbox_myguessed", QRect(218, 6, 311, 90));
    panel_answer->hide();

    panel_toolbar = panel(boardPanel, "panel_toolbar", area, paper, ink, 4);
    // The brush tools' spot; what stands in it is the drawing tools' affair.
    panel_tools = new QWidget(panel_toolbar);
    panel_tools->setObjectName(QStringLiteral("panel_tools"));
    panel_tools->setGeometry(6, 6, 206, 90);
    const QFont toolFont = boardFont(12, true);
    caption(panel_tools, "label_brushcolor", QStringLiteral("Brush color"), QRect(6, 4, 70, 16), toolFont,
            maroon);
    ColorButton = new ::ColorButton(panel_tools);
    ColorButton->setObjectName(QStringLiteral("ColorButton"));
    ColorButton->setGeometry(6, 22, 60, 26);
    caption(panel_tools, "label_brushwidth", QStringLiteral("Brush width"), QRect(80, 4, 70, 16), toolFont,
            maroon);
    penw = new QLineEdit(QStringLiteral("3"), panel_tools);
    penw->setObjectName(QStringLiteral("penw"));
    penw->setGeometry(80, 22, 36, 26);
    penw->setFont(boardFont(13, true));
    brushWidthArrows = new ::UpDown(panel_tools);
    brushWidthArrows->setObjectName(QStringLiteral("brushWidthArrows"));
    brushWidthArrows->setGeometry(116, 22, 16, 26);
    // Trash and Undo side by side at the right; the eraser under the brush.
    const auto toolButton = [&](const char *name, const QString &text, const QString &picture,
                                const QRect &geometry, Qt::ToolButtonStyle style) {
        auto *b = new QToolButton(panel_tools);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(geometry);
        b->setIcon(QPixmap(QStringLiteral(":/pictures/") + picture + QStringLiteral(".png")));
        b->setIconSize(QSize(16, 16));
        b->setText(text);
        b->setToolButtonStyle(style);
        b->setAutoRaise(true);
        b->setFont(toolFont);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    clear = toolButton("clear", QStringLiteral("Trash"), QStringLiteral("trash"), QRect(146, 4, 56, 40),
                       Qt::ToolButtonTextUnderIcon);
    clear->setToolTip(QStringLiteral("Trash"));
    undoButton = toolButton("undoButton", QStringLiteral("Undo"), QStringLiteral("undo"),
                            QRect(146, 46, 56, 40), Qt::ToolButtonTextUnderIcon);
    undoButton->setToolTip(QStringLiteral("Undo your last stroke (Ctrl+Z)"));
    eraserButton = toolButton("eraserButton", QStringLiteral("Eraser"), QStringLiteral("eraser"),
                              QRect(6, 56, 126, 28), Qt::ToolButtonTextBesideIcon);
    eraserButton->setCheckable(true);
    eraserButton->setToolTip(QStringLiteral("Rub out in the board's white (Ctrl+E)"));
    listbox_guessed = guessList(panel_toolbar, "listbox_guessed", QRect(218, 6, 311, 90));
    panel_toolbar->hide();

    // When a panel hides with the focus inside it, the focus would move on to the next field,
    // the chat entry, and the next Enter would post a guess to everybody. It is parked on the
    // drawing area instead, and an answer field that had it gets it back when its panel shows.
    auto *focusWatch = new EventHook(this, [this, answerHadFocus = false](QObject *panel, QEvent *e) mutable {
        auto *p = static_cast<QWidget *>(panel);
        if (e->spontaneous())
            return; // the window itself was minimised or restored
        QWidget *focus = window()->focusWidget();
        if (e->type() == QEvent::Hide && focus && p->isAncestorOf(focus)) {
            if (p == panel_answer)
                answerHadFocus = focus == edit_answer;
            panel_drawing->setFocus(Qt::OtherFocusReason);
        } else if (e->type() == QEvent::Show && p == panel_answer && answerHadFocus) {
            answerHadFocus = false;
            if (edit_answer->isVisibleTo(panel_answer))
                edit_answer->setFocus(Qt::OtherFocusReason);
        }
    });
    focusWatch->watch(panel_answer);
    focusWatch->watch(panel_toolbar);
}

// Score panel, 248 x 228, at the top of the right-hand column.
void Tchat::buildScorePanel()
{
    panel_score = panel(boardPanel, "panel_score", QRect(539, 0, 248, 228), paper, ink, 6);
    scoreTitle = picture(panel_score, "scoreTitle", QStringLiteral("scoretitle"), QRect(60, 3, 100, 15));
    const QFont rowFont = boardFont(13, true);
    const QPixmap eyes(QStringLiteral(":/pictures/eyes.png"));
    for (int seat = 1; seat <= 10; ++seat) {
        const QByteArray n = QByteArray::number(seat);
        image_eyes[seat] = new QLabel(panel_score);
        image_eyes[seat]->setObjectName(QStringLiteral("image_eyes") + QString::number(seat));
        // Just left of the name, so that it never covers a letter.
        image_eyes[seat]->setGeometry(13, tchatgeometry::nameRowY[seat], 29, 12);
        image_eyes[seat]->setPixmap(eyes);
        image_eyes[seat]->setScaledContents(true);
        image_eyes[seat]->hide();
        const QByteArray nameLabel = "label_playername" + n;
        const QByteArray scoreLabel = "label_score" + n;
        label_playername[seat] =
            caption(panel_score, nameLabel.constData(), PlayerGame::waiting,
                    QRect(seat <= 4 ? 42 : 43, tchatgeometry::nameRowY[seat], 112, 16), rowFont, maroon);
        // Seat 1 is the host's own seat: it carries no removal menu, so its tag is 0.
        label_playername[seat]->setProperty("Tag", seat == 1 ? 0 : seat);
        label_score[seat] = caption(panel_score, scoreLabel.constData(), QStringLiteral("0"),
                                    QRect(156, tchatgeometry::scoreRowY[seat], 32, 16), rowFont, maroon);
    }
    image_arrow = picture(panel_score, "image_arrow", QStringLiteral("arrow"),
                          QRect(24, tchatgeometry::nameRowY[1] + 2, 17, 13));
    const QFont markFont = boardFont(11, true);
    label_adrawer = caption(panel_score, "label_adrawer", QStringLiteral("+1"),
                            QRect(189, tchatgeometry::nameRowY[1], 22, 14), markFont, maroon);
    label_adrawer->hide();
    label_aguesser = caption(panel_score, "label_aguesser", QStringLiteral("+2"),
                             QRect(189, tchatgeometry::nameRowY[1], 22, 14), markFont, maroon);
    label_aguesser->hide();
    button_snapshot = new FlatButton(QPixmap(QStringLiteral(":/pictures/camera.png")), panel_score);
    button_snapshot->setObjectName(QStringLiteral("button_snapshot"));
    button_snapshot->setText(QStringLiteral("Take A Snap Shot"));
    button_snapshot->setToolTip(QStringLiteral("Take a Snapshot"));
    button_snapshot->setFont(boardFont(12, true));
    button_snapshot->setGeometry(44, 189, 142, 20);
    button_snapshot->hide();
    FittingLabel *turnLine = caption(panel_score, "label_turn", QString(), QRect(2, 211, 244, 16), rowFont,
                                     maroon, Qt::AlignCenter);
    turnLine->setSmallestPixelSize(9);
    label_turn = turnLine;
}

// The chat column under the score panel, as wide as it: the phrase row at the column's y 231
// (the pane's top, with b_phrase10 at x 222), then the viewer, the entry box and the smilies.
void Tchat::buildChatColumn()
{
    chatpane = new ChatPane(boardPanel);
    chatpane->setObjectName(QStringLiteral("chatpane"));
    chatpane->setGeometry(539, 231, 248, 311);
}
