// The settings file and the main window's placement.
#include "client/tchat.h"

#include "client/chatpane.h"
#include "features/ini.h"
#include "features/windowplacement.h"
#include "protocol/colortext.h"
#include "protocol/config.h"
#include "protocol/errors.h"

#include <QAbstractButton>
#include <QAction>
#include <QColorDialog>
#include <QDir>
#include <QResizeEvent>
#include <QScreen>

namespace {

const QString section = QStringLiteral("Quillet");
constexpr int minClientWidth = 792;  // the board's width plus 3
constexpr int minClientHeight = 545; // the board's height plus 3

// Writes the keys that saveinifile owns, with the window at these bounds.
bool writeSettings(const QString &path, const QRect &bounds, int textsize, int snapcount, int textcolor,
                   bool playsounds, bool chattersounds)
{
    IniFile f(path);
    f.writeInteger(section, QStringLiteral("Top"), bounds.top());
    f.writeInteger(section, QStringLiteral("Left"), bounds.left());
    f.writeInteger(section, QStringLiteral("Width"), bounds.width());
    f.writeInteger(section, QStringLiteral("Height"), bounds.height());
    f.writeInteger(section, QStringLiteral("Textsize"), textsize);
    f.writeInteger(section, QStringLiteral("Snapcount"), snapcount);
    f.writeString(section, QStringLiteral("Textcolor"), colortext::toText(textcolor));
    const auto flag = [](bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); };
    f.writeString(section, QStringLiteral("Playsounds"), flag(playsounds));
    f.writeString(section, QStringLiteral("ChatterSounds"), flag(chattersounds));
    return f.save();
}

} // namespace

QString Tchat::settingsfile() const
{
    return QDir(config::dataDir()).filePath(QStringLiteral("orvanelobby.ini"));
}

void Tchat::loadinifile()
{
    const IniFile f(settingsfile());
    savedtop = f.readInteger(section, QStringLiteral("Top"), 3);
    savedleft = f.readInteger(section, QStringLiteral("Left"), 3);
    savedwidth = f.readInteger(section, QStringLiteral("Width"), defaultwidth);
    savedheight = f.readInteger(section, QStringLiteral("Height"), defaultheight);
    // The size fits the work area; the position is only kept within reach of int arithmetic:
    // "Reset Screen Location" brings a lost window back.
    const QRect placed = windowplacement::restored(savedleft, savedtop, savedwidth, savedheight,
                                                   screen() ? screen()->availableGeometry().size() : QSize());
    move(placed.topLeft());
    resize(placed.size());

    chatpane->settextsize(f.readInteger(section, QStringLiteral("Textsize"), 8), true);
    snapcount = f.readInteger(section, QStringLiteral("Snapcount"), snapcount);

    int colour = colortext::clMaroon;
    try {
        colour = colortext::fromText(
            f.readString(section, QStringLiteral("Textcolor"), QStringLiteral("clmaroon")));
    } catch (const EConvertError &) {
        colour = colortext::clMaroon;
    }
    chatpane->settextcolor(colour);
    if (ColorDialog)
        ColorDialog->setCurrentColor(colortext::toQColor(colour));

    // An empty key keeps the built-in phrase.
    for (int n = 1; n <= 9; ++n) {
        const QString phrase = f.readString(section, QStringLiteral("Phrase%1").arg(n));
        if (!phrase.isEmpty())
            setphrase(n, phrase);
    }

    // Off only for the exact text "false".
    playSoundsAction->setChecked(f.readString(section, QStringLiteral("Playsounds"),
                                              QStringLiteral("true")) != QLatin1String("false"));
    playChatterSoundsAction->setChecked(f.readString(section, QStringLiteral("ChatterSounds"),
                                                     QStringLiteral("true")) != QLatin1String("false"));
    inifileread = true;
}

void Tchat::saveinifile()
{
    // Before the file has been read, the window's own defaults would overwrite what it holds.
    if (!inifileread)
        return;
    settingswritten(writeSettings(settingsfile(), QRect(x(), y(), width(), height()), chatpane->textsize(),
                                  snapcount, chatpane->textcolor(), playSoundsAction->isChecked(),
                                  playChatterSoundsAction->isChecked()));
}

void Tchat::settingswritten(bool ok)
{
    // Said once per run: a folder that cannot be written stays so until the player acts.
    if (ok || settingsfailurereported)
        return;
    settingsfailurereported = true;
    addlinetochat(QStringLiteral("0+Your settings could not be saved to ") +
                      QDir::toNativeSeparators(settingsfile()) + QLatin1Char('.'),
                  systemcolour);
}

void Tchat::savesetting(const QString &key)
{
    if (inifileread) {
        saveinifile();
        return;
    }
    const auto flag = [](bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); };
    IniFile f(settingsfile());
    if (key == QLatin1String("Textsize"))
        f.writeInteger(section, key, chatpane->textsize());
    else if (key == QLatin1String("Textcolor"))
        f.writeString(section, key, colortext::toText(chatpane->textcolor()));
    else if (key == QLatin1String("Playsounds"))
        f.writeString(section, key, flag(playSoundsAction->isChecked()));
    else if (key == QLatin1String("ChatterSounds"))
        f.writeString(section, key, flag(playChatterSoundsAction->isChecked()));
    settingswritten(f.save());
}

void Tchat::saveplacement()
{
    if (!inifileread)
        return;
    if (y() == savedtop && x() == savedleft && height() == savedheight && width() == savedwidth)
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
    savedleft = x();
    savedtop = y();
    savedwidth = w;
    savedheight = h;
    settingswritten(writeSettings(settingsfile(), QRect(savedleft, savedtop, savedwidth, savedheight),
                                  chatpane->textsize(), snapcount, chatpane->textcolor(),
                                  playSoundsAction->isChecked(), playChatterSoundsAction->isChecked()));
}

void Tchat::resetScreenLocationClicked()
{
    // Saved when the window closes, since the geometry then differs from the saved one.
    showNormal();
    move(3, 3);
    resize(797, 590);
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
