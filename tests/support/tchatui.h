#pragma once

// The main window's parts as a player sees and uses them, found by their object names, and what
// the window wrote to the chat pane and played. Tests reach the window only through these and
// through its game() and link().

#include "board/drawingboard.h"
#include "client/chatpane.h"
#include "client/tchat.h"
#include "widgets/animatedpicture.h"
#include "widgets/colorbutton.h"
#include "widgets/flatbutton.h"
#include "widgets/flatpanel.h"

#include <QAbstractButton>
#include <QAction>
#include <QColorDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QToolButton>
#include <array>
#include <cstdio>
#include <cstdlib>

namespace tchatui {

// A part the window must have: a test that asks for a missing one stops at once.
template <class T> T *part(const QObject &w, const QString &name)
{
    T *found = w.findChild<T *>(name);
    if (!found) {
        std::fprintf(stderr, "the main window has no %s\n", qPrintable(name));
        std::abort();
    }
    return found;
}

} // namespace tchatui

struct TchatUi
{
    explicit TchatUi(Tchat &w) : w(w)
    {
        using tchatui::part;
        for (int seat = 1; seat <= 10; ++seat) {
            label_playername[seat] = part<QLabel>(w, QStringLiteral("label_playername%1").arg(seat));
            label_score[seat] = part<QLabel>(w, QStringLiteral("label_score%1").arg(seat));
            image_eyes[seat] = part<QLabel>(w, QStringLiteral("image_eyes%1").arg(seat));
        }
        for (int tag = 0; tag < 7; ++tag)
            button_cat[tag] = part<QAbstractButton>(w, QStringLiteral("button_cat%1").arg(tag));
        for (int n = 1; n <= 9; ++n)
            b_phrase[n] = part<QToolButton>(w, QStringLiteral("b_phrase%1").arg(n));
        chattersounds << part<QAction>(w, QStringLiteral("cancelSoundAction"));
        for (int tag = 1; tag <= 20; ++tag)
            chattersounds << part<QAction>(w, QStringLiteral("wave%1").arg(tag));
    }

    Tchat &w;
    template <class T = QWidget> T *part(const char *name) const
    {
        return tchatui::part<T>(w, QLatin1String(name));
    }

    // The board and the turn.
    QWidget *boardPanel = part("boardPanel");
    FlatPanel *topPanel = part<FlatPanel>("topPanel");
    FlatPanel *gameBar = part<FlatPanel>("gameBar");
    DrawingBoard *image_main = part<DrawingBoard>("image_main");
    QLabel *label_turn = part<QLabel>("label_turn");
    QLabel *label_answer = part<QLabel>("label_answer");
    QLabel *label_fullanswer = part<QLabel>("label_fullanswer");
    QLabel *label_answerlabel = part<QLabel>("label_answerlabel");
    QLabel *image_cat = part<QLabel>("image_cat");
    QLabel *playtoscore = part<QLabel>("playtoscore");
    QLabel *timeperturn = part<QLabel>("timeperturn");
    QLabel *timeCaption = part<QLabel>("timeCaption");
    QLabel *label_timer = part<QLabel>("label_timer");
    QLabel *image_timer = part<QLabel>("image_timer");
    QAbstractButton *button_start = part<QAbstractButton>("button_start");
    QAbstractButton *button_pass = part<QAbstractButton>("button_pass");
    QWidget *panel_pickcatagory = part("panel_pickcatagory");
    QLabel *label_pickcatagory = part<QLabel>("label_pickcatagory");
    QLabel *label_pickcatagory1 = part<QLabel>("label_pickcatagory1");
    QLabel *label_pickclock = part<QLabel>("label_pickclock");
    std::array<QAbstractButton *, 7> button_cat{};
    QWidget *panel_answer = part("panel_answer");
    QLineEdit *edit_answer = part<QLineEdit>("edit_answer");
    QListWidget *listbox_guessed = part<QListWidget>("listbox_guessed");
    QListWidget *listbox_myguessed = part<QListWidget>("listbox_myguessed");
    QWidget *panel_toolbar = part("panel_toolbar");
    ::ColorButton *ColorButton = part<::ColorButton>("ColorButton");
    QLineEdit *penw = part<QLineEdit>("penw");
    QToolButton *clear = part<QToolButton>("clear");
    // The pen as the host hears it: strokeui.h gives it its type, for the suites that drive it.
    QObject *strokesenderObject = part<QObject>("strokesender");
    FlatPanel *winnerPanel = part<FlatPanel>("winnerPanel");
    AnimatedPicture *image_winner = part<AnimatedPicture>("image_winner");
    QLabel *label_winner = part<QLabel>("label_winner");
    // The podium at the game's end.
    QWidget *podium = part("podium");
    QAbstractButton *button_playagain = part<QAbstractButton>("button_playagain");
    QAbstractButton *button_closepodium = part<QAbstractButton>("button_closepodium");

