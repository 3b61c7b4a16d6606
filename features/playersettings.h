#pragma once

#include <QString>
#include <array>
#include <initializer_list>
#include <optional>
#include <span>

// The player's settings file (section "Quillet"): every key it keeps, with its default and the way
// its value is written, and a set of values read from it or to be written to it. Saving writes only
// the keys named, in the order named; every other byte of the file stays as it was.
class PlayerSettings
{
public:
    enum Key {
        // The main window's placement, its chat text and its switches.
        Top,
        Left,
        Width,
        Height,
        Textsize,
        Snapcount,
        Textcolor,
        Playsounds,
        ChatterSounds,
        // The phrase buttons'; an empty value leaves the button's own phrase.
        Phrase1,
        Phrase2,
        Phrase3,
        Phrase4,
        Phrase5,
        Phrase6,
        Phrase7,
        Phrase8,
        Phrase9,
        // The last choice in the host and join dialogs.
        LastName,
        LastAddress,
        WebPage,
        OpenRouter,
        // The hosting copy's phrase file (empty: the built-in lists), and the start form's hints.
        PhraseFile,
        LetterHints,
        keyCount
    };

    // How a value is written and read back. A value that is missing or does not read takes the
    // key's default.
    enum class Kind {
        Number,    // decimal; "$1F" and "0x1F" read too
        Colour,    // one of the colour names, else "$" and hexadecimal digits
        TrueFalse, // "true" or "false", as typed
        OneZero,   // "1" or "0"
        Text,      // as typed
    };

    struct Entry
    {
        const char *name;
        Kind kind;
        int fallback;   // Number, Colour; 1 or 0 for TrueFalse and OneZero; Text's is empty
        bool keepsHeld; // a value that does not read keeps the one held instead of the default
    };

    static const Entry &entry(Key key);
    static QString name(Key key);
    // The key with exactly this name.
    static std::optional<Key> find(const QString &name);
    // Phrase1 ... Phrase9 for n = 1 ... 9.
    static Key phrase(int n);

    // What the main window writes, and the phrase editor.
    static constexpr std::array<Key, 9> windowKeys{Top,       Left,      Width,      Height,       Textsize,
                                                   Snapcount, Textcolor, Playsounds, ChatterSounds};
    static constexpr std::array<Key, 9> phraseKeys{Phrase1, Phrase2, Phrase3, Phrase4, Phrase5,
                                                   Phrase6, Phrase7, Phrase8, Phrase9};

    // Every value starts at its default.
    PlayerSettings();

    // Number and Colour keys.
    int number(Key key) const;
    void setNumber(Key key, int value);
    // TrueFalse and OneZero keys.
    bool isOn(Key key) const;
    void setOn(Key key, bool on);
    // Text keys.
    QString text(Key key) const;
    void setText(Key key, const QString &value);

    // Every key from the file; a missing or unreadable file reads as empty.
    void load(const QString &path);
    static PlayerSettings read(const QString &path);
    // Writes these keys' values. False when the file could not be written.
    bool save(const QString &path, std::span<const Key> keys) const;
    bool save(const QString &path, std::initializer_list<Key> keys) const
    {
        return save(path, std::span<const Key>(keys.begin(), keys.size()));
    }

private:
    std::array<int, keyCount> numbers{};
    std::array<QString, keyCount> texts;
};
