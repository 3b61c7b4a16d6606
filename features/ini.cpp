#include "features/ini.h"

#include "protocol/cp1252.h"
#include "protocol/numbers.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <cstring>

namespace {

// The blanks that QString::trimmed() removes, as Windows-1252 bytes.
bool isBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r') || uchar(c) == 0xA0;
}

void trim(const char *&b, const char *&e)
{
    while (b < e && isBlank(*b))
        ++b;
    while (e > b && isBlank(e[-1]))
        --e;
}

// One line of the file: [begin, end) without its line end, next where the following one begins.
struct LineAt
{
    qsizetype begin, end, next;
};

LineAt lineAt(const QByteArray &bytes, qsizetype pos)
{
    const char *data = bytes.constData();
    const auto *nl = static_cast<const char *>(std::memchr(data + pos, '\n', size_t(bytes.size() - pos)));
    const qsizetype lineEnd = nl ? nl - data : bytes.size();
    qsizetype end = lineEnd;
    if (end > pos && data[end - 1] == '\r')
        --end;
    return {pos, end, nl ? lineEnd + 1 : lineEnd};
}

// "[Name]": the name's bytes, blanks removed; false for any other line.
bool sectionName(const char *b, const char *e, const char *&nb, const char *&ne)
{
    trim(b, e);
    if (b == e || *b != '[')
        return false;
    const auto *close = static_cast<const char *>(std::memchr(b, ']', size_t(e - b)));
    if (!close)
        return false;
    nb = b + 1;
    ne = close;
    trim(nb, ne);
    return true;
}

// "Key=Value": the key's bytes, blanks removed; false for comments and lines without "=".
bool keyName(const char *b, const char *e, const char *&kb, const char *&ke)
{
    const char *tb = b, *te = e;
    trim(tb, te);
    if (tb < te && *tb == ';')
        return false;
    const auto *eq = static_cast<const char *>(std::memchr(b, '=', size_t(e - b)));
    if (!eq)
        return false;
    kb = b;
    ke = eq;
    trim(kb, ke);
    return true;
}

// One byte is one character in Windows-1252, so only names of the same length are decoded.
bool sameName(const char *b, const char *e, const QString &name)
{
    return e - b == name.size() && cp1252::decode(b, e - b).compare(name, Qt::CaseInsensitive) == 0;
}

bool blankLine(const char *b, const char *e)
{
    trim(b, e);
    return b == e;
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

// Blanks around it removed, and one pair of enclosing quotes.
QString cleanValue(const QString &raw)
{
    QString v = raw.trimmed();
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) &&
        v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v;
}

} // namespace

IniFile::IniFile(QString path) : filePath(std::move(path))
{
    QFile f(filePath);
    if (!f.open(QIODevice::ReadOnly))
        return;
    existed = true;
    bytes = f.readAll();
}

IniFile::Section IniFile::findSection(const QString &section) const
{
    if (!cachedName.isNull() && cachedName.compare(section, Qt::CaseInsensitive) == 0)
        return cached;
    Section s;
    const char *data = bytes.constData();
    for (qsizetype pos = 0; pos < bytes.size();) {
        const LineAt l = lineAt(bytes, pos);
        const char *nb, *ne;
        const bool header = sectionName(data + l.begin, data + l.end, nb, ne);
        if (!s.found()) {
            if (header && sameName(nb, ne, section)) {
                s.bodyBegin = l.next;
                s.contentEnd = l.next;
            }
        } else if (header) {
            s.end = l.begin;
            break;
        } else if (!blankLine(data + l.begin, data + l.end)) {
            s.contentEnd = l.next;
        }
        pos = l.next;
    }
    if (s.found() && s.end < 0)
        s.end = bytes.size();
    cachedName = section;
    cached = s;
    return s;
}

IniFile::Line IniFile::findKey(const Section &s, const QString &key) const
{
    const char *data = bytes.constData();
    for (qsizetype pos = s.bodyBegin; pos < s.end;) {
        const LineAt l = lineAt(bytes, pos);
        const char *kb, *ke;
        if (keyName(data + l.begin, data + l.end, kb, ke) && sameName(kb, ke, key))
            return {l.begin, l.end};
        pos = l.next;
    }
    return {};
}

