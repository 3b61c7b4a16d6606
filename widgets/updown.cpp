#include "widgets/updown.h"

#include "protocol/numbers.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

UpDown::UpDown(QWidget *parent) : QWidget(parent)
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    up = new QToolButton(this);
    up->setArrowType(Qt::UpArrow);
    down = new QToolButton(this);
    down->setArrowType(Qt::DownArrow);
    for (QToolButton *b : {up, down}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        column->addWidget(b);
    }
    connect(up, &QToolButton::clicked, this, &UpDown::stepUp);
    connect(down, &QToolButton::clicked, this, &UpDown::stepDown);
    // Not a fixed width: a zoomed board gives the arrows room as wide as it scales them to.
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void UpDown::setAssociate(QLineEdit *edit)
{
    if (buddy)
        buddy->removeEventFilter(this);
    buddy = edit;
    if (buddy) {
        buddy->installEventFilter(this);
        setPosition(Position);
    }
}

void UpDown::setRange(int minimum, int maximum)
{
    Min = minimum;
    Max = maximum;
    setPosition(Position);
}

void UpDown::setPosition(int value)
{
    Position = qBound(Min, value, Max);
    if (buddy)
        buddy->setText(QString::number(Position));
}

int UpDown::position() const
{
    if (buddy) {
        const auto typed = numbers::tryStrToInt(buddy->text());
        if (typed && *typed >= Min && *typed <= Max)
            return *typed;
    }
    return Position;
}

void UpDown::step(int direction)
{
    const int from = position();
    // 64-bit sum: a step never overflows near the ends of the int range.
    qint64 to = qint64(from) + qint64(direction) * Increment;
    if (to > Max)
        to = Wrap ? Min : Max;
    else if (to < Min)
        to = Wrap ? Max : Min;
    setPosition(int(to));
    if (Position != from)
        emit changed(Position);
}

bool UpDown::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == buddy && event->type() == QEvent::KeyPress && isEnabled()) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up) {
            stepUp();
            return true;
        }
        if (key == Qt::Key_Down) {
            stepDown();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
