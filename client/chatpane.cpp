#include "client/chatpane.h"

#include "address/invitation.h"
#include "client/core/playergame.h"
#include "platform/errors.h"
#include "protocol/colortext.h"
#include "protocol/numbers.h"
#include "widgets/chatviewer.h"
#include "widgets/contrast.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QToolButton>
#include <QUrl>

namespace {

constexpr int linkStyle = 4;
const QString smileyMark = QStringLiteral(":)#");

// What each smiley shows, by image index.
const char *const smileyNames[ChatPane::smileyCount] = {
    "smile",  "big grin", "wink",     "sad",      "tongue out", "surprised", "cool",  "angry", "laughing",
    "crying", "in love",  "blushing", "confused", "sleepy",     "kiss",      "devil", "angel", "thumbs up",
};

// The style sheet as the window is built: all Arial 10.
void designStyles(ChatViewer *v)
{
    const QColor windowText = QApplication::palette().color(QPalette::WindowText);
    const auto tc = [](int c) { return colortext::toQColor(c); };
    for (int i = 0; i < ChatViewer::styleCount; ++i) {
        ChatTextStyle s;
        s.size = 10;
        if (i == 0) {
            s.color = tc(colortext::clBlue);
        } else if (i == 1) {
            s.color = tc(colortext::clBlue);
            s.bold = true;
        } else if (i == 2) {
            s.color = tc(colortext::clNavy);
            s.bold = true;
        } else if (i == 3) {
            s.color = tc(colortext::clMaroon);
            s.italic = true;
        } else if (i == 4 || i == 5) {
            s.color = tc(colortext::clGreen);
            s.underline = true;
        } else if (i == 6 || i == 7) {
            s.color = tc(colortext::clSilver);
        } else {
            s.color = windowText;
        }
        v->setStyle(i, s);
    }
}

QToolButton *flatButton(QWidget *parent, const QString &picture, const QString &hint)
{
    auto *b = new QToolButton(parent);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    const QPixmap pm(picture);
    b->setIcon(QIcon(pm));
    b->setIconSize(pm.size());
    b->setToolTip(hint);
    return b;
}

} // namespace

// ---------------------------------------------------------------- entry box

