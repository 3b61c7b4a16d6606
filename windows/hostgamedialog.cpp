#include "windows/hostgamedialog.h"

#include "protocol/playername.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

HostGameDialog::HostGameDialog(quint16 webPort, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Quillet - Host a Game"));
    nameEdit = new QLineEdit;
    nameEdit->setMaxLength(playername::maxLength);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Your name:"), nameEdit);

    auto *note = new QLabel(QStringLiteral("Players on this network will see your game with your name, the "
                                           "number of players and whether a game is on. Your current game "
                                           "ends."));
    note->setWordWrap(true);
    webPageBox = new QCheckBox(QStringLiteral("Let friends join from a web browser (port %1)").arg(webPort));
    webPageBox->setToolTip(
        QStringLiteral("Serves the game's page: a friend opens http://ADDRESS:%1/ in any "
                       "browser, a phone's included, and plays without installing Quillet.")
            .arg(webPort));
    webPageBox->setChecked(true);
    openRouterBox = new QCheckBox(QStringLiteral("Open my router for players outside this network"));
    openRouterBox->setToolTip(QStringLiteral("Asks your router (UPnP) to forward the game's port while you "
                                             "host, and removes the forwarding when you stop."));
    problem = new QLabel;
    problem->setStyleSheet(QStringLiteral("color: #800000"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    hostButton = buttons->addButton(QStringLiteral("Host"), QDialogButtonBox::AcceptRole);
    hostButton->setDefault(true);
    // Enter in a field means the dialog's own button, never Cancel.
    buttons->button(QDialogButtonBox::Cancel)->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(nameEdit, &QLineEdit::textChanged, this, &HostGameDialog::check);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(webPageBox);
    layout->addWidget(openRouterBox);
    layout->addWidget(problem);
    layout->addWidget(buttons);
    setMinimumWidth(360);
    check();
}

QString HostGameDialog::name() const
{
    return nameEdit->text().trimmed();
}

void HostGameDialog::setName(const QString &name)
{
    nameEdit->setText(name);
    check();
}

bool HostGameDialog::webPage() const
{
    return webPageBox->isChecked();
}

void HostGameDialog::setWebPage(bool on)
{
    webPageBox->setChecked(on);
}

bool HostGameDialog::openRouter() const
{
    return openRouterBox->isChecked();
}

void HostGameDialog::setOpenRouter(bool on)
{
    openRouterBox->setChecked(on);
}

void HostGameDialog::check()
{
    const QString why = playername::problem(nameEdit->text());
    hostButton->setDefault(true);
    hostButton->setEnabled(why.isEmpty());
    // No reproach for a field not yet filled in.
    problem->setText(nameEdit->text().isEmpty() ? QString() : why);
}
