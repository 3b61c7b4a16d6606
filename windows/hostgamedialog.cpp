#include "windows/hostgamedialog.h"

#include "host/phrasefile.h"
#include "protocol/playername.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
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
    // Phrases: the lists that come with the game, or the host's own file.
    builtinPhrases = new QRadioButton(QStringLiteral("Built-in lists"));
    ownPhrases = new QRadioButton(QStringLiteral("My own file..."));
    builtinPhrases->setChecked(true);
    auto *phraseChoice = new QButtonGroup(this);
    phraseChoice->addButton(builtinPhrases);
    phraseChoice->addButton(ownPhrases);
    phrasePath = new QLineEdit;
    phrasePath->setPlaceholderText(QStringLiteral("A text file: one phrase a line"));
    phrasePath->setMinimumWidth(280);
    choosePhrases = new QPushButton(QStringLiteral("Choose..."));
    choosePhrases->setAutoDefault(false);
    phraseProblem = new QLabel;
    phraseProblem->setWordWrap(true);
    phraseProblem->setStyleSheet(QStringLiteral("color: #800000"));
    phraseProblem->hide();
    auto *choices = new QHBoxLayout;
    choices->addWidget(builtinPhrases);
    choices->addWidget(ownPhrases);
    choices->addStretch();
    auto *file = new QHBoxLayout;
    file->addWidget(phrasePath);
    file->addWidget(choosePhrases);
    form->addRow(QStringLiteral("Phrases:"), choices);
    form->addRow(QString(), file);
    connect(ownPhrases, &QRadioButton::toggled, this, &HostGameDialog::checkPhrases);
    // A typed name is checked as it is typed, and stands for the own file.
    connect(phrasePath, &QLineEdit::textEdited, this, [this] {
        if (ownPhrases->isChecked())
            checkPhrases();
        else
            ownPhrases->setChecked(true);
    });
    connect(choosePhrases, &QPushButton::clicked, this, &HostGameDialog::chooseFile);

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
    layout->addWidget(phraseProblem);
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

QString HostGameDialog::phraseFile() const
{
    return ownPhrases->isChecked() ? phrasePath->text().trimmed() : QString();
}

void HostGameDialog::setPhraseFile(const QString &path)
{
    phrasePath->setText(path);
    (path.isEmpty() ? builtinPhrases : ownPhrases)->setChecked(true);
    checkPhrases();
}

void HostGameDialog::chooseFile()
{
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("Quillet - Phrases"), phrasePath->text(),
                                     QStringLiteral("Text files (*.txt);;All files (*)"));
    if (!path.isEmpty())
        setPhraseFile(path);
}

void HostGameDialog::checkPhrases()
{
    phrasesWhy.clear();
    if (ownPhrases->isChecked()) {
        const QString path = phrasePath->text().trimmed();
        phrasesWhy = path.isEmpty() ? QStringLiteral("Choose the file of your phrases.")
                                    : phrasefile::load(path).error;
    }
    check();
}

void HostGameDialog::check()
{
    const QString why = playername::problem(nameEdit->text());
    hostButton->setDefault(true);
    hostButton->setEnabled(why.isEmpty() && phrasesWhy.isEmpty());
    if (phraseProblem->text() != phrasesWhy) {
        phraseProblem->setText(phrasesWhy);
        phraseProblem->setVisible(!phrasesWhy.isEmpty());
        if (isVisible())
            adjustSize();
    }
    // No reproach for a field not yet filled in.
    problem->setText(nameEdit->text().isEmpty() ? QString() : why);
}
