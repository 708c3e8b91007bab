// The ring's WAV reader on any bytes: a wave it accepts has a format the player can set up and
// sample data that lies wholly inside the bytes, so the player never reads past them.

#include "FuzzSupport.h"
#include "platform/sound/WavePlayer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QByteArray Wave(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    TWaveFormat Format;
    if (!ParseWave(Wave, Format))
        return 0;
    VX_FUZZ_CHECK(Format.Channels >= 1 && Format.Channels <= 8);
    VX_FUZZ_CHECK(Format.SampleRate > 0);
    VX_FUZZ_CHECK(Format.BitsPerSample == 8 || Format.BitsPerSample == 16 || Format.BitsPerSample == 24 ||
                  Format.BitsPerSample == 32);
    VX_FUZZ_CHECK(!Format.Float || Format.BitsPerSample == 32);
    VX_FUZZ_CHECK(Format.DataOffset >= 12 + 8);
    VX_FUZZ_CHECK(Format.DataSize > 0);
    VX_FUZZ_CHECK(Format.DataOffset + Format.DataSize <= Wave.size());
    VX_FUZZ_CHECK(Wave.mid(Format.DataOffset - 8, 4) == "data");
    return 0;
}