void ChatEntry::keyPressEvent(QKeyEvent *e)
{
    if (text() == ChatPane::placeholder)
        clear();
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        if (onEnter)
            onEnter();
        e->accept();
        return;
    }
    if (e->matches(QKeySequence::Paste)) {
        if (onPaste)
            onPaste();
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void ChatEntry::contextMenuEvent(QContextMenuEvent *e)
{
    if (popup)
        popup->popup(e->globalPos());
    e->accept();
}

// ---------------------------------------------------------------- the pane

ChatPane::ChatPane(QWidget *parent) : QWidget(parent)
{
    for (int i = 0; i < smileyCount; ++i)
        imagelist_smilies.append(QPixmap(QStringLiteral(":/pictures/smiley%1.png").arg(i)));

    phraserow = new QWidget(this);
    b_phrase10 = flatButton(this, QStringLiteral(":/pictures/chatter.png"), QStringLiteral("Chatter Sounds"));
    b_phrase10->setObjectName(QStringLiteral("b_phrase10"));

    mainchat = new ChatViewer(this);
    mainchat->setObjectName(QStringLiteral("mainchat"));
    mainchat->setImages(imagelist_smilies);
    designStyles(mainchat);
    mainchat->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(mainchat, &ChatViewer::jump, this, [this](const QString &t) { guard([&] { mainchatJump(t); }); });

    mychat = new ChatEntry(this);
    mychat->setObjectName(QStringLiteral("mychat"));
    QFont entryFont(QStringLiteral("Arial"));
    entryFont.setPixelSize(13);
    mychat->setFont(entryFont);
    mychat->setText(placeholder);
    settextcolor(colortext::clMaroon);

    button_smilies =
        flatButton(this, QStringLiteral(":/pictures/button_smilies.png"), QStringLiteral("Smilies"));
    button_smilies->setObjectName(QStringLiteral("button_smilies"));
    connect(button_smilies, &QToolButton::clicked, this,
            [this] { guard([this] { button_smiliesClick(); }); });

    auto handler = [this](void (ChatPane::*fn)()) {
        return [this, fn] { guard([this, fn] { (this->*fn)(); }); };
    };

    // The viewer's context menu.
    chatMenu = new QMenu(this);
    selectAllAction = chatMenu->addAction(QStringLiteral("Select All"));
    copyAction = chatMenu->addAction(QStringLiteral("Copy"));
    copyAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    clearMainChatPopupAction = chatMenu->addAction(QStringLiteral("Clear Main Chat"));
    chatMenu->addSeparator();
    scrollChatOffPopupAction = chatMenu->addAction(QStringLiteral("Scroll Chat Off"));
    scrollChatOffPopupAction->setCheckable(true);
    connect(selectAllAction, &QAction::triggered, this, handler(&ChatPane::selectAllClicked));
    connect(copyAction, &QAction::triggered, this, handler(&ChatPane::copyClicked));
    connect(clearMainChatPopupAction, &QAction::triggered, this, handler(&ChatPane::clearMainChatClicked));
    // Qt ticks a checkable item before it reports the click; the handler does the toggling itself.
    auto toggler = [this](QAction *a) {
        connect(a, &QAction::triggered, this, [this, a] {
            a->setChecked(!a->isChecked());
            guard([this] { scrollChatOffClicked(); });
        });
    };
    toggler(scrollChatOffPopupAction);
    connect(mainchat, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { chatMenu->popup(mainchat->mapToGlobal(p)); });

    // The entry box's context menu.
    entryMenu = new QMenu(this);
    pasteAction = entryMenu->addAction(QStringLiteral("Paste"));
    pasteAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    connect(pasteAction, &QAction::triggered, this, handler(&ChatPane::pasteClicked));
    mychat->popup = entryMenu;
    mychat->onPaste = [this] { guard([this] { pasteClicked(); }); };
    mychat->onEnter = [this] {
        guard([this] {
            if (onSend)
                onSend();
        });
    };

    // The smilies menu: the picture, the code to type, and what it shows.
    popup_smilies = new QMenu(this);
    for (int i = 0; i < smileyCount; ++i) {
        const int code = 10 + i;
        QAction *a = popup_smilies->addAction(QIcon(imagelist_smilies[i]),
                                              smileyMark + QString::number(code) + QLatin1Char('\t') +
                                                  QLatin1String(smileyNames[i]));
        a->setData(code);
        a->setObjectName(i == smileyCount - 1 ? QStringLiteral("N271")
                                              : QStringLiteral("MenuItem%1").arg(i + 1));
        connect(a, &QAction::triggered, this, [this, code] { guard([this, code] { smileyClicked(code); }); });
        smilies.append(a);
    }

    // Items of the window's Options menu.
    scrollChatOffAction = new QAction(QStringLiteral("Scroll Chat Off"), this);
    scrollChatOffAction->setCheckable(true);
    scrollChatOffAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    toggler(scrollChatOffAction);
    clearMainChatAction = new QAction(QStringLiteral("Clear Main Chat"), this);
    connect(clearMainChatAction, &QAction::triggered, this, handler(&ChatPane::clearMainChatClicked));
    textSizeMenu = new QMenu(QStringLiteral("Text Size"), this);
    QAction **sizes[] = {&textSize8Action, &textSize10Action, &textSize12Action, &textSize14Action};
    for (int i = 0; i < 4; ++i) {
        const int size = 8 + 2 * i;
        QAction *a = textSizeMenu->addAction(QString::number(size));
        a->setCheckable(true);
        a->setObjectName(QStringLiteral("N%1").arg(size));
        connect(a, &QAction::triggered, this,
                [this, size] { guard([this, size] { textSizeClicked(size); }); });
        *sizes[i] = a;
    }
    textSize10Action->setChecked(true);

    resize(248, 311);
}

void ChatPane::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    const int w = width(), h = height();
    // The row holds the nine phrase buttons whole (the last ends at 223); the chatter button at
    // 222 lies over its last column.
    phraserow->setGeometry(0, 0, w - 25, 19);
    b_phrase10->setGeometry(w - 26, 0, 25, 19);
    b_phrase10->raise();
    mainchat->setGeometry(0, 21, w, h - 21 - 25);
    mychat->setGeometry(0, h - 23, w - 24, 23);
    button_smilies->setGeometry(w - 23, h - 23, 23, 23);
}

