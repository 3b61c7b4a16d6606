#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// Settings files of the common INI kind: "[Section]" lines and "Key=Value" lines, in Windows-1252.
// Section and key names are compared without regard to case. Writing a key changes or adds that
// one line and leaves every other byte of the file as it was (line ends included); the first write
// creates the file. The file is kept as its bytes and searched in place, so a large file costs
// about its own size in memory and one pass per section looked up.
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
    // Byte offsets into the file.
    struct Section
    {
        qsizetype bodyBegin = -1;  // the line after the section's name
        qsizetype contentEnd = -1; // one past the line end of the section's last line with content
        qsizetype end = -1;        // where the next section begins (or the file ends)
        bool found() const { return contentEnd >= 0; }
    };
    struct Line
    {
        qsizetype begin = -1;
        qsizetype end = -1; // before the line end
        bool found() const { return begin >= 0; }
    };
    struct Change
    {
        QString section, key, value;
    };
    Section findSection(const QString &section) const;
    Line findKey(const Section &s, const QString &key) const;
    const Change *pending(const QString &section, const QString &key) const;
    QByteArray lineEndBefore(qsizetype pos) const;
    QByteArray fileLineEnd() const;
    QByteArray applied() const;

    QString filePath;
    QByteArray bytes;
    // Keys written since the last save, in the order written (one entry per key).
    std::vector<Change> changes;
    // The section looked up last: reading the settings asks the same one many times.
    mutable QString cachedName;
    mutable Section cached;
    bool existed = false;
};

// One-key operations: each opens the file, does its work and closes it again.
namespace ini {
QString readString(const QString &path, const QString &section, const QString &key,
                   const QString &fallback = QString());
int readInteger(const QString &path, const QString &section, const QString &key, int fallback);
bool writeString(const QString &path, const QString &section, const QString &key, const QString &value);
} // namespace ini
