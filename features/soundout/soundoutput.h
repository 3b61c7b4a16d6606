#pragma once

#include <QString>

// The sound output, built as a module of its own (quillet-sound.so) so that Qt Multimedia and the
// sound server's libraries are loaded only once a clip could be heard; features/sound.cpp loads
// it and keeps it for the run.
class SoundOutput
{
public:
    // Starts the clip at this resource path (":/sounds/WAVE7.wav"), cutting off the one still
    // playing; false, and nothing played, without a sound device.
    virtual bool play(const QString &path) = 0;
    // Stops the clip last started.
    virtual void stop() = 0;
    // Whether the clip last started is still playing.
    virtual bool playing() const = 0;

protected:
    ~SoundOutput() = default;
};

// The module's one exported function: the output for the run, made on the first call. The number
// in its name changes with SoundOutput, so a module left from another build is not used.
using SoundOutputEntry = SoundOutput *(*)();
inline constexpr char soundOutputEntryName[] = "quilletSoundOutput1";