// ---------------------------------------------------------------- adding lines

int ChatPane::styleforcode(int code)
{
    if (code == 0)
        return 0;
    if (code >= 1 && code <= 9)
        return code + 5;
    return code == 10 ? 1 : 2;
}

bool ChatPane::islink(const QString &word)
{
    const QString lower = word.toLower();
    return lower.contains(QLatin1String("http://")) || lower.contains(QLatin1String("www.")) ||
           lower.startsWith(QLatin1String("quillet://"));
}

void ChatPane::addwords(const QString &text, int style)
{
    // Each word keeps its trailing blank; two blanks in a row give a word that is a lone blank.
    const QString all = text + QLatin1Char(' ');
    qsizetype from = 0;
    while (from < all.size()) {
        const qsizetype blank = all.indexOf(QLatin1Char(' '), from);
        const QString word = all.mid(from, blank - from + 1);
        from = blank + 1;
        if (islink(word))
            mainchat->addLink(word, word, linkStyle);
        else
            mainchat->addText(word, style);
    }
}

void ChatPane::addlinetochat(const QString &line, int colour)
{
    emit lineAdded(line, colour);
    const qsizetype plus = line.indexOf(QLatin1Char('+'));
    const int code = numbers::strToInt(plus < 0 ? QString() : line.left(plus));
    const int style = styleforcode(code);
    QString rest = line.mid(plus + 1);

    // The head runs to the first ":", unless that ":" begins a smiley or belongs to a web address:
    // "waves :)#12" and "likes http://x.org" have none, so the smiley and the link still show.
    QString head;
    const qsizetype colon = rest.indexOf(QLatin1Char(':'));
    const QStringView after = QStringView(rest).mid(colon, 3);
    if (colon >= 0 && after != smileyMark && after != QLatin1String("://")) {
        head = rest.left(colon + 1);
        rest = rest.mid(colon + 1);
    }
    // System lines stay readable on the white pane whatever colour they come in; a player's
    // lines keep the colour the player chose.
    const QColor shown = colortext::toQColor(colour);
    mainchat->setStyleColor(style, style == 0 ? contrast::legible(shown, Qt::white) : shown);
    mainchat->setStyleBold(style, true);
    // Network text goes in as plain text items: nothing in it is ever read as markup.
    mainchat->addText(head + QLatin1Char(' '), style, true);

    qsizetype mark;
    while ((mark = rest.indexOf(smileyMark)) >= 0) {
        const QString part = rest.left(mark);
        const QString code2 = rest.mid(mark + 3, 2);
        rest = rest.mid(mark + 5);
        addwords(part, style);
        int image = 0;
        if (code2.size() == 2 && code2[0].isDigit() && code2[1].isDigit() && code2[0].unicode() < 128 &&
            code2[1].unicode() < 128) {
            const int n = code2.toInt();
            if (n >= 10 && n <= 27)
                image = n - 10;
        }
        mainchat->addImage(image);
    }
    if (!rest.isEmpty())
        addwords(rest, style);

    // The pane keeps a bounded history: past the newest maxlines lines, the oldest go, a tenth
    // of the bound at a time so that a long chat does not shift the whole history every line.
    // Long lines are bounded by their characters the same way.
    if (mainchat->paragraphCount() > maxlines + maxlines / 10)
        mainchat->dropOldest(mainchat->paragraphCount() - maxlines);
    if (mainchat->characterCount() > maxchars + maxchars / 10) {
        int drop = 0;
        for (qint64 over = mainchat->characterCount() - maxchars;
             over > 0 && drop < mainchat->paragraphCount() - 1;)
            over -= mainchat->paragraphLength(drop++);
        mainchat->dropOldest(drop);
    }

    mainchat->format();
    if (!scrolloff())
        mainchat->scrollToEnd();
}

