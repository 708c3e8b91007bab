#include "platform/sound/WavePlayer.h"

#include <QtEndian>
#include <alsa/asoundlib.h>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

namespace {

constexpr quint16 WaveFormatPcm = 1;
constexpr quint16 WaveFormatFloat = 3;
constexpr quint16 WaveFormatExtensible = 0xFFFE;

quint32 Le32(const QByteArray& Bytes, qsizetype Offset)
{
    return qFromLittleEndian<quint32>(Bytes.constData() + Offset);
}

quint16 Le16(const QByteArray& Bytes, qsizetype Offset)
{
    return qFromLittleEndian<quint16>(Bytes.constData() + Offset);
}

snd_pcm_format_t AlsaFormat(const TWaveFormat& Format)
{
    if (Format.Float)
        return SND_PCM_FORMAT_FLOAT_LE;
    switch (Format.BitsPerSample) {
    case 8:
        return SND_PCM_FORMAT_U8;
    case 16:
        return SND_PCM_FORMAT_S16_LE;
    case 24:
        return SND_PCM_FORMAT_S24_3LE;
    default:
        return SND_PCM_FORMAT_S32_LE;
    }
}

// ALSA reports a missing device on stderr by itself; a machine without sound is no error here.
void SilentAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

// The one sound that may play at a time, on a thread of its own so the caller never waits.
class TPlayer
{
public:
    ~TPlayer() { Stop(); }

    void Start(QByteArray Wave, TWaveFormat Format)
    {
        Stop();
        std::lock_guard Lock(FMutex);
        FStop = std::make_shared<std::atomic_bool>(false);
        FThread = std::thread(&TPlayer::Play, std::move(Wave), Format, FStop);
    }

    void Stop()
    {
        std::lock_guard Lock(FMutex);
        if (FStop)
            FStop->store(true);
        if (FThread.joinable())
            FThread.join();
        FStop.reset();
    }

private:
    static void Play(QByteArray Wave, TWaveFormat Format, std::shared_ptr<std::atomic_bool> StopFlag)
    {
        snd_lib_error_set_handler(SilentAlsaErrors);
        snd_pcm_t* Pcm = nullptr;
        if (snd_pcm_open(&Pcm, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0)
            return;
        if (snd_pcm_set_params(Pcm, AlsaFormat(Format), SND_PCM_ACCESS_RW_INTERLEAVED, Format.Channels,
                               Format.SampleRate, 1, 200000) < 0) {
            snd_pcm_close(Pcm);
            return;
        }
        const qsizetype FrameBytes = qsizetype(Format.Channels) * (Format.BitsPerSample / 8);
        const char* Data = Wave.constData() + Format.DataOffset;
        snd_pcm_uframes_t Left = Format.DataSize / FrameBytes;
        // Small pieces, so that a stop request is heard within a few milliseconds.
        constexpr snd_pcm_uframes_t Piece = 1024;
        while (Left > 0 && !StopFlag->load()) {
            snd_pcm_sframes_t Written = snd_pcm_writei(Pcm, Data, std::min(Left, Piece));
            if (Written < 0)
                Written = snd_pcm_recover(Pcm, int(Written), 1);
            if (Written < 0)
                break;
            Data += Written * FrameBytes;
            Left -= snd_pcm_uframes_t(Written);
        }
        if (StopFlag->load())
            snd_pcm_drop(Pcm);
        else
            snd_pcm_drain(Pcm);
        snd_pcm_close(Pcm);
    }

    std::mutex FMutex;
    std::thread FThread;
    std::shared_ptr<std::atomic_bool> FStop;
};

TPlayer& Player()
{
    static TPlayer Instance;
    return Instance;
}

} // namespace

bool ParseWave(const QByteArray& Wave, TWaveFormat& Format)
{
    if (Wave.size() < 12 || !Wave.startsWith("RIFF") || Wave.mid(8, 4) != "WAVE")
        return false;
    bool HaveFormat = false;
    qsizetype Pos = 12;
    while (Pos + 8 <= Wave.size()) {
        const QByteArray Id = Wave.mid(Pos, 4);
        const qsizetype Size = Le32(Wave, Pos + 4);
        const qsizetype Body = Pos + 8;
        if (Id == "fmt ") {
            if (Size < 16 || Body + 16 > Wave.size())
                return false;
            quint16 Tag = Le16(Wave, Body);
            if (Tag == WaveFormatExtensible && Size >= 40 && Body + 26 <= Wave.size())
                Tag = Le16(Wave, Body + 24); // the sub-format's first two bytes
            Format.Channels = Le16(Wave, Body + 2);
            Format.SampleRate = int(Le32(Wave, Body + 4));
            Format.BitsPerSample = Le16(Wave, Body + 14);
            Format.Float = Tag == WaveFormatFloat;
            const bool PcmBits = Format.BitsPerSample == 8 || Format.BitsPerSample == 16 ||
                                 Format.BitsPerSample == 24 || Format.BitsPerSample == 32;
            if (!(Tag == WaveFormatPcm && PcmBits) && !(Format.Float && Format.BitsPerSample == 32))
                return false;
            if (Format.Channels < 1 || Format.Channels > 8 || Format.SampleRate <= 0)
                return false;
            HaveFormat = true;
        } else if (Id == "data") {
            if (!HaveFormat)
                return false;
            Format.DataOffset = Body;
            // A writer that died before fixing the size leaves it too large: play what is there.
            Format.DataSize = std::min(Size, Wave.size() - Body);
            return Format.DataSize > 0;
        }
        Pos = Body + Size + (Size & 1);
    }
    return false;
}

bool PlayWaveAsync(const QByteArray& Wave)
{
    TWaveFormat Format;
    if (!ParseWave(Wave, Format))
        return false;
    Player().Start(Wave, Format);
    return true;
}

void StopWave()
{
    Player().Stop();
}
