#include "windows/downloadwindow.h"

#include "platform/config.h"
#include "platform/errors.h"
#include "widgets/flatpanel.h"
#include "windows/lobbyart.h"
#include "windows/lobbyplaces.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>

namespace {

FlatPanel *whitePanel(QWidget *parent, const QRect &at)
{
    auto *panel = new FlatPanel(parent);
    panel->setColors(Qt::white, QColor(0x8B, 0x5A, 0x2B));
    panel->setRadius(6);
    panel->setGeometry(at);
    return panel;
}

QLabel *textLabel(QWidget *parent, const QString &text, const QRect &at)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(at);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QStringLiteral("color: #5a1e0a;"));
    return label;
}

QLabel *statusLabel(QWidget *parent, const QRect &at)
{
    auto *label = new QLabel(parent);
    label->setGeometry(at);
    label->setAlignment(Qt::AlignCenter);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    label->setStyleSheet(QStringLiteral("color: rgb(96, 92, 141);")); // colour 9264224
    return label;
}

} // namespace

Tdownload::Tdownload(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Download The Orvane Lobby"));
    setFixedSize(724, 500);
    setStyleSheet(QStringLiteral("Tdownload { background: #E8DCC4; }"));
    setAttribute(Qt::WA_StyledBackground);

    FlatPanel *left = whitePanel(this, QRect(6, 6, 450, 487));
    auto *picture = new QLabel(left);
    picture->setGeometry(7, 7, 436, 360);
    // Drawn when the window first shows: most runs never show it.
    picture->setObjectName(QStringLiteral("closedPicture"));
    auto *closed = new QLabel(QStringLiteral("IS CLOSED"), picture);
    closed->setGeometry(lobbyart::signArea().adjusted(0, 26, 0, 0));
    closed->setAlignment(Qt::AlignCenter);
    QFont cf = closed->font();
    cf.setPointSize(20);
    cf.setBold(true);
    closed->setFont(cf);
    closed->setStyleSheet(QStringLiteral("color: red; background: transparent;"));
    textLabel(
        left,
        QStringLiteral("Download The Orvane Lobby Now to play this  and other exciting games online with "
                       "other players! "),
        QRect(14, 370, 422, 34));
    getbutton = new QPushButton(QStringLiteral("Download And Install The Orvane Lobby Now"), left);
    getbutton->setGeometry(20, 408, 290, 28);
    abortbutton = new QPushButton(QStringLiteral("Stop Download"), left);
    abortbutton->setGeometry(320, 408, 110, 28);
    infolabel = statusLabel(left, QRect(10, 440, 430, 18));
    infolabel->setObjectName(QStringLiteral("infolabel"));
    infolabel3 = statusLabel(left, QRect(10, 460, 430, 18));
    infolabel3->setObjectName(QStringLiteral("infolabel3"));
    infolabel2 = new QLabel(left);
    infolabel2->hide();
    setState(notStarted);

    FlatPanel *top = whitePanel(this, QRect(461, 6, 257, 228));
    textLabel(
        top,
        QStringLiteral("To proceed to the game without the ability to play against others click the button "
                       "below."),
        QRect(12, 14, 233, 64));
    playSoloButton = new QPushButton(QStringLiteral("Play Solo Game"), top);
    playSoloButton->setGeometry(53, 88, 150, 30);
    playSoloButton->setDefault(true);
    QLabel *note =
        textLabel(top,
                  QStringLiteral("Note: Even if you are playing offline, you will need to configure "
                                 "your FIREWALL to allow the game to access the internet components."),
                  QRect(12, 130, 233, 84));
    note->setStyleSheet(QStringLiteral("color: red;"));

    FlatPanel *bottom = whitePanel(this, QRect(461, 237, 257, 257));
    textLabel(
        bottom,
        QStringLiteral("If you already have The Orvane Lobby and you wish to play with others then click the "
                       "button below to close this game and open The Orvane Lobby."),
        QRect(12, 30, 233, 110));
    playWithOthersButton = new QPushButton(QStringLiteral("Play with Others"), bottom);
    playWithOthersButton->setGeometry(53, 160, 150, 30);

    installerGet = new HttpGet(this);
    installerGet->URL = lobbyplaces::installerUrl();
    if (!installerGet->URL.isEmpty())
        expectedDigest = lobbyplaces::installerDigest();
    if (!installerOffered()) {
        // Nothing is fetched that could not be checked before it runs.
        getbutton->setEnabled(false);
        abortbutton->setEnabled(false);
        infolabel->setText(QStringLiteral("No lobby installer is offered for this system."));
    }
    connect(installerGet, &HttpGet::headerData, this, [this] { headerData(); });
    connect(installerGet, &HttpGet::docBegin, this, [this] { docBegin(); });
    connect(installerGet, &HttpGet::docData, this, [this](qint64 n) { docData(n); });
    connect(installerGet, &HttpGet::done, this,
            [this](const HttpGet::Result &r) { guard([&] { downloadEnded(r); }); });

    connect(getbutton, &QPushButton::clicked, this, [this] { guard([this] { getbuttonClick(); }); });
    connect(abortbutton, &QPushButton::clicked, this, [this] { guard([this] { abortbuttonClick(); }); });
    connect(playSoloButton, &QPushButton::clicked, this, [this] { guard([this] { playSoloClicked(); }); });
    connect(playWithOthersButton, &QPushButton::clicked, this,
            [this] { guard([this] { playWithOthersClicked(); }); });
}

