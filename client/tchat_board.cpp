// The drawing board on the main window: the drawer's strokes, the relayed strokes, and the
// player's other actions on the game: answers, categories, pass and the game start.
#include "client/tchat.h"

#include "board/drawingboard.h"
#include "client/core/strokesender.h"
#include "platform/errors.h"
#include "protocol/colortext.h"
#include "protocol/numbers.h"
#include "widgets/colorbutton.h"
#include "widgets/updown.h"
#include "windows/tgamestartform.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QShortcut>
#include <QToolButton>

namespace {

// Hands the keys typed into a field to a handler that may use them up.
class KeyPressFilter : public QObject
{
public:
    KeyPressFilter(QObject *parent, std::function<bool(int key)> handler)
        : QObject(parent), onKey(std::move(handler))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto *k = static_cast<QKeyEvent *>(event);
            const int key = (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) ? 13 : k->key();
            bool used = false;
            guard([&] { used = onKey(key); });
            if (used)
                return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<bool(int)> onKey;
};

} // namespace

void Tchat::buildBoardControls()
{
    image_main->onMouseDown = [this](Qt::MouseButton b, Qt::MouseButtons held, int x, int y) {
        guard([&] { image_mainMouseDown(b, held, x, y); });
    };
    image_main->onMouseMove = [this](Qt::MouseButtons held, int x, int y) {
        guard([&] { image_mainMouseMove(held, x, y); });
    };
    image_main->onMouseUp = [this](Qt::MouseButton b, Qt::MouseButtons held, int x, int y) {
        guard([&] { image_mainMouseUp(b, held, x, y); });
    };
    strokesender = new StrokeSender(*playergame, this);
    strokesender->setObjectName(QStringLiteral("strokesender"));
    strokesender->pen = [this] { return StrokeSender::Pen{pencolour(), penw->text()}; };

    brushWidthArrows->setRange(0, 100);
    brushWidthArrows->setIncrement(1);
    brushWidthArrows->setWrap(false);
    brushWidthArrows->setAssociate(penw);
    brushWidthArrows->setPosition(3);
    connect(clear, &QToolButton::clicked, this, [this] { guard([this] { clearClick(); }); });
    connect(undoButton, &QToolButton::clicked, this, [this] { guard([this] { undoClick(); }); });
    // Choosing a colour leaves the eraser.
    connect(ColorButton, &::ColorButton::picked, eraserButton, [this] { eraserButton->setChecked(false); });
    // The keys act while the window has the focus, except where a text field has a use of its
    // own for them (Ctrl+Z in the chat entry): pressing on the board takes the focus there.
    auto *undoKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this);
    connect(undoKey, &QShortcut::activated, this, [this] { guard([this] { undoClick(); }); });
    auto *eraserKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_E), this);
    connect(eraserKey, &QShortcut::activated, this, [this] {
        if (playergame->controls().toolbar)
            eraserButton->toggle();
    });

    // The seven category buttons act as one group: the pressed one stays down.
    categorygroup = new QButtonGroup(this);
    categorygroup->setExclusive(false);
    for (int tag = 0; tag < int(button_cat.size()); ++tag) {
        QAbstractButton *b = button_cat[tag];
        b->setCheckable(true);
        b->setProperty("Tag", tag);
        categorygroup->addButton(b, tag);
    }
    connect(categorygroup, &QButtonGroup::buttonClicked, this,
            [this](QAbstractButton *b) { guard([&] { categoryClicked(b); }); });

    edit_answer->installEventFilter(
        new KeyPressFilter(this, [this](int key) { return edit_answerKeyPress(key); }));
    connect(button_pass, &QAbstractButton::clicked, this, [this] { guard([this] { button_passClick(); }); });
    connect(button_start, &QAbstractButton::clicked, this,
            [this] { guard([this] { button_startClick(); }); });
}

// ---- The drawer's input on the drawing area ----

void Tchat::image_mainMouseDown(Qt::MouseButton, Qt::MouseButtons, int x, int y)
{
    if (const std::optional<int> width = strokesender->press(QPoint(x, y))) {
        image_main->penDown(QPoint(x, y), colortext::toQColor(pencolour()), *width);
        image_main->setFocus(Qt::MouseFocusReason);
    }
}

void Tchat::image_mainMouseMove(Qt::MouseButtons held, int x, int y)
{
    if (strokesender->move(held & Qt::LeftButton, QPoint(x, y)))
        image_main->penTo(QPoint(x, y));
}

void Tchat::image_mainMouseUp(Qt::MouseButton, Qt::MouseButtons, int, int)
{
    strokesender->release();
}

void Tchat::clearClick()
{
    if (playergame->wipeit())
        strokesender->forget();
}

void Tchat::undoClick()
{
    if (strokesender->undo())
        redrawownstrokes();
}

void Tchat::redrawownstrokes()
{
    image_main->wipe();
    for (const StrokeHistory::Stroke &s : strokesender->strokes().strokes()) {
        image_main->penDown(s.start, colortext::toQColor(s.colour), numbers::strToIntDef(s.width, 0));
        for (const StrokeHistory::Run &r : s.runs)
            image_main->penThrough(colortext::toQColor(r.colour), numbers::strToIntDef(r.width, 0),
                                   r.points.constData(), r.points.size());
    }
}

int Tchat::pencolour() const
{
    return eraserButton->isChecked() ? colortext::clWhite : ColorButton->colour();
}

void Tchat::resetbrush()
{
    ColorButton->setColour(colortext::clBlack);
    eraserButton->setChecked(false);
    penw->setText(QStringLiteral("3"));
}

// ---- Answers, categories and pass ----

bool Tchat::edit_answerKeyPress(int key)
{
    if (key != 13)
        return false;
    playergame->answerit(edit_answer->text());
    edit_answer->clear();
    return true;
}

void Tchat::categoryClicked(QAbstractButton *sender)
{
    if (!playergame->pickit(sender->property("Tag").toInt())) {
        // The press brought the others up; the pressed one comes up as well.
        releasecategories();
        return;
    }
    // The pressed button stays down; the others come up.
    for (QAbstractButton *b : button_cat)
        b->setChecked(b == sender);
}

void Tchat::releasecategories()
{
    for (QAbstractButton *b : button_cat)
        b->setChecked(false);
}

void Tchat::button_passClick()
{
    playergame->passit();
}

// ---- Game start ----

void Tchat::startGameMenuClicked()
{
    // The menu item behaves as a click on the button, even while the button is hidden.
    button_startClick();
}

void Tchat::button_startClick()
{
    if (!playergame->controls().startform) {
        QMessageBox box(QMessageBox::NoIcon, errorbox::title(), QStringLiteral("You are not connected"),
                        QMessageBox::Ok, this);
        box.exec();
        return;
    }
    if (!with.gamestartform)
        return;
    with.gamestartform->startgame = [this](bool team, int playto, int seconds, bool hints) {
        playergame->startgame(team, playto, seconds, hints);
    };
    with.gamestartform->showOver(this);
    playergame->startformshown();
}
