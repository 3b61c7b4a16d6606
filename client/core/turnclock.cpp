#include "client/core/turnclock.h"

namespace turnclock {

QString clockText(int seconds)
{
    // Whole minutes and the remainder, as integer division and modulo give them.
    const int minutes = seconds / 60;
    const int rest = seconds % 60;
    QString text = QString::number(minutes) + QLatin1Char(':');
    if (rest >= 0 && rest < 10)
        text += QLatin1Char('0');
    return text + QString::number(rest);
}

QString timePerTurnText(int seconds)
{
    return QStringLiteral("Time Per Turn: ") + clockText(seconds);
}

QString pickText(int seconds)
{
    if (seconds <= 0)
        return QStringLiteral("Time is up: the host chooses");
    return QString::number(seconds) +
           (seconds == 1 ? QStringLiteral(" second to choose") : QStringLiteral(" seconds to choose"));
}

int barWidth(Mode mode, int seconds, int currentWidth)
{
    int width;
    if (mode == Mode::pause)
        width = seconds * 10;
    else if (seconds > 100)
        width = 100;
    else if (seconds + 1 < currentWidth)
        width = currentWidth - 2;
    else
        width = seconds;
    return width < 0 ? 0 : width;
}

} // namespace turnclock
