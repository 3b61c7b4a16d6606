#include "app/hostjoin.h"

#include "app/hostgamedialog.h"
#include "app/joingamedialog.h"
#include "client/tchat.h"
#include "features/ini.h"
#include "protocol/errors.h"

#include <QAction>
#include <QMessageBox>
#include <QPushButton>

const QString HostJoin::nameKey = QStringLiteral("LastName");
const QString HostJoin::addressKey = QStringLiteral("LastAddress");
const QString HostJoin::openRouterKey = QStringLiteral("OpenRouter");

namespace {
const QString section = QStringLiteral("Quillet");
}

namespace hostjoin {
QString nameProblem(const QString &name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return QStringLiteral("Type your name.");
    if (trimmed.size() > maxName)
        return QStringLiteral("A name has %1 characters at most.").arg(maxName);
    for (QChar c : trimmed) {
        if (c == QLatin1Char('+') || c == QChar(0xFF) || !c.isPrint())
            return QStringLiteral("A name can't hold \"+\", \"%1\" or control characters.").arg(QChar(0xFF));
    }
    return {};
}
} // namespace hostjoin

HostJoin::HostJoin(Tchat *chat) : chat(chat)
{
    connect(chat, &Tchat::hostGameRequested, this, &HostJoin::hostClicked);
    connect(chat, &Tchat::joinGameRequested, this, &HostJoin::joinClicked);
}

HostJoin::~HostJoin() = default;

QString HostJoin::setting(const QString &key) const
{
    return IniFile(chat->settingsfile()).readString(section, key);
}

QString HostJoin::lastName() const
{
    const QString last = setting(nameKey);
    if (!last.isEmpty())
        return last.left(hostjoin::maxName);
    // The solo game's "You" is nobody's name.
    return chat->game()->sologame ? QString() : chat->game()->playername.left(hostjoin::maxName);
}

bool HostJoin::openRouterChosen() const
{
    return setting(openRouterKey) == QLatin1String("1");
}

void HostJoin::hostClicked()
{
    if (!hostDialog) {
        hostDialog = new HostGameDialog(chat);
        connect(hostDialog, &QDialog::accepted, this, [this] {
            guard([this] {
                IniFile f(chat->settingsfile());
                f.writeString(section, openRouterKey,
                              hostDialog->openRouter() ? QStringLiteral("1") : QStringLiteral("0"));
                chat->settingswritten(f.save());
                choose({hostDialog->name(), QStringLiteral("127.0.0.1"), QStringLiteral("true")});
            });
        });
    }
    hostDialog->setName(lastName());
    hostDialog->setOpenRouter(openRouterChosen());
    hostDialog->open();
}

void HostJoin::joinClicked()
{
    openJoinDialog(setting(addressKey));
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
    IniFile f(chat->settingsfile());
    f.writeString(section, nameKey, params[0]);
    if (params[2] != QLatin1String("true"))
        f.writeString(section, addressKey, params[1]);
    chat->settingswritten(f.save());
    nextRole = params;
    chat->close();
}
