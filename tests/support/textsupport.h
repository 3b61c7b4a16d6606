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

} // namespace testsupport

using testsupport::L;
using testsupport::only;
using testsupport::s;
using testsupport::writefile;
