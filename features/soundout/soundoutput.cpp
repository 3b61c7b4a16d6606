#include "features/soundout/soundoutput.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QHash>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace {

// One loaded effect per clip, kept for the run; `current` is the one that may still be playing.
class EffectOutput final : public SoundOutput
{
public:
    bool play(const QString &path) override
    {
        if (QMediaDevices::defaultAudioOutput().isNull())
            return false;
        QSoundEffect *&e = effects[path];
        if (!e) {
            e = new QSoundEffect(qApp);
            e->setSource(QUrl(QLatin1String("qrc") + path));
        }
        current = e;
        e->play();
        return true;
    }

    void stop() override
    {
        if (current) {
            current->stop();
            current = nullptr;
        }
    }

    bool playing() const override { return current && current->isPlaying(); }

private:
    QHash<QString, QSoundEffect *> effects;
    QSoundEffect *current = nullptr;
};

} // namespace

extern "C" Q_DECL_EXPORT SoundOutput *quilletSoundOutput1()
{
    static EffectOutput output;
    return &output;
}
