// The encryption library's reading of its call, on any bytes: an accepted call holds texts that end
// inside their fields and a name that can only land in the folder. And every call the export makes
// of a password and a path that fit reads back as the same bytes.

#include "FuzzSupport.h"
#include "peers/vtxcrtpup/SfxContainer.h"
#include "transfer/export/SfxLibrary.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    TFuzzInput Input(Data, Size);
    QByteArray Settings = Input.Bytes(SfxSettingsSize);
    Settings.resize(SfxSettingsSize, '\0');
    QByteArray Name = Input.Bytes(SfxNameBufferSize);
    Name.resize(SfxNameBufferSize, '\0');
    TSfxCall Call;
    if (SfxParseCall(reinterpret_cast<const unsigned char*>(Settings.constData()),
                     reinterpret_cast<const unsigned char*>(Name.constData()), Call)) {
        VX_FUZZ_CHECK(!Call.Password.empty() && Call.Password.size() < 44);
        VX_FUZZ_CHECK(Settings.mid(40, 44).startsWith(QByteArray::fromStdString(Call.Password) + '\0'));
        VX_FUZZ_CHECK(!Call.Folder.empty() && Call.Folder.size() < 256 && Call.Folder.back() == '/');
        VX_FUZZ_CHECK(Settings.mid(88).startsWith(QByteArray::fromStdString(Call.Folder) + '\0'));
        VX_FUZZ_CHECK(SfxPlainFileName(Call.Name));
    }

    // The export's own call, of a password and a path the input makes.
    const QString Password = QString::fromUtf8(Input.Piece());
    const QString Path = QLatin1Char('/') + QString::fromUtf8(Input.Rest());
    TSfxSettings Block;
    TSfxFileName Buffer;
    if (MakeSfxCall(Password, Path, Block, Buffer) != TSfxFieldFault::None)
        return 0;
    TSfxCall Made;
    const bool Read = SfxParseCall(reinterpret_cast<const unsigned char*>(&Block),
                                   reinterpret_cast<const unsigned char*>(&Buffer), Made);
    const QFileInfo Info(Path);
    const bool Plain = !Password.isEmpty() && SfxPlainFileName(QFile::encodeName(Info.fileName()).toStdString());
    VX_FUZZ_CHECK_EQ(Read, Plain);
    if (Read) {
        VX_FUZZ_CHECK_EQ(QByteArray::fromStdString(Made.Password), Password.toUtf8());
        VX_FUZZ_CHECK_EQ(QByteArray::fromStdString(Made.Name), QFile::encodeName(Info.fileName()));
    }
    return 0;
}
