// The saved export password FExport.pwd, on any bytes: a password is believed only from a whole
// file of 8 to 16 letters and digits, which the writer would have written byte for byte, and the
// dialog's start shows exactly what the reader believed.

#include "FuzzSupport.h"
#include "main/settings/Settings.h"
#include "platform/ini/IniFile.h"
#include "transfer/export/ExportPassword.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    SettingsPath = FreshFolder(QStringLiteral("settings"));
    const QByteArray Bytes(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    const std::optional<QString> Password = ParseSavedPassword(Bytes);
    if (Password) {
        VX_FUZZ_CHECK(Password->size() >= 8 && Password->size() <= 16);
        VX_FUZZ_CHECK(PasswordCharactersValid(*Password));
        VX_FUZZ_CHECK_EQ(SavedPasswordBytes(*Password), Bytes);
    }

    TMemIniFile Ini(SettingsFileName());
    Ini.WriteBool(ExportPasswordSection, QStringLiteral("SavePassword"), true);
    VX_FUZZ_CHECK(Ini.UpdateFile());
    WriteFuzzFile(SettingsPath + ExportPasswordFileName, Bytes);
    const TSavedPassword Saved = LoadSavedPassword();
    VX_FUZZ_CHECK_EQ(Saved.Save, Password.has_value());
    VX_FUZZ_CHECK_EQ(Saved.Password, Password.value_or(QString()));
    return 0;
}
