#include "features/tgamestartform.h"

Tgamestartform::Tgamestartform(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Quillet - Start Game"));
    resize(240, 129);
}
