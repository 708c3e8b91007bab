#include "main/settings/SettingsSave.h"

#include "main/settings/Settings.h"
#include "platform/ini/IniFile.h"
#include "platform/msg/CoreMessage.h"
#include "tests/support/FileModes.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct TBox
{
    QString Text;
    QString Caption;
    unsigned Flags = 0;
};

const QString RetryNote = QString::fromUtf16(u"設定はこのまま使われ、次に保存するときにもう一度書き込みます  \r\n"
                                             u"終了するまでに保存できなければ、次回の起動には引き継がれません  ");
const QString LostNote = QString::fromUtf16(u"今回変更した設定は次回の起動には引き継がれません  ");
const QString Denied = QString::fromUtf16(u"アクセスが拒否されました。");

class SettingsSaveTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        SettingsPath = Dir.filePath("settings/");
        ASSERT_TRUE(QDir().mkpath(SettingsPath));
        Settings = TSettings{};
        ForgetUnsavedSettings();
        SetCoreMessageBox([this](const QString& Text, const QString& Caption, unsigned Flags) {
            Boxes.append({Text, Caption, Flags});
            return IDOK;
        });
        TMemIniFile Ini(SettingsFileName());
        Ini.WriteString("SCREEN VIEW", "SelectItem1", QString::fromUtf16(u"内容"));
        Ini.WriteString("VERSION", "DLL", "16");
        Ini.WriteString("X", "A", "0");
        Ini.WriteString("X", "B", "1");
        ASSERT_TRUE(Ini.UpdateFile());
    }

    void TearDown() override
    {
        SetWritable(true);
        SetCoreMessageBox({});
        ForgetUnsavedSettings();
        SettingsPath.clear();
    }

    void SetWritable(bool Writable) const
    {
        ::chmod(QFile::encodeName(SettingsPath).constData(), Writable ? 0700 : 0500);
    }

    [[nodiscard]] static QString Stored(const char* Section, const char* Ident)
    {
        return TMemIniFile(SettingsFileName()).ReadString(Section, Ident, "<none>");
    }

    [[nodiscard]] static QString Expected(const QString& Cause, const QString& Note)
    {
        return QString::fromUtf16(u"設定ファイル「") + SettingsFileName() +
               QString::fromUtf16(u"」に保存できませんでした  \r\n") + Cause + "  \r\n\r\n" + Note;
    }

    QTemporaryDir Dir;
    QList<TBox> Boxes;
    // Root writes into a read-only folder all the same; without its override it meets the folder as a user.
    TNoPermissionOverride NoOverride;
};

// The settings dialog's values and the device version of one press of "設定(&S)" meet a read-only folder:
// one box names the file and the cause, the file stays as it was, and the shut-down writes it all once the
// folder can be written again.
TEST_F(SettingsSaveTest, AFailedSaveIsToldOnceAndWrittenByTheNextSaveThatCan)
{
    SetWritable(false);
    Settings.SelectItem1 = QString::fromUtf16(u"用件");
    Settings.DLL = "33554439";
    EXPECT_FALSE(SaveSettings());
    EXPECT_FALSE(SaveDeviceVersion());
    ASSERT_EQ(Boxes.size(), 1);
    EXPECT_EQ(Boxes[0].Text, Expected(Denied, RetryNote));
    EXPECT_EQ(Boxes[0].Caption, QString::fromUtf16(u"Tolvane１６"));
    EXPECT_EQ(Boxes[0].Flags, unsigned(MB_OK | MB_ICONSTOP));
    EXPECT_EQ(Stored("SCREEN VIEW", "SelectItem1"), QString::fromUtf16(u"内容"));
    EXPECT_EQ(Stored("VERSION", "DLL"), "16");

    SetWritable(true);
    Settings.TopView = true;
    EXPECT_TRUE(SaveShutdownSettings());
    EXPECT_EQ(Boxes.size(), 1);
    EXPECT_EQ(Stored("SCREEN VIEW", "SelectItem1"), QString::fromUtf16(u"用件"));
    EXPECT_EQ(Stored("VERSION", "DLL"), "33554439");
    EXPECT_EQ(Stored("SCREEN VIEW", "TopView"), "1");

    // Written once, the file is told of anew when it fails again.
    SetWritable(false);
    EXPECT_FALSE(SaveDeviceVersion());
    EXPECT_EQ(Boxes.size(), 2);
}

