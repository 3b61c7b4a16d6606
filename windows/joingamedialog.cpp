#include "windows/joingamedialog.h"

#include "address/address.h"
#include "address/invitation.h"
#include "platform/config.h"
#include "protocol/playername.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

JoinGameDialog::JoinGameDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Quillet - Join a Game"));
    nameEdit = new QLineEdit;
    nameEdit->setMaxLength(playername::maxLength);
    addressEdit = new QLineEdit;
    // Far past the longest link: a longer paste is refused whole, never cut into a link that reads.
    addressEdit->setMaxLength(int(invitation::maxLength) * 8);
    addressEdit->setPlaceholderText(QStringLiteral("name or address, and :port if not ") +
                                    config::gamePort() + QStringLiteral("; or a quillet:// link"));
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Your name:"), nameEdit);
    form->addRow(QStringLiteral("Host address:"), addressEdit);

    gamesList = new QListWidget;
    gamesList->setMinimumHeight(140);
    listening = new QLabel;
    problem = new QLabel;
    problem->setStyleSheet(QStringLiteral("color: #800000"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    joinButton = buttons->addButton(QStringLiteral("Join"), QDialogButtonBox::AcceptRole);
    joinButton->setDefault(true);
    // Enter in a field means the dialog's own button, never Cancel.
    buttons->button(QDialogButtonBox::Cancel)->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(nameEdit, &QLineEdit::textChanged, this, &JoinGameDialog::check);
    connect(addressEdit, &QLineEdit::textChanged, this, &JoinGameDialog::check);
    // Whatever selects a game (click, arrow keys) puts its address in the field, so Join joins
    // the game that is shown as chosen; typing another address leaves the list.
    connect(gamesList, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem *item) { picked(item); });
    connect(gamesList, &QListWidget::itemClicked, this, &JoinGameDialog::picked);
    connect(addressEdit, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (gamesList->currentItem() &&
            gamesList->currentItem()->data(Qt::UserRole).toString() != text.trimmed())
            gamesList->setCurrentItem(nullptr);
    });
    connect(gamesList, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        picked(item);
        if (joinButton->isEnabled())
            accept();
    });
    connect(&listener, &GameListener::changed, this, &JoinGameDialog::refresh);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("Games on this network:")));
    layout->addWidget(gamesList);
    layout->addWidget(listening);
    layout->addWidget(problem);
    layout->addWidget(buttons);
    setMinimumWidth(420);
    check();
}

QString JoinGameDialog::name() const
{
    return nameEdit->text().trimmed();
}

QString JoinGameDialog::address() const
{
    const QString text = addressEdit->text().trimmed();
    if (addressEdit->text().size() > invitation::maxLength)
        return QString();
    if (!invitation::isLink(text))
        return text;
    // A link joins its host and port; one that does not read joins nothing.
    const invitation::Link l = readLink(text);
    return l.ok() ? l.host + QLatin1Char(':') + QString::number(l.port) : QString();
}

namespace {
// The port a link without one joins.
quint16 defaultPort()
{
    const uint port = config::gamePort().toUInt();
    return port >= 1 && port <= 65535 ? quint16(port) : quint16(7772);
}
} // namespace

invitation::Link JoinGameDialog::readLink(const QString &text)
{
    invitation::Link l = invitation::parse(text, defaultPort());
    // The game reaches its host by name or IPv4 address only.
    if (l.ok() && l.host.contains(QLatin1Char(':')))
        l = {{}, 0, QStringLiteral("This link names an IPv6 address, which the game cannot join yet.")};
    return l;
}

void JoinGameDialog::setName(const QString &name)
{
    nameEdit->setText(name);
}

void JoinGameDialog::setAddress(const QString &address)
{
    addressEdit->setText(address);
}

QString JoinGameDialog::describe(const announce::HeardGame &g)
{
    const announce::Announcement &a = g.game;
    QString text = a.name + QStringLiteral("'s game at ") + addressOf(g) + QStringLiteral(" - ") +
                   QString::number(a.seated) +
                   (a.seated == 1 ? QStringLiteral(" player") : QStringLiteral(" players"));
    if (a.spies > 0)
        text += QStringLiteral(", ") + QString::number(a.spies) +
                (a.spies == 1 ? QStringLiteral(" spy") : QStringLiteral(" spies"));
    text += a.running ? QStringLiteral(", playing") : QStringLiteral(", waiting to start");
    return text;
}

QString JoinGameDialog::addressOf(const announce::HeardGame &g)
{
    if (QString::number(g.game.port) == config::gamePort())
        return g.address;
    return g.address + QLatin1Char(':') + QString::number(g.game.port);
}

void JoinGameDialog::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    const bool on = listener.start();
    listening->setText(
        on ? QStringLiteral("Listening for games... a game shows here within a few seconds.")
           : QStringLiteral("Games on this network cannot be heard right now; type the address."));
    refresh();
}

void JoinGameDialog::hideEvent(QHideEvent *e)
{
    listener.stop();
    QDialog::hideEvent(e);
}

void JoinGameDialog::refresh()
{
    const QString current =
        gamesList->currentItem() ? gamesList->currentItem()->data(Qt::UserRole).toString() : QString();
    gamesList->clear();
    for (const announce::HeardGame &g : listener.list().games()) {
        auto *item = new QListWidgetItem(describe(g), gamesList);
        item->setData(Qt::UserRole, addressOf(g));
        if (item->data(Qt::UserRole).toString() == current)
            gamesList->setCurrentItem(item);
    }
}

void JoinGameDialog::picked(QListWidgetItem *item)
{
    if (item)
        addressEdit->setText(item->data(Qt::UserRole).toString());
}

void JoinGameDialog::check()
{
    const QString nameWhy = playername::problem(nameEdit->text());
    const QString typed = addressEdit->text();
    QString addressWhy;
    if (invitation::isLink(typed.trimmed()))
        addressWhy = readLink(typed).error; // refuses a link too long for the field whole
    else if (typed.size() > invitation::maxLength)
        addressWhy = QStringLiteral("The address is too long (%1 characters).").arg(typed.size());
    else
        addressWhy = address::check(typed, config::gamePort()).error;
    joinButton->setDefault(true);
    joinButton->setEnabled(nameWhy.isEmpty() && addressWhy.isEmpty());
    // No reproach for a field not yet filled in.
    QString shown = nameEdit->text().isEmpty() ? QString() : nameWhy;
    if (shown.isEmpty() && !addressEdit->text().isEmpty())
        shown = addressWhy;
    problem->setText(shown);
}
