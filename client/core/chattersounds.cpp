#include "client/core/chattersounds.h"

namespace {

const char *const captions[chattersounds::count + 1] = {
    "<Cancel>",       "Doh",          "Cough",  "Hello",   "Thank You", "Where have you been?",
    "Snoring",        "Sneezing",     "Sorry",  "Welcome", "Yeehaa",    "Yippee",
    "Oh No",          "Applause",     "Honk",   "Oooh",    "Razzberry", "Cheer",
    "Woman Laughing", "Man Laughing", "Crying",
};

} // namespace

namespace chattersounds {

QString caption(int tag)
{
    return tag >= 0 && tag <= count ? QLatin1String(captions[tag]) : QString();
}

int tagof(const QString &name)
{
    for (int tag = 1; tag <= count; ++tag) {
        if (name.compare(QStringLiteral("wave%1").arg(tag), Qt::CaseInsensitive) == 0)
            return tag;
    }
    return 0;
}

} // namespace chattersounds