    // The score panel.
    FlatPanel *panel_score = part<FlatPanel>("panel_score");
    QLabel *scoreTitle = part<QLabel>("scoreTitle");
    std::array<QLabel *, 11> label_playername{};
    std::array<QLabel *, 11> label_score{};
    std::array<QLabel *, 11> image_eyes{};
    QLabel *image_arrow = part<QLabel>("image_arrow");
    QLabel *label_adrawer = part<QLabel>("label_adrawer");
    QLabel *label_aguesser = part<QLabel>("label_aguesser");
    FlatButton *button_snapshot = part<FlatButton>("button_snapshot");

    // The chat column.
    ChatPane *chatpane = part<ChatPane>("chatpane");
    std::array<QToolButton *, 10> b_phrase{};
    QToolButton *b_phrase10 = part<QToolButton>("b_phrase10");
    QList<QAction *> chattersounds; // entry n is the chatter-sound menu's tag n
    // The nine phrase buttons' phrases.
    QStringList phrases() const { return w.game()->phrases(); }

    // The menus.
    QMenu *fileMenu = tchatui::part<QMenu>(w, QStringLiteral("fileMenu"));
    QMenu *optionsMenu = tchatui::part<QMenu>(w, QStringLiteral("optionsMenu"));
    QMenu *viewMenu = tchatui::part<QMenu>(w, QStringLiteral("viewMenu"));
    QMenu *helpMenu = tchatui::part<QMenu>(w, QStringLiteral("helpMenu"));
    QMenu *popup_Kick = tchatui::part<QMenu>(w, QStringLiteral("popup_Kick"));
    QAction *action(const char *name) const { return tchatui::part<QAction>(w, QLatin1String(name)); }
    QAction *startGameAction = action("startGameAction");
    QAction *hostGameAction = action("hostGameAction");
    QAction *joinGameAction = action("joinGameAction");
    QAction *inviteFriendsAction = action("inviteFriendsAction");
    QAction *exitAction = action("exitAction");
    QAction *justWatchAction = action("justWatchAction");
    QAction *textColorAction = action("textColorAction");
    QAction *playSoundsAction = action("playSoundsAction");
    QAction *playChatterSoundsAction = action("playChatterSoundsAction");
    QAction *resetScreenLocationAction = action("resetScreenLocationAction");
    QAction *spyListAction = action("spyListAction");
    QAction *snapShotsAction = action("snapShotsAction");
    QAction *phraseListsAction = action("phraseListsAction");
    QAction *contentsAction = action("contentsAction");
    QAction *aboutAction = action("aboutAction");
    QAction *removeFromGameAction = action("removeFromGameAction");
    QAction *setToJustWatchAction = action("setToJustWatchAction");
    QAction *unsetJustWatchAction = action("unsetJustWatchAction");

    // Boxes and dialogs the window opened, if any.
    QMessageBox *fullbox() const { return w.findChild<QMessageBox *>(QStringLiteral("fullbox")); }
    QColorDialog *colorDialog() const { return w.findChild<QColorDialog *>(QStringLiteral("ColorDialog")); }
};

// What the window wrote to its chat pane and the sound cues it played, from the first logof() on;
// the log lives as long as the window.
struct TchatLog : QObject
{
    explicit TchatLog(Tchat &w) : QObject(&w)
    {
        setObjectName(QStringLiteral("testlog"));
        connect(tchatui::part<ChatPane>(w, QStringLiteral("chatpane")), &ChatPane::lineAdded, this,
                [this](const QString &line, int colour) {
                    lines.append({line, colour});
                });
        connect(w.game(), &PlayerGame::cue, this, [this](const QString &cue) { cues << cue; });
    }
    void clear()
    {
        lines.clear();
        cues.clear();
    }
    QList<QPair<QString, int>> lines; // chat lines and their colours
    QStringList cues;
};

inline TchatLog &logof(const Tchat &w)
{
    auto *log = w.findChild<TchatLog *>(QStringLiteral("testlog"), Qt::FindDirectChildrenOnly);
    return log ? *log : *new TchatLog(const_cast<Tchat &>(w));
}
template <class P> TchatLog &logof(const P &w)
{
    return logof(*w);
}

inline TchatUi ui(const Tchat &w)
{
    return TchatUi(const_cast<Tchat &>(w));
}
// Through a pointer, a unique_ptr or a QPointer.
template <class P> TchatUi ui(const P &w)
{
    return TchatUi(*w);
}