const IniFile::Change *IniFile::pending(const QString &section, const QString &key) const
{
    for (const Change &c : changes) {
        if (c.section.compare(section, Qt::CaseInsensitive) == 0 &&
            c.key.compare(key, Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &fallback) const
{
    if (const Change *c = pending(section, key))
        return cleanValue(c->value);
    const Section s = findSection(section);
    if (!s.found())
        return fallback;
    const Line l = findKey(s, key);
    if (!l.found())
        return fallback;
    const char *data = bytes.constData();
    const auto *eq = static_cast<const char *>(std::memchr(data + l.begin, '=', size_t(l.end - l.begin)));
    return cleanValue(cp1252::decode(eq + 1, data + l.end - eq - 1));
}

int IniFile::readInteger(const QString &section, const QString &key, int fallback) const
{
    const QString v = readString(section, key, QString());
    return v.isNull() ? fallback : numbers::strToIntDef(v, fallback);
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    for (Change &c : changes) {
        if (c.section.compare(section, Qt::CaseInsensitive) == 0 &&
            c.key.compare(key, Qt::CaseInsensitive) == 0) {
            c.key = key;
            c.value = oneLine(value);
            return;
        }
    }
    changes.push_back({section, key, oneLine(value)});
}

void IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

QByteArray IniFile::lineEndBefore(qsizetype pos) const
{
    // The line end of the line that ends at pos, so that an added line matches its neighbour.
    if (pos >= 2 && bytes[pos - 1] == '\n' && bytes[pos - 2] == '\r')
        return QByteArrayLiteral("\r\n");
    if (pos >= 1 && bytes[pos - 1] == '\n')
        return QByteArrayLiteral("\n");
    return fileLineEnd();
}

QByteArray IniFile::fileLineEnd() const
{
    return bytes.contains("\r\n") ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
}

QByteArray IniFile::applied() const
{
    struct Edit
    {
        qsizetype at, to;
        QByteArray text;
    };
    std::vector<Edit> edits;
    struct NewSection
    {
        QString name;
        QList<QByteArray> lines;
    };
    std::vector<NewSection> added;
    for (const Change &c : changes) {
        const QByteArray line = cp1252::encode(c.key + QLatin1Char('=') + c.value);
        const Section s = findSection(c.section);
        if (s.found()) {
            const Line l = findKey(s, c.key);
            if (l.found()) {
                if (QByteArrayView(bytes).sliced(l.begin, l.end - l.begin) != line)
                    edits.push_back({l.begin, l.end, line});
            } else if (s.contentEnd > 0 && bytes[s.contentEnd - 1] == '\n') {
                edits.push_back({s.contentEnd, s.contentEnd, line + lineEndBefore(s.contentEnd)});
            } else {
                // The section's last line is the file's last and has no line end: it gets one.
                edits.push_back({s.contentEnd, s.contentEnd, fileLineEnd() + line});
            }
            continue;
        }
        auto it = std::find_if(added.begin(), added.end(), [&](const NewSection &n) {
            return n.name.compare(c.section, Qt::CaseInsensitive) == 0;
        });
        if (it == added.end())
            it = added.insert(added.end(), NewSection{c.section, {}});
        it->lines << line;
    }
    if (edits.empty() && added.empty())
        return bytes;
    std::stable_sort(edits.begin(), edits.end(), [](const Edit &a, const Edit &b) { return a.at < b.at; });

    QByteArray out;
    qsizetype extra = 0;
    for (const Edit &e : edits)
        extra += e.text.size();
    out.reserve(bytes.size() + extra + 256);
    qsizetype from = 0;
    for (const Edit &e : edits) {
        out.append(QByteArrayView(bytes).sliced(from, e.at - from));
        out.append(e.text);
        from = e.to;
    }
    out.append(QByteArrayView(bytes).sliced(from));

    // New sections go at the end, after a blank line; a file that did not end with a line end
    // still doesn't.
    const QByteArray eol = fileLineEnd();
    const bool finalEol = out.isEmpty() || out.endsWith('\n');
    for (const NewSection &n : added) {
        if (!out.isEmpty()) {
            if (!out.endsWith('\n'))
                out += eol;
            const qsizetype lastEnd = out.size() - 1;
            const qsizetype lastBegin = out.lastIndexOf('\n', lastEnd - 1) + 1;
            if (!blankLine(out.constData() + lastBegin, out.constData() + lastEnd))
                out += eol;
        }
        out += '[' + cp1252::encode(n.name) + ']';
        for (const QByteArray &l : n.lines)
            out += eol + l;
        out += eol;
    }
    if (!added.empty() && !finalEol)
        out.chop(eol.size());
    return out;
}

bool IniFile::save()
{
    if (changes.empty())
        return true;
    QByteArray out = applied();
    if (existed && out == bytes) {
        changes.clear();
        return true;
    }
    QSaveFile f(filePath);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(out);
    if (!f.commit())
        return false;
    bytes = std::move(out);
    changes.clear();
    cachedName.clear();
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
