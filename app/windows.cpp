#include "app/windows.h"

#include "protocol/commands.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
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
    setFixedSize(724, 500);
    setStyleSheet(
        QStringLiteral("QFrame#panel { background: white; border: 1px solid #c8b89a; border-radius: 6px; }"
                       "QLabel { color: #5a1e0a; }"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(6, 6, 6, 6);

    auto panel = [this](int w, int h) {
        auto *f = new QFrame(this);
        f->setObjectName(QStringLiteral("panel"));
        f->setFixedSize(w, h);
        auto *l = new QVBoxLayout(f);
        l->setContentsMargins(14, 14, 14, 14);
        return f;
    };
    auto text = [](QWidget *in, const QString &t, bool bold = false) {
        auto *label = new QLabel(t, in);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignCenter);
        if (bold) {
            QFont f = label->font();
            f.setBold(true);
            f.setPointSize(f.pointSize() + 4);
            label->setFont(f);
        }
        in->layout()->addWidget(label);
        return label;
    };

    QFrame *left = panel(450, 487);
    text(left, QStringLiteral("Quillet"), true);
    auto *picture = new QLabel(left);
    picture->setPixmap(QPixmap(QStringLiteral(":/pictures/winner1.png")));
    picture->setAlignment(Qt::AlignCenter);
    left->layout()->addWidget(picture);
    text(left,
         QStringLiteral("Download The Orvane Lobby Now to play this  and other exciting games online with "
                        "other players! "));
    row->addWidget(left);

    auto *column = new QVBoxLayout;
    QFrame *top = panel(257, 228);
    text(top,
         QStringLiteral("To proceed to the game without the ability to play against others click the button "
                        "below."));
    auto *solo = new QPushButton(QStringLiteral("Play Solo Game"), top);
    solo->setDefault(true);
    connect(solo, &QPushButton::clicked, this, &QWidget::hide);
    top->layout()->addWidget(solo);
    QLabel *note =
        text(top, QStringLiteral("Note: Even if you are playing offline, you will need to configure "
                                 "your FIREWALL to allow the game to access the internet components."));
    note->setStyleSheet(QStringLiteral("color: red;"));
    column->addWidget(top);
    QFrame *bottom = panel(257, 257);
    text(bottom,
         QStringLiteral("If you already have The Orvane Lobby and you wish to play with others then start "
                        "it, and it will start this game for you."));
    column->addWidget(bottom);
    row->addLayout(column);
}

void Tdownload::showEvent(QShowEvent *e)
{
    // Centred on the desktop, in front of the game.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QWidget::showEvent(e);
}
