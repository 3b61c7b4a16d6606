#include "features/playersettings.h"

#include "features/ini.h"
#include "platform/errors.h"
#include "protocol/colortext.h"

namespace {

const QString section = QStringLiteral("Quillet");

using K = PlayerSettings::Kind;

// In the order of PlayerSettings::Key.
constexpr std::array<PlayerSettings::Entry, PlayerSettings::keyCount> table{{
    {"Top", K::Number, 3, false},
    {"Left", K::Number, 3, false},
    {"Width", K::Number, 797, false},
    {"Height", K::Number, 590, false},
    {"Textsize", K::Number, 8, false},
    // The snapshots' count only grows: a file without it must not number them from 0 again.
    {"Snapcount", K::Number, 0, true},
    {"Textcolor", K::Colour, colortext::clMaroon, false},
    {"Playsounds", K::TrueFalse, 1, false},
    {"ChatterSounds", K::TrueFalse, 1, false},
    {"Phrase1", K::Text, 0, false},
    {"Phrase2", K::Text, 0, false},
    {"Phrase3", K::Text, 0, false},
    {"Phrase4", K::Text, 0, false},
    {"Phrase5", K::Text, 0, false},
    {"Phrase6", K::Text, 0, false},
    {"Phrase7", K::Text, 0, false},
    {"Phrase8", K::Text, 0, false},
    {"Phrase9", K::Text, 0, false},
    {"LastName", K::Text, 0, false},
    {"LastAddress", K::Text, 0, false},
    // Browsers may join a hosted game at its web port.
    {"WebPage", K::OneZero, 1, false},
    {"OpenRouter", K::OneZero, 0, false},
    {"PhraseFile", K::Text, 0, false},
    {"LetterHints", K::OneZero, 0, false},
}};

bool isSwitch(K kind)
{
    return kind == K::TrueFalse || kind == K::OneZero;
}

} // namespace

const PlayerSettings::Entry &PlayerSettings::entry(Key key)
{
    return table[key];
}

QString PlayerSettings::name(Key key)
{
    return QLatin1String(table[key].name);
}

std::optional<PlayerSettings::Key> PlayerSettings::find(const QString &name)
{
    for (int k = 0; k < keyCount; ++k) {
        if (name == QLatin1String(table[k].name))
            return Key(k);
    }
    return std::nullopt;
}

PlayerSettings::Key PlayerSettings::phrase(int n)
{
    Q_ASSERT(n >= 1 && n <= 9);
    return Key(Phrase1 + n - 1);
}

PlayerSettings::PlayerSettings()
{
    for (int k = 0; k < keyCount; ++k)
        numbers[k] = table[k].fallback;
}

int PlayerSettings::number(Key key) const
{
    Q_ASSERT(table[key].kind == K::Number || table[key].kind == K::Colour);
    return numbers[key];
}

void PlayerSettings::setNumber(Key key, int value)
{
    Q_ASSERT(table[key].kind == K::Number || table[key].kind == K::Colour);
    numbers[key] = value;
}

bool PlayerSettings::isOn(Key key) const
{
    Q_ASSERT(isSwitch(table[key].kind));
    return numbers[key] != 0;
}

void PlayerSettings::setOn(Key key, bool on)
{
    Q_ASSERT(isSwitch(table[key].kind));
    numbers[key] = on ? 1 : 0;
}

QString PlayerSettings::text(Key key) const
{
    Q_ASSERT(table[key].kind == K::Text);
    return texts[key];
}

void PlayerSettings::setText(Key key, const QString &value)
{
    Q_ASSERT(table[key].kind == K::Text);
    texts[key] = value;
}

void PlayerSettings::load(const QString &path)
{
    const IniFile f(path);
    for (int k = 0; k < keyCount; ++k) {
        const Entry &e = table[k];
        const QString key = QLatin1String(e.name);
        const int fallback = e.keepsHeld ? numbers[k] : e.fallback;
        switch (e.kind) {
        case K::Number:
            numbers[k] = f.readInteger(section, key, fallback);
            break;
        case K::Colour:
            try {
                numbers[k] = colortext::fromText(f.readString(section, key, colortext::toText(fallback)));
            } catch (const EConvertError &) {
                numbers[k] = fallback;
            }
            break;
        case K::TrueFalse:
        case K::OneZero: {
            // Only the two texts written count; anything else is the default (so "False" leaves
            // a switch that is on by default on).
            const QString value = f.readString(section, key);
            const bool trueFalse = e.kind == K::TrueFalse;
            if (value == QLatin1String(trueFalse ? "true" : "1"))
                numbers[k] = 1;
            else if (value == QLatin1String(trueFalse ? "false" : "0"))
                numbers[k] = 0;
            else
                numbers[k] = fallback;
            break;
        }
        case K::Text:
            texts[k] = f.readString(section, key);
            break;
        }
    }
}

PlayerSettings PlayerSettings::read(const QString &path)
{
    PlayerSettings s;
    s.load(path);
    return s;
}

bool PlayerSettings::save(const QString &path, std::span<const Key> keys) const
{
    IniFile f(path);
    for (const Key k : keys) {
        const QString key = QLatin1String(table[k].name);
        switch (table[k].kind) {
        case K::Number:
            f.writeInteger(section, key, numbers[k]);
            break;
        case K::Colour:
            f.writeString(section, key, colortext::toText(numbers[k]));
            break;
        case K::TrueFalse:
            f.writeString(section, key, numbers[k] ? QStringLiteral("true") : QStringLiteral("false"));
            break;
        case K::OneZero:
            f.writeString(section, key, numbers[k] ? QStringLiteral("1") : QStringLiteral("0"));
            break;
        case K::Text:
            f.writeString(section, key, texts[k]);
            break;
        }
    }
    return f.save();
}
