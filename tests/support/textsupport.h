#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <initializer_list>

namespace testsupport {

// Short spellings for test data written as plain literals.
inline QString s(const char *text)
{
    return QString::fromLatin1(text);
}

inline QStringList L(std::initializer_list<const char *> items)
{
    QStringList out;
    for (const char *i : items)
        out << QString::fromUtf8(i);
    return out;
}

// The messages that begin with a prefix, in order.
inline QStringList only(const QStringList &messages, const QString &prefix)
{
    QStringList out;
    for (const QString &m : messages) {
        if (m.startsWith(prefix))
            out.append(m);
    }
    return out;
}

// Writes a file afresh; false when it cannot be written.
inline bool writefile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Upper-casing as guesses are judged, told letter by letter: a to z, and with `accents` also the
// code page's small letters whose capital it holds. Every other character stays; µ, ß and ƒ too,
// whose capitals the code page lacks.
inline QChar judgedCapital(QChar c, bool accents)
{
    static const QString small =
        QString::fromUtf8("abcdefghijklmnopqrstuvwxyzšœžàáâãäåæçèéêëìíîïðñòóôõöøùúûüýþÿ");
    static const QString capital =
        QString::fromUtf8("ABCDEFGHIJKLMNOPQRSTUVWXYZŠŒŽÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖØÙÚÛÜÝÞŸ");
    const qsizetype i = small.indexOf(c);
    return i >= 0 && (accents || i < 26) ? capital.at(i) : c;
}

// The positions where two texts of one length differ, as "é (U+00E9) became É, not é"; empty when
// they agree.
inline QString differences(const QString &in, const QString &got, const QString &expected)
{
    QStringList out;
    if (got.size() != expected.size())
        return QStringLiteral("%1 characters, not %2").arg(got.size()).arg(expected.size());
    for (qsizetype i = 0; i < got.size(); ++i) {
        if (got.at(i) != expected.at(i))
            out << QStringLiteral("%1 (U+%2) became %3, not %4")
                       .arg(in.at(i))
                       .arg(in.at(i).unicode(), 4, 16, QLatin1Char('0'))
                       .arg(QString(got.at(i)), QString(expected.at(i)));
    }
    return out.join(QStringLiteral("; "));
}

} // namespace testsupport

using testsupport::L;
using testsupport::only;
using testsupport::s;
using testsupport::writefile;
