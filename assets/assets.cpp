#include "assets/assets.h"

#include <QDirIterator>
#include <QFile>
#include <QResource>
#include <algorithm>
#include <cstdio>
#include <sys/mman.h>
#include <unistd.h>

namespace assets {

QByteArray load(const QString &path)
{
    QFile f(QStringLiteral(":/") + path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

namespace {

// Whether [from, to) lies inside one read-only, private, file-backed mapping: pages that were
// never written, which the kernel reads again from the file when they are touched.
bool readOnlyFileMapping(quintptr from, quintptr to)
{
    FILE *maps = std::fopen("/proc/self/maps", "r");
    if (!maps)
        return false;
    bool inside = false;
    char line[512];
    while (!inside && std::fgets(line, sizeof line, maps)) {
        unsigned long lo = 0, hi = 0, inode = 0;
        char perms[5] = {};
        if (std::sscanf(line, "%lx-%lx %4s %*s %*s %lu", &lo, &hi, perms, &inode) == 4)
            inside = lo <= from && to <= hi && inode != 0 && QByteArrayView(perms) == "r--p";
    }
    std::fclose(maps);
    return inside;
}

} // namespace

qint64 releaseResident()
{
    quintptr from = ~quintptr(0), to = 0;
    for (const char *folder : {"phrases", "sounds", "pictures", "icons", "help"}) {
        QDirIterator it(QStringLiteral(":/") + QLatin1String(folder), QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QResource r(it.next());
            if (!r.isValid() || !r.data() || r.size() <= 0)
                continue;
            from = std::min(from, quintptr(r.data()));
            to = std::max(to, quintptr(r.data()) + quintptr(r.size()));
        }
    }
    const quintptr page = quintptr(::sysconf(_SC_PAGESIZE));
    from = (from + page - 1) & ~(page - 1);
    to &= ~(page - 1);
    if (from >= to || !readOnlyFileMapping(from, to))
        return 0;
    if (::madvise(reinterpret_cast<void *>(from), to - from, MADV_DONTNEED) != 0)
        return 0;
    return qint64(to - from);
}

} // namespace assets
