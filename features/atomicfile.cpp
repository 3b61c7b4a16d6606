#include "features/atomicfile.h"

#include "platform/errors.h"

#include <QDir>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace atomicfile {

void write(const QString &path, const QByteArray &data)
{
    const auto fail = [&path](const QString &reason) {
        throw EError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(QDir::toNativeSeparators(path), reason));
    };
    QTemporaryFile temp(path + QStringLiteral(".XXXXXX"));
    if (!temp.open())
        fail(temp.errorString());
    if (temp.write(data) != data.size() || !temp.flush())
        fail(temp.errorString());
    // Temporary files are private to the owner; a snapshot is an ordinary file.
    temp.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                        QFileDevice::ReadOther);
    temp.close();
    if (std::rename(QFile::encodeName(temp.fileName()).constData(), QFile::encodeName(path).constData()) != 0)
        fail(QString::fromLocal8Bit(std::strerror(errno))); // the temporary file goes with `temp`
    temp.setAutoRemove(false);
}

} // namespace atomicfile
