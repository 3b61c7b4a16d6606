// The settings file as the player reads it at start-up, whatever it holds; then one key written
// back, which must read back as written.
#include "features/ini.h"
#include "fuzzsupport.h"
#include "protocol/colortext.h"

#include <QFile>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzsupport::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString path =
        QDir(qEnvironmentVariable("QUILLET_HOME")).filePath(QStringLiteral("fuzz.ini"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    const QString section = QStringLiteral("Quillet");
    IniFile ini(path);
    for (const char *key : {"Top", "Left", "Width", "Height", "Textsize", "Snapcount"})
        ini.readInteger(section, QLatin1String(key), 3);
    try {
        colortext::fromText(ini.readString(section, QStringLiteral("Textcolor"), QStringLiteral("clmaroon")));
    } catch (const EConvertError &) {
    }
    for (const char *key : {"Playsounds", "ChatterSounds", "Phrase1", "Phrase9"})
        ini.readString(section, QLatin1String(key));

    ini.writeInteger(section, QStringLiteral("Snapcount"), 4711);
    ini.writeString(section, QStringLiteral("Phrase3"), QStringLiteral("Well drawn!"));
    if (!ini.save())
        return 0;
    const IniFile again(path);
    if (again.readInteger(section, QStringLiteral("snapcount"), 0) != 4711 ||
        again.readString(section, QStringLiteral("PHRASE3")) != QStringLiteral("Well drawn!"))
        __builtin_trap();
    return 0;
}