void ChatPane::addlinkline(const QString &text, const QString &linkText, const QString &target, int colour)
{
    emit lineAdded(QStringLiteral("0+") + text + QLatin1Char(' ') + linkText, colour);
    mainchat->setStyleColor(0, colortext::toQColor(colour));
    mainchat->setStyleBold(0, true);
    mainchat->addText(text + QLatin1Char(' '), 0, true);
    mainchat->addLink(linkText, target, linkStyle);
    mainchat->format();
    if (!scrolloff())
        mainchat->scrollToEnd();
}

// ---------------------------------------------------------------- links

QUrl ChatPane::linkaddress(const QString &target)
{
    const bool web = target.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
                     target.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
    const QUrl url(web ? target : QStringLiteral("http://") + target, QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
        url.host().isEmpty())
        return QUrl();
    return url;
}

void ChatPane::mainchatJump(const QString &target)
{
    QString t = target;
    while (t.endsWith(QLatin1Char(' ')))
        t.chop(1);
    // A game's invitation is the program's own business, never the web browser's.
    if (invitation::isLink(t)) {
        if (onGameLink)
            onGameLink(t);
        return;
    }
    const QUrl url = linkaddress(t);
    if (url.isEmpty()) {
        if (showMessage)
            showMessage(QStringLiteral("Cannot open Webpage"));
        else
            QMessageBox(QMessageBox::NoIcon, errorbox::title(), QStringLiteral("Cannot open Webpage"),
                        QMessageBox::Ok, window())
                .exec();
        return;
    }
    // A link no program takes is said in the pane, so the click is not met with nothing.
    const bool opened = openUrl ? openUrl(url) : QDesktopServices::openUrl(url);
    if (!opened)
        addlinetochat(QStringLiteral("0+No program could open ") + url.toString() + QLatin1Char('.'),
                      PlayerGame::systemcolour);
}

// ---------------------------------------------------------------- menus

int ChatPane::textsize() const
{
    return mainchat->style(0).size;
}

void ChatPane::settextsize(int size, bool now)
{
    mainchat->setTextSize(size);
    for (QAction *a : {textSize8Action, textSize10Action, textSize12Action, textSize14Action})
        a->setChecked(a->objectName() == QStringLiteral("N%1").arg(size));
    if (now)
        mainchat->format();
}

void ChatPane::textSizeClicked(int size)
{
    // Every line shown takes the new size at once.
    settextsize(size, true);
    if (onSettingsChanged)
        onSettingsChanged();
}

bool ChatPane::scrolloff() const
{
    return scrollChatOffAction->isChecked();
}

void ChatPane::scrollChatOffClicked()
{
    const bool on = !scrollChatOffAction->isChecked();
    scrollChatOffAction->setChecked(on);
    scrollChatOffPopupAction->setChecked(on);
}

void ChatPane::clearMainChatClicked()
{
    mainchat->clear();
    mainchat->format();
    mychat->setFocus();
}

void ChatPane::selectAllClicked()
{
    mainchat->selectAll();
}

void ChatPane::copyClicked()
{
    mainchat->copy();
}

void ChatPane::pasteClicked()
{
    const QString clip = QGuiApplication::clipboard()->text();
    if (!clip.isEmpty())
        mychat->setText(mychat->text() + clip);
    mychat->deselect();
    mychat->setCursorPosition(int(mychat->text().size()));
}

void ChatPane::button_smiliesClick()
{
    popup_smilies->popup(button_smilies->mapToGlobal(button_smilies->rect().bottomRight()));
}

void ChatPane::smileyClicked(int code)
{
    if (mychat->text() == placeholder)
        mychat->clear();
    mychat->setText(mychat->text() + smileyMark + QString::number(code));
    mychat->deselect();
    mychat->setCursorPosition(int(mychat->text().size()));
}

void ChatPane::settextcolor(int colour)
{
    chatcolour = colour;
    QPalette pal = mychat->palette();
    pal.setColor(QPalette::Text, colortext::toQColor(colour));
    mychat->setPalette(pal);
}
