#pragma once

#include <QString>
#include <QStringList>

// Settings files of the common INI kind: "[Section]" lines and "Key=Value" lines, in Windows-1252.
// Section and key names are compared without regard to case. Writing a key changes or adds that
// one line and leaves every other line of the file as it was; the first write creates the file.
class IniFile
{
public:
    // Reads the file if it exists; a missing or unreadable file reads as empty.
    explicit IniFile(QString path);

    const QString &path() const { return filePath; }
    bool exists() const { return existed; }

    // The value of the key (blanks around it removed, one pair of enclosing quotes too), or the
    // default when the section or the key is missing.
    QString readString(const QString &section, const QString &key, const QString &fallback = QString()) const;
    // The value read as a whole number (decimal, "$1F", "0x1F"), or the default when it isn't one.
    int readInteger(const QString &section, const QString &key, int fallback) const;

    // Sets the key in memory; save() writes the file.
    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);

    // Writes the file when anything changed. False when it could not be written.
    bool save();

private:
    struct Place
    {
        qsizetype section = -1; // index of the section line
        qsizetype end = -1;     // one past the section's last line with content
        qsizetype key = -1;     // index of the key line
    };
    Place find(const QString &section, const QString &key) const;

    QString filePath;
    QStringList lines; // without their line ends
    QString eol = QStringLiteral("\n");
    bool finalEol = true;
    bool existed = false;
    bool dirty = false;
};

// One-key operations: each opens the file, does its work and closes it again.
namespace ini {
QString readString(const QString &path, const QString &section, const QString &key,
                   const QString &fallback = QString());
int readInteger(const QString &path, const QString &section, const QString &key, int fallback);
bool writeString(const QString &path, const QString &section, const QString &key, const QString &value);
} // namespace ini