Tdownload::~Tdownload()
{
    // A download still running when the program ends is dropped with its temporary file; its end
    // must not come back to a window that is going away.
    installerGet->disconnect(this);
    installerGet->abort();
}

int Tdownload::state() const
{
    return infolabel->property("tag").toInt();
}

void Tdownload::setState(State s)
{
    infolabel->setProperty("tag", int(s));
}

void Tdownload::showEvent(QShowEvent *e)
{
    // Centred on the desktop, in front of the game.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    if (auto *picture = findChild<QLabel *>(QStringLiteral("closedPicture"));
        picture && picture->pixmap().isNull())
        picture->setPixmap(lobbyart::closedPicture());
    QWidget::showEvent(e);
}

void Tdownload::message(const QString &text, bool error)
{
    // Not modal: the solo game goes on behind the box.
    messageBox = new QMessageBox(error ? QMessageBox::Critical : QMessageBox::Information, errorbox::title(),
                                 text, QMessageBox::Ok, this);
    messageBox->setAttribute(Qt::WA_DeleteOnClose);
    messageBox->open();
}

void Tdownload::getbuttonClick()
{
    if (installerGet->running() || !installerOffered())
        return;
    const QString name = lobbyplaces::installerName(installerGet->URL);
    // The file comes first: when it can't be made, the error box shows and nothing else changes.
    auto target = std::make_unique<QSaveFile>(QDir(config::dataDir()).filePath(name));
    if (!target->open(QIODevice::WriteOnly))
        throw EError(QStringLiteral("Cannot create file \"") + target->fileName() + QStringLiteral("\". ") +
                     target->errorString());
    file = std::move(target);
    setState(downloading);
    infolabel2->setText(name);
    getbutton->setEnabled(false);
    abortbutton->setEnabled(true);
    infolabel->setText(QStringLiteral("Loading"));
    installerGet->get(file.get());
}

void Tdownload::downloadEnded(const HttpGet::Result &result)
{
    QString error;
    bool mismatch = false;
    if (result.ok() && installerGet->RcvdCount == 0) {
        // An empty answer (204, a body of nothing) is no installer.
        downloadFailed();
    } else if (result.ok() && installerGet->bodyDigest() != expectedDigest) {
        mismatch = true;
        downloadFailed();
    } else if (result.ok()) {
        if (file->commit())
            infolabel->setText(QStringLiteral("Received ") +
                               QString::number(QFileInfo(file->fileName()).size()) +
                               QStringLiteral(" bytes"));
        else
            error = QStringLiteral("Cannot write file \"") + file->fileName() + QStringLiteral("\". ") +
                    file->errorString();
    } else if (!result.writeError.isEmpty()) {
        error = QStringLiteral("Cannot write file \"") + file->fileName() + QStringLiteral("\". ") +
                result.writeError;
    } else {
        downloadFailed();
    }
    getbutton->setEnabled(true);
    abortbutton->setEnabled(false);
    const QString path = file->fileName();
    // An unfinished download leaves nothing behind: its temporary file goes with it.
    file.reset();
    if (!error.isEmpty())
        throw EError(error);
    if (mismatch)
        message(QStringLiteral("The download did not match the expected installer and was deleted."), true);
    else if (state() != failed)
        install(path);
}

void Tdownload::downloadFailed()
{
    // Both lines: the lower one may still name the file that was coming.
    infolabel->setText(QStringLiteral("Download Aborted"));
    infolabel3->setText(QStringLiteral("Download Aborted"));
    setState(failed);
}

void Tdownload::install(const QString &path)
{
    infolabel3->setText(QStringLiteral("Installing"));
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeUser);
    if (!QProcess::startDetached(
            path, {QStringLiteral("/SP-"), QStringLiteral("/silent"), QStringLiteral("/noicons")},
            QFileInfo(path).absolutePath())) {
        message(QStringLiteral("An Error has Occurred."), true);
        return;
    }
    emit closeGame();
}

void Tdownload::abortbuttonClick()
{
    // The texts first: the abort ends the download at once, and its end sets the final text.
    infolabel->setText(QStringLiteral("Download has been aborted."));
    setState(failed);
    infolabel3->setText(QStringLiteral("Download Aborted"));
    installerGet->abort();
}

void Tdownload::headerData()
{
    infolabel->setText(infolabel->text() + QLatin1Char('.'));
}

void Tdownload::docBegin()
{
    infolabel3->setText(QStringLiteral("Downloading: ") + infolabel2->text());
}

void Tdownload::docData(qint64 rcvd)
{
    infolabel->setText(QString::number(rcvd) + QStringLiteral(" bytes"));
}

void Tdownload::playSoloClicked()
{
    close();
}

void Tdownload::playWithOthersClicked()
{
    const QString lobby = lobbyplaces::lobbyProgram();
    if (!QFileInfo(lobby).isFile()) {
        message(QStringLiteral(
                    "The Orvane Lobby is not installed on this computer. You can play with others without "
                    "it: File / Host a Game... starts a game that friends can join, and File / Join a "
                    "Game... joins a game on this network or at the address a friend gives you."),
                false);
        connect(messageBox, &QMessageBox::finished, this, &Tdownload::lobbyMissing);
        return;
    }
    // Only close the game when the lobby really started: otherwise the player would be left with
    // neither.
    if (!QProcess::startDetached(lobby, {})) {
        message(QStringLiteral("An Error has Occurred."), true);
        return;
    }
    emit closeGame();
}
