#pragma once

#include <QLineEdit>
#include <QList>
#include <QPixmap>
#include <QWidget>
#include <functional>

class QAction;
class QMenu;
class QToolButton;
class QUrl;
class ChatViewer;

// The chat entry box: Enter sends, the placeholder goes at the first key, paste appends.
class ChatEntry : public QLineEdit
{
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;
    std::function<void()> onEnter;
    std::function<void()> onPaste;
    QMenu *popup = nullptr;

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;
};

// The chat column of the main window below the score panel: the phrase-button row with the
// chatter button at its right end, the viewer `mainchat`, the entry box `mychat` and the smilies
// button. Every line of the game is written here as a coded line ("code+text") in a colour.
class ChatPane : public QWidget
{
    Q_OBJECT
public:
    explicit ChatPane(QWidget *parent = nullptr);

    static inline const QString placeholder = QStringLiteral("<Enter Chat Here>");
    static constexpr int smileyCount = 18;
    // Lines the pane keeps at least; older ones are dropped.
    static constexpr int maxlines = 10000;
    // And at most this many characters: a flood of long lines must not fill a player's memory.
    static constexpr qint64 maxchars = 1000000;

    // Controls.
    QWidget *phraserow = nullptr; // b_phrase1 ... b_phrase9 go here, left to right
    QToolButton *b_phrase10 = nullptr;
    ChatViewer *mainchat = nullptr;
    ChatEntry *mychat = nullptr;
    QToolButton *button_smilies = nullptr;
    QList<QPixmap> imagelist_smilies;

    // The viewer's context menu and the entry box's.
    QMenu *chatMenu = nullptr;
    QAction *selectAllAction = nullptr;
    QAction *copyAction = nullptr;
    QAction *clearMainChatPopupAction = nullptr;
    QAction *scrollChatOffPopupAction = nullptr;
    QMenu *entryMenu = nullptr;
    QAction *pasteAction = nullptr;
    // The smilies menu: codes 10 ... 27 (MenuItem1 ... MenuItem17, N271).
    QMenu *popup_smilies = nullptr;
    QList<QAction *> smilies;
    // Items of the window's Options menu that belong to the pane.
    QAction *scrollChatOffAction = nullptr;
    QAction *clearMainChatAction = nullptr;
    QMenu *textSizeMenu = nullptr;
    QAction *textSize8Action = nullptr;
    QAction *textSize10Action = nullptr;
    QAction *textSize12Action = nullptr;
    QAction *textSize14Action = nullptr;

    // Adds one coded line in a colour (00BBGGRR); a system line's colour is darkened as far as it
    // takes to read on the white pane. A code that is not a number raises EConvertError and adds
    // nothing.
    void addlinetochat(const QString &line, int colour);
    // A system line of the program's own whose last words are a link to `target`: "TEXT LINKTEXT".
    void addlinkline(const QString &text, const QString &linkText, const QString &target, int colour);
    // The style of a line code: 0 for system lines, code + 5 for players 1 to 9, 1 for code 10
    // and 2 for every other code (spies).
    static int styleforcode(int code);
    static bool islink(const QString &word);
    // The address a chat link opens: web addresses only.
    static QUrl linkaddress(const QString &target);

    // Handlers.
    void mainchatJump(const QString &target);
    void textSizeClicked(int size);
    void scrollChatOffClicked();
    void clearMainChatClicked();
    void selectAllClicked();
    void copyClicked();
    void pasteClicked();
    void button_smiliesClick();
    void smileyClicked(int code);

    // The chat text colour (00BBGGRR): the entry box's font colour, sent with every line.
    int textcolor() const { return chatcolour; }
    void settextcolor(int colour);
    // The font size of every text style; the pane takes it at its next layout unless `now`.
    int textsize() const;
    void settextsize(int size, bool now);
    bool scrolloff() const;

    // The window's parts: Enter in the entry box, and a setting that must be saved.
    std::function<void()> onSend;
    std::function<void()> onSettingsChanged;
    // A "quillet://" link was clicked: the program offers to join that game.
    std::function<void(const QString &)> onGameLink;
    // Platform seams for tests: opening an address, and a plain message box.
    std::function<bool(const QUrl &)> openUrl;
    std::function<void(const QString &)> showMessage;

signals:
    // A line is about to be written, with its colour.
    void lineAdded(const QString &line, int colour);

protected:
    void resizeEvent(QResizeEvent *e) override;

private:
    void addwords(const QString &text, int style);
    int chatcolour = 0;
};
