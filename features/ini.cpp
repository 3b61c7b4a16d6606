#include "features/ini.h"

#include "protocol/cp1252.h"
#include "protocol/numbers.h"

#include <QFile>
#include <QSaveFile>

namespace {

// "[Name]" -> "Name"; a null string for any other line.
QString sectionName(const QString &line)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return QString();
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        return QString();
    const QString name = t.mid(1, close - 1).trimmed();
    return name.isNull() ? QStringLiteral("") : name;
}

bool isComment(const QString &line)
{
    const QString t = line.trimmed();
    return t.startsWith(QLatin1Char(';'));
}

// The key of a "Key=Value" line; a null string for any other line.
QString keyName(const QString &line)
{
    if (isComment(line))
        return QString();
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return QString();
    return line.left(eq).trimmed();
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A value must stay on its own line.
QString oneLine(QString value)
{
    for (QChar &c : value) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    }
    return value;
}

} // namespace

IniFile::IniFile(QString path) : filePath(std::move(path))
{
    QFile f(filePath);
    if (!f.open(QIODevice::ReadOnly))
        return;
    existed = true;
    const QString text = cp1252::decode(f.readAll());
    if (text.isEmpty())
        return;
    if (text.contains(QLatin1String("\r\n")))
        eol = QStringLiteral("\r\n");
    lines = text.split(QLatin1Char('\n'));
    finalEol = text.endsWith(QLatin1Char('\n'));
    if (finalEol)
        lines.removeLast();
    for (QString &l : lines) {
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    }
}

IniFile::Place IniFile::find(const QString &section, const QString &key) const
{
    Place p;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString s = sectionName(lines[i]);
        if (p.section < 0) {
            if (!s.isNull() && sameName(s, section)) {
                p.section = i;
                p.end = i + 1;
            }
            continue;
        }
        if (!s.isNull())
            break; // the next section begins
        if (!lines[i].trimmed().isEmpty())
            p.end = i + 1;
        if (p.key < 0) {
            const QString k = keyName(lines[i]);
            if (!k.isNull() && sameName(k, key))
                p.key = i;
        }
    }
    return p;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &fallback) const
{
    const Place p = find(section, key);
    if (p.key < 0)
        return fallback;
    const QString &line = lines[p.key];
    QString v = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) &&
        v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v;
}

int IniFile::readInteger(const QString &section, const QString &key, int fallback) const
{
    const Place p = find(section, key);
    if (p.key < 0)
        return fallback;
    return numbers::strToIntDef(readString(section, key), fallback);
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    const QString line = key + QLatin1Char('=') + oneLine(value);
    const Place p = find(section, key);
    if (p.key >= 0) {
        if (lines[p.key] != line) {
            lines[p.key] = line;
            dirty = true;
        }
        return;
    }
    dirty = true;
    if (p.section >= 0) {
        lines.insert(p.end, line);
        return;
    }
    if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
        lines.append(QString());
    lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
    lines.append(line);
}

void IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

bool IniFile::save()
{
    if (!dirty)
        return true;
    QString text = lines.join(eol);
    if (finalEol || !existed)
        text += eol;
    QSaveFile f(filePath);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(cp1252::encode(text));
    if (!f.commit())
        return false;
    dirty = false;
    if (!existed)
        finalEol = true;
    existed = true;
    return true;
}

namespace ini {

QString readString(const QString &path, const QString &section, const QString &key, const QString &fallback)
{
    return IniFile(path).readString(section, key, fallback);
}

int readInteger(const QString &path, const QString &section, const QString &key, int fallback)
{
    return IniFile(path).readInteger(section, key, fallback);
}

bool writeString(const QString &path, const QString &section, const QString &key, const QString &value)
{
    IniFile f(path);
    f.writeString(section, key, value);
    return f.save();
}

} // namespace ini
