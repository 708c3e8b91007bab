#pragma once

#include <QByteArray>

// A RIFF WAVE held in memory, played on the default sound device without waiting, as the system's
// asynchronous sound call does. Starting a sound stops the one still playing.

// The layout of the samples of a wave this player understands.
struct TWaveFormat
{
    int Channels = 0;
    int SampleRate = 0;
    int BitsPerSample = 0; // 8, 16, 24 or 32
    bool Float = false;    // 32-bit IEEE float samples
    qsizetype DataOffset = 0;
    qsizetype DataSize = 0;
};

// The format and the sample data's place in Wave; false when Wave is no PCM wave this player plays.
[[nodiscard]] bool ParseWave(const QByteArray& Wave, TWaveFormat& Format);

// False when Wave cannot be played (not a PCM wave). True once it is playing, and also when the
// machine has no sound device: the sound is then silent and nothing else changes.
[[nodiscard]] bool PlayWaveAsync(const QByteArray& Wave);

// Stops the sound that is playing, if any, and waits until the device is let go.
void StopWave();
