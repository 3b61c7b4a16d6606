#include "host/playername.h"

namespace playername {

bool seatable(const QString &name)
{
    const QString trimmed = name.trimmed();
    return !trimmed.isEmpty() && trimmed.compare(QLatin1String("<Waiting>"), Qt::CaseInsensitive) != 0;
}

} // namespace playername
