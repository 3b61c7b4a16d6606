// The settings file and the main window's placement.
#include "client/tchat.h"

#include "client/chatpane.h"
#include "features/playersettings.h"
#include "features/windowplacement.h"
#include "platform/config.h"
#include "platform/errors.h"
#include "protocol/colortext.h"

#include <QAbstractButton>
#include <QAction>
#include <QColorDialog>
#include <QDir>
#include <QResizeEvent>
#include <QScreen>

namespace {

using tchatgeometry::minClientHeight;
using tchatgeometry::minClientWidth;

// The keys that saveinifile owns, as the window holds them, with the window at these bounds.
PlayerSettings windowSettings(PlayerSettings s, const QRect &bounds, const ChatPane &pane, int snapcount,
                              bool playsounds, bool chattersounds)
{
    s.setNumber(PlayerSettings::Top, bounds.top());
    s.setNumber(PlayerSettings::Left, bounds.left());
    s.setNumber(PlayerSettings::Width, bounds.width());
    s.setNumber(PlayerSettings::Height, bounds.height());
    s.setNumber(PlayerSettings::Textsize, pane.textsize());
    s.setNumber(PlayerSettings::Snapcount, snapcount);
    s.setNumber(PlayerSettings::Textcolor, pane.textcolor());
    s.setOn(PlayerSettings::Playsounds, playsounds);
    s.setOn(PlayerSettings::ChatterSounds, chattersounds);
    return s;
}

} // namespace

QString Tchat::settingsfile() const
{
    return QDir(config::dataDir()).filePath(QStringLiteral("orvanelobby.ini"));
}

void Tchat::loadinifile()
{
    PlayerSettings &s = playersettings;
    s.setNumber(PlayerSettings::Snapcount, snapcount); // kept when the file has none
    s.load(settingsfile());
    // The size fits the work area; the position is only kept within reach of int arithmetic:
    // "Reset Screen Location" brings a lost window back.
    const QRect placed = windowplacement::restored(
        s.number(PlayerSettings::Left), s.number(PlayerSettings::Top), s.number(PlayerSettings::Width),
        s.number(PlayerSettings::Height), screen() ? screen()->availableGeometry().size() : QSize());
    move(placed.topLeft());
    resize(placed.size());

    chatpane->settextsize(s.number(PlayerSettings::Textsize), true);
    snapcount = s.number(PlayerSettings::Snapcount);

    const int colour = s.number(PlayerSettings::Textcolor);
    chatpane->settextcolor(colour);
    if (ColorDialog)
        ColorDialog->setCurrentColor(colortext::toQColor(colour));

    // An empty key keeps the built-in phrase.
    for (int n = 1; n <= 9; ++n) {
        const QString phrase = s.text(PlayerSettings::phrase(n));
        if (!phrase.isEmpty())
            setphrase(n, phrase);
    }

    playergame->setplaysounds(s.isOn(PlayerSettings::Playsounds));
    playergame->setplaychattersounds(s.isOn(PlayerSettings::ChatterSounds));
    showsoundswitches();
    inifileread = true;
}

void Tchat::saveinifile()
{
    // Before the file has been read, the window's own defaults would overwrite what it holds.
    if (!inifileread)
        return;
    // The placement written here is not the saved one that saveplacement compares with.
    settingswritten(windowSettings(playersettings, QRect(x(), y(), width(), height()), *chatpane, snapcount,
                                   playergame->playsounds(), playergame->playchattersounds())
                        .save(settingsfile(), PlayerSettings::windowKeys));
}

void Tchat::settingswritten(bool ok)
{
    // Said once per run: a folder that cannot be written stays so until the player acts.
    if (ok || settingsfailurereported)
        return;
    settingsfailurereported = true;
    addlinetochat(QStringLiteral("0+Your settings could not be saved to ") +
                      QDir::toNativeSeparators(settingsfile()) + QLatin1Char('.'),
                  PlayerGame::systemcolour);
}

void Tchat::savesetting(PlayerSettings::Key key)
{
    if (inifileread) {
        saveinifile();
        return;
    }
    settingswritten(windowSettings(playersettings, QRect(), *chatpane, snapcount, playergame->playsounds(),
                                   playergame->playchattersounds())
                        .save(settingsfile(), {key}));
}

void Tchat::saveplacement()
{
    if (!inifileread)
        return;
    const PlayerSettings &saved = playersettings;
    if (y() == saved.number(PlayerSettings::Top) && x() == saved.number(PlayerSettings::Left) &&
        height() == saved.number(PlayerSettings::Height) && width() == saved.number(PlayerSettings::Width))
        return;
    // A window larger than the work area (a maximised one) is stored a little smaller, so that it
    // fits when it comes back as a normal window.
    int w = width(), h = height();
    if (const QScreen *s = screen()) {
        const QRect work = s->availableGeometry();
        if (w > work.width())
            w -= 15;
        if (h > work.height())
            h -= 15;
    }
    playersettings = windowSettings(playersettings, QRect(x(), y(), w, h), *chatpane, snapcount,
                                    playergame->playsounds(), playergame->playchattersounds());
    settingswritten(playersettings.save(settingsfile(), PlayerSettings::windowKeys));
}

void Tchat::resetScreenLocationClicked()
{
    // Saved when the window closes, since the geometry then differs from the saved one.
    showNormal();
    move(3, 3);
    resize(defaultwidth, defaultheight);
}

void Tchat::resizeEvent(QResizeEvent *e)
{
    QMainWindow::resizeEvent(e);
    guard([this] { FormResize(); });
}

void Tchat::FormResize()
{
    // The client area never gets smaller than the board and its border; the board stays centred
    // in a larger one.
    QWidget *client = centralWidget();
    if (!client)
        return;
    client->setMinimumSize(minClientWidth, minClientHeight);
    // The layout never lays the client out below its minimum, so the window's own size tells
    // what is really shown: a resize from outside (a window manager that ignores the size hints,
    // or none) can still make the window smaller than that.
    const int dw = std::max(0, minClientWidth - (width() - client->x()));
    const int dh = std::max(0, minClientHeight - (height() - client->y()));
    if ((dw || dh) && isVisible() && !isMaximized() && !isFullScreen())
        resize(width() + dw, height() + dh);
}
