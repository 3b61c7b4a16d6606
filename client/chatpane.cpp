#include "client/chatpane.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

ChatPane::ChatPane(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    view = new QPlainTextEdit(this);
    view->setReadOnly(true);
    layout->addWidget(view);
}

void ChatPane::addlinetochat(const QString &line, int)
{
    // Plain lines until the rich viewer takes over: the text after the line code.
    const qsizetype plus = line.indexOf(QLatin1Char('+'));
    view->appendPlainText(plus >= 0 ? line.mid(plus + 1) : line);
}