TEST_F(SettingsSaveTest, WhoHearsOfAFailure)
{
    using S = TSettingsSave;
    struct TCase
    {
        const char* Name;
        QList<S> Saves;
        int Told;
        const QString* LastNote;
    };
    const TCase Cases[] = {
        {"confirmed values are told each time", {S::Confirmed, S::Confirmed}, 2, &RetryNote},
        {"window places once", {S::Kept, S::Kept, S::Kept}, 1, &RetryNote},
        {"a confirmation after places", {S::Kept, S::Confirmed}, 2, &RetryNote},
        {"places after a confirmation", {S::Confirmed, S::Kept, S::Last}, 1, &RetryNote},
        {"the end, first", {S::Last}, 1, &LostNote},
        {"a session's end", {S::Unattended}, 0, nullptr},
    };
    SetWritable(false);
    for (const TCase& Case : Cases) {
        ForgetUnsavedSettings();
        Boxes.clear();
        for (const S Who : Case.Saves) {
            EXPECT_FALSE(SaveSettingsFile(Who, [](TMemIniFile& Ini) { Ini.WriteString("X", "A", "9"); }));
        }
        ASSERT_EQ(Boxes.size(), Case.Told) << Case.Name;
        if (Case.LastNote) {
            EXPECT_EQ(Boxes.last().Text, Expected(Denied, *Case.LastNote)) << Case.Name;
        }
    }
}

// What waits is what the program meant last: a key set back to the value on disk, and a key deleted, are
// not undone by the older save that waited.
TEST_F(SettingsSaveTest, TheNewestChangeOfAKeyIsTheOneWritten)
{
    SetWritable(false);
    EXPECT_FALSE(SaveSettingsFile(TSettingsSave::Kept, [](TMemIniFile& Ini) {
        Ini.WriteString("X", "A", "1");
        Ini.DeleteKey("X", "B");
        Ini.WriteString("NEW", "First", "1");
    }));
    EXPECT_FALSE(SaveSettingsFile(TSettingsSave::Kept, [](TMemIniFile& Ini) {
        EXPECT_EQ(Ini.ReadString("X", "A", ""), "1") << "a writer sees what waits";
        Ini.WriteString("X", "A", "0");
    }));
    SetWritable(true);
    EXPECT_TRUE(SaveSettingsFile(TSettingsSave::Kept, [](TMemIniFile& Ini) { Ini.WriteString("NEW", "Second", "2"); }));
    EXPECT_EQ(Stored("X", "A"), "0");
    EXPECT_EQ(Stored("X", "B"), "<none>");
    EXPECT_EQ(TMemIniFile(SettingsFileName()).ReadSection("NEW"), QStringList({"First", "Second"}));

    // Changes that waited for one settings folder are not written into another.
    SetWritable(false);
    EXPECT_FALSE(SaveSettingsFile(TSettingsSave::Kept, [](TMemIniFile& Ini) { Ini.WriteString("X", "A", "5"); }));
    SetWritable(true);
    SettingsPath = Dir.filePath("other/");
    ASSERT_TRUE(QDir().mkpath(SettingsPath));
    EXPECT_TRUE(SaveSettingsFile(TSettingsSave::Kept, [](TMemIniFile& Ini) { Ini.WriteString("X", "C", "1"); }));
    EXPECT_EQ(Stored("X", "A"), "<none>");
}

} // namespace
