#include "app/hostjoin.h"

#include "client/tchat.h"
#include "features/playersettings.h"
#include "platform/errors.h"
#include "protocol/playername.h"
#include "webserve/request.h"
#include "windows/hostgamedialog.h"
#include "windows/joingamedialog.h"

#include <QAction>
#include <QMessageBox>
#include <QPushButton>

const QString HostJoin::nameKey = PlayerSettings::name(PlayerSettings::LastName);
const QString HostJoin::addressKey = PlayerSettings::name(PlayerSettings::LastAddress);
const QString HostJoin::openRouterKey = PlayerSettings::name(PlayerSettings::OpenRouter);
const QString HostJoin::webPageKey = PlayerSettings::name(PlayerSettings::WebPage);

HostJoin::HostJoin(Tchat *chat) : chat(chat)
{
    connect(chat, &Tchat::hostGameRequested, this, &HostJoin::hostClicked);
    connect(chat, &Tchat::joinGameRequested, this, &HostJoin::joinClicked);
}

HostJoin::~HostJoin() = default;

PlayerSettings HostJoin::stored() const
{
    return PlayerSettings::read(chat->settingsfile());
}

QString HostJoin::lastName() const
{
    const QString last = stored().text(PlayerSettings::LastName);
    if (!last.isEmpty())
        return last.left(playername::maxLength);
    // The solo game's "You" is nobody's name.
    return chat->game()->startup().solo ? QString()
                                        : chat->game()->startup().name.left(playername::maxLength);
}

bool HostJoin::openRouterChosen() const
{
    return stored().isOn(PlayerSettings::OpenRouter);
}

bool HostJoin::webPageChosen() const
{
    return stored().isOn(PlayerSettings::WebPage);
}

void HostJoin::hostClicked()
{
    if (!hostDialog) {
        const quint16 webport = web::portFromEnvironment();
        hostDialog = new HostGameDialog(webport ? webport : web::defaultPort, chat);
        connect(hostDialog, &QDialog::accepted, this, [this] {
            guard([this] {
                PlayerSettings s;
                s.setOn(PlayerSettings::OpenRouter, hostDialog->openRouter());
                s.setOn(PlayerSettings::WebPage, hostDialog->webPage());
                s.setText(PlayerSettings::PhraseFile, hostDialog->phraseFile());
                chat->settingswritten(
                    s.save(chat->settingsfile(), {PlayerSettings::OpenRouter, PlayerSettings::WebPage,
                                                  PlayerSettings::PhraseFile}));
                choose({hostDialog->name(), QStringLiteral("127.0.0.1"), QStringLiteral("true")});
            });
        });
    }
    hostDialog->setName(lastName());
    hostDialog->setWebPage(webPageChosen());
    hostDialog->setOpenRouter(openRouterChosen());
    hostDialog->setPhraseFile(stored().text(PlayerSettings::PhraseFile));
    hostDialog->open();
}

void HostJoin::joinClicked()
{
    openJoinDialog(stored().text(PlayerSettings::LastAddress));
}

void HostJoin::openLink(const QString &link)
{
    openJoinDialog(link.trimmed());
}

void HostJoin::openJoinDialog(const QString &address)
{
    if (!joinDialog) {
        joinDialog = new JoinGameDialog(chat);
        connect(joinDialog, &QDialog::accepted, this, [this] {
            guard([this] { choose({joinDialog->name(), joinDialog->address(), QStringLiteral("join")}); });
        });
    }
    joinDialog->setName(lastName());
    joinDialog->setAddress(address);
    joinDialog->open();
}

void HostJoin::offerHostOrJoin()
{
    auto *box = new QMessageBox(QMessageBox::Question, errorbox::title(),
                                QStringLiteral("Play with others: host a game, or join one?"),
                                QMessageBox::Cancel, chat);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton *host = box->addButton(QStringLiteral("Host a Game..."), QMessageBox::AcceptRole);
    QPushButton *join = box->addButton(QStringLiteral("Join a Game..."), QMessageBox::AcceptRole);
    connect(host, &QPushButton::clicked, this, [this] { guard([this] { hostClicked(); }); });
    connect(join, &QPushButton::clicked, this, [this] { guard([this] { joinClicked(); }); });
    box->open();
}

void HostJoin::choose(const QStringList &params)
{
    PlayerSettings s;
    s.setText(PlayerSettings::LastName, params[0]);
    s.setText(PlayerSettings::LastAddress, params[1]);
    // A hosting copy's address is its own: the last one joined stays.
    const bool hosting = params[2] == QLatin1String("true");
    chat->settingswritten(
        hosting ? s.save(chat->settingsfile(), {PlayerSettings::LastName})
                : s.save(chat->settingsfile(), {PlayerSettings::LastName, PlayerSettings::LastAddress}));
    nextRole = params;
    chat->close();
}
