#include "app/windows.h"

#include "protocol/commands.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

Thelp::Thelp(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Quillet - Help File"));
    resize(557, 452);
}

Tabout::Tabout(QWidget *parent) : QWidget(parent, Qt::Tool)
{
    setWindowTitle(QStringLiteral("Quillet - About"));
    setFixedSize(202, 203);
    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(QStringLiteral("Quillet"), this);
    QFont f = title->font();
    f.setPointSize(18);
    f.setBold(true);
    f.setItalic(true);
    title->setFont(f);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    auto *credits = new QLabel(QStringLiteral("Orvane Software"), this);
    credits->setAlignment(Qt::AlignCenter);
    layout->addWidget(credits);
    auto *version = new QLabel(QStringLiteral("Version ") + cmd::versionText + QStringLiteral(".2"), this);
    version->setObjectName(QStringLiteral("version"));
    version->setAlignment(Qt::AlignCenter);
    layout->addWidget(version);
    auto *done = new QPushButton(QStringLiteral("Done"), this);
    connect(done, &QPushButton::clicked, this, &QWidget::hide);
    layout->addWidget(done);
}

Tdownload::Tdownload(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Download The Orvane Lobby"));
    resize(724, 500);
    auto *layout = new QVBoxLayout(this);
    auto *text = new QLabel(QStringLiteral("Play alone now, or get the lobby to play with others."), this);
    text->setAlignment(Qt::AlignCenter);
    layout->addWidget(text);
    auto *play = new QPushButton(QStringLiteral("Play Solo"), this);
    connect(play, &QPushButton::clicked, this, &QWidget::hide);
    layout->addWidget(play);
}
