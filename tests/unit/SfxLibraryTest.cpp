#include "transfer/export/SfxLibrary.h"

#include "platform/msg/CoreMessage.h"

#include <QStringList>
#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

const QString Fixtures = QStringLiteral(VX_FIXTURE_DIR "/");
// The test programs' own folder is their program folder and holds the library as the program's does.
const QByteArray ProgramFolderCopy = QByteArray(VX_FIXTURE_DIR) + "/../Vtxcrtpup.so";

bool Resident(const QByteArray& Path)
{
    void* Handle = dlopen(Path.constData(), RTLD_NOW | RTLD_NOLOAD);
    if (Handle)
        dlclose(Handle);
    return Handle != nullptr;
}

struct TShown
{
    QStringList Texts;
    std::function<void(const QString&)> Sink()
    {
        return [this](const QString& Text) { Texts << Text; };
    }
};

// Brings the use count back to 0 whatever a test left.
void FreeAll()
{
    for (int I = 0; I < 10; ++I)
        FreeSfxLibrary();
}

class SfxLibraryTest : public ::testing::Test
{
protected:
    void TearDown() override { FreeAll(); }
};

QByteArray Bytes(const char* Data, int Size)
{
    return QByteArray(Data, Size);
}

TEST_F(SfxLibraryTest, LoadAndBindFailuresShowTheirTextsAndLeaveNothingLoaded)
{
    const struct
    {
        QString Folder;
        int Result;
        QString Text;
    } Cases[] = {
        {Fixtures + "no-such-folder", SfxRcLoadError,
         QStringLiteral("Vtxcrtpup.so LoadLibrary Error\r\nDLLのロードに失敗しました")},
        {Fixtures + "sfx_nocreate", SfxRcBindError,
         QStringLiteral("VtxCreateSFX (Vtxcrtpup.so) GetProcAddress Error\r\n関数の割り当てに失敗しました")},
        {Fixtures + "sfx_notc", SfxRcBindError,
         QStringLiteral("VtxCreateSFX_TC (Vtxcrtpup.so) GetProcAddress Error\r\n関数の割り当てに失敗しました")},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Folder.toStdString());
        TShown Shown;
        EXPECT_EQ(LoadSfxLibrary(Case.Folder, Shown.Sink()), Case.Result);
        EXPECT_EQ(Shown.Texts, QStringList{Case.Text});
        EXPECT_FALSE(SfxLibraryLoaded());
        TSfxSettings Settings{};
        TSfxFileName Name{};
        EXPECT_EQ(CallCreateSfx(Settings, Name, nullptr), SfxRcNotLoaded);
        FreeSfxLibrary();
        EXPECT_FALSE(Resident((Case.Folder + "/Vtxcrtpup.so").toUtf8()));
    }
}

TEST_F(SfxLibraryTest, NestedLoadsUnloadOnlyAtTheLastFree)
{
    const QByteArray Path = (Fixtures + "sfx_record/Vtxcrtpup.so").toUtf8();
    ASSERT_EQ(LoadSfxLibrary(Fixtures + "sfx_record"), 0);
    ASSERT_EQ(LoadSfxLibrary(Fixtures + "sfx_record"), 0);
    FreeSfxLibrary();
    EXPECT_TRUE(SfxLibraryLoaded());
    EXPECT_TRUE(Resident(Path));
    FreeSfxLibrary();
    EXPECT_FALSE(SfxLibraryLoaded());
    EXPECT_FALSE(Resident(Path));
}

TEST_F(SfxLibraryTest, AnEmptyFolderLoadsTheProgramFoldersLibraryByItsPath)
{
    ASSERT_FALSE(Resident(ProgramFolderCopy));
    ASSERT_EQ(LoadSfxLibrary({}), 0);
    EXPECT_TRUE(Resident(ProgramFolderCopy));
}

TEST_F(SfxLibraryTest, TheLibraryGetsTheBlockAndTheNameAsLaidOut)
{
    ASSERT_EQ(LoadSfxLibrary(Fixtures + "sfx_record"), 0);
    TSfxSettings Settings;
    TSfxFileName Name;
    ASSERT_EQ(MakeSfxCall(QStringLiteral("Abc12345"), QStringLiteral("/tmp/出力/Rireki.txt"), Settings, Name),
              TSfxFieldFault::None);
    int Window = 0;
    ASSERT_EQ(CallCreateSfx(Settings, Name, &Window), 2); // the fixture finds no text there

    void* Handle = dlopen((Fixtures + "sfx_record/Vtxcrtpup.so").toUtf8().constData(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(Handle, nullptr);
    const auto LastCall = reinterpret_cast<void* (*)(unsigned char*, unsigned char*)>(dlsym(Handle, "FixtureLastCall"));
    unsigned char GotSettings[344], GotName[256];
    EXPECT_EQ(LastCall(GotSettings, GotName), &Window);
    dlclose(Handle);

    QByteArray WantSettings(344, '\0');
    WantSettings.replace(40, 8, "Abc12345");
    WantSettings.replace(84, 4, Bytes("\x01\x00\x00\x00", 4));
    const QByteArray Folder("/tmp/\xe5\x87\xba\xe5\x8a\x9b/"); // the folder in UTF-8, as the file system spells it
    WantSettings.replace(88, Folder.size(), Folder);
    QByteArray WantName(256, '\0');
    WantName.replace(0, 10, "Rireki.txt");
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(GotSettings), 344).toHex(' '), WantSettings.toHex(' '));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(GotName), 256).toHex(' '), WantName.toHex(' '));
}

TEST_F(SfxLibraryTest, FieldsThatDoNotFitWithTheirTerminatorAreRefused)
{
    const QString Folder255 = QLatin1Char('/') + QString(253, QLatin1Char('d')) + QLatin1Char('/'); // 255 bytes
    // Three bytes a character in UTF-8: 85 of them make 255 bytes, the name at its limit.
    const QString Name255 = QString(85, QChar(0x540D));
    const struct
    {
        QString Password;
        QString Path;
        TSfxFieldFault Fault;
    } Cases[] = {
        {QString(43, QLatin1Char('p')), Folder255 + "a.txt", TSfxFieldFault::None},
        {QString(44, QLatin1Char('p')), "/tmp/a.txt", TSfxFieldFault::Password},
        {"Abc12345", QLatin1Char('/') + QString(254, QLatin1Char('d')) + "/a.txt", TSfxFieldFault::Folder},
        {"Abc12345", "/tmp/" + Name255, TSfxFieldFault::None},
        {"Abc12345", "/tmp/" + Name255 + "x", TSfxFieldFault::FileName},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Path.left(20).toStdString());
        TSfxSettings Settings;
        TSfxFileName Name;
        EXPECT_EQ(MakeSfxCall(Case.Password, Case.Path, Settings, Name), Case.Fault);
        if (Case.Fault != TSfxFieldFault::None) {
            EXPECT_FALSE(SfxFieldFaultText(Case.Fault).isEmpty());
        }
    }
}

} // namespace
