#include "main/device/VxComm.h"

#include "platform/msg/CoreMessage.h"

#include <QStringList>
#include <cstring>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <vector>

namespace {

QString FixtureFolder(const char* Name)
{
    return QStringLiteral(VX_FIXTURE_DIR "/") + QLatin1String(Name) + QLatin1Char('/');
}

// How often a fixture library's export was called, asked of the copy the wrapper has loaded.
int CallsOf(const char* Fixture, const char* Export)
{
    const QByteArray Path = (FixtureFolder(Fixture) + QStringLiteral("VxComm3.so")).toLocal8Bit();
    void* Handle = dlopen(Path.constData(), RTLD_NOW | RTLD_NOLOAD);
    if (Handle == nullptr)
        return -1;
    using TFixtureCalls = int (*)(const char*);
    const auto Calls = reinterpret_cast<TFixtureCalls>(dlsym(Handle, "FixtureCalls"));
    const int Result = Calls != nullptr ? Calls(Export) : -1;
    dlclose(Handle);
    return Result;
}

// Collects what the wrapper would have shown in message boxes.
class VxCommDLLTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetCoreMessageBox([this](const QString& Text, const QString&, unsigned Flags) {
            Shown << Text;
            ShownFlags.push_back(Flags);
            return 1;
        });
    }
    void TearDown() override { SetCoreMessageBox({}); }

    QStringList Shown;
    std::vector<unsigned> ShownFlags;
    TWindowHandle Window{[](void*, std::uint32_t, std::uintptr_t, std::intptr_t) -> std::intptr_t { return 0; },
                         nullptr};
};

} // namespace

TEST_F(VxCommDLLTest, LoadFailuresShowTheLibrarysMessageAndGiveNoWrapper)
{
    const struct
    {
        QString Folder;
        int IP;
        QString Message;
    } Cases[] = {
        {FixtureFolder("nohistory"), 0,
         QStringLiteral("GetHistory (VxComm3.so) GetProcAddress Error\r\n関数の割り当てに失敗しました")},
        {QStringLiteral("/nonexistent/"), 0,
         QStringLiteral("VxComm3.so LoadLibrary Error\r\nDLLのロードに失敗しました")},
        {QStringLiteral("/nonexistent/"), 1,
         QStringLiteral("VxComm3ip.so LoadLibrary Error\r\nDLLのロードに失敗しました")},
    };
    for (const auto& Case : Cases) {
        Shown.clear();
        ShownFlags.clear();
        EXPECT_EQ(TVxCommDLL::Create(&Window, Case.IP, Case.Folder), nullptr);
        ASSERT_EQ(Shown.size(), 1) << Case.Message.toStdString();
        EXPECT_EQ(Shown[0], Case.Message);
        EXPECT_EQ(ShownFlags[0], 0x10u);
    }
    EXPECT_EQ(CallsOf("nohistory", "GetKinds2"), -1) << "a library that failed to bind stays unloaded";
}

TEST_F(VxCommDLLTest, ALibraryWithoutTheExtendedOpenOpensWithThePlainOne)
{
    auto Wrapper = TVxCommDLL::Create(&Window, 0, FixtureFolder("noopenex"));
    ASSERT_NE(Wrapper, nullptr);
    EXPECT_TRUE(Shown.isEmpty());
    EXPECT_FALSE(Wrapper->HasOpenEx());
    EXPECT_EQ(Wrapper->DLLName(), QStringLiteral("VxComm3.so"));
    EXPECT_EQ(Wrapper->OpenResult(), -1);
    EXPECT_EQ(Wrapper->GetVersion(), 0x01000005);

    Wrapper->OpenEx(0, 1);
    EXPECT_EQ(Wrapper->OpenResult(), 0);
    EXPECT_EQ(CallsOf("noopenex", "OpenCommLine"), 1);

    // Bound behind the missing export, these must still work.
    Wrapper->Dial(1, QStringLiteral("0312345678"));
    std::int32_t Count = 0;
    EXPECT_TRUE(Wrapper->GetHistory(7, Count, nullptr));
    Wrapper->Close();
    Wrapper->Close();
    EXPECT_EQ(Wrapper->OpenResult(), -1);
    EXPECT_EQ(CallsOf("noopenex", "VxCommDial"), 1);
    EXPECT_EQ(CallsOf("noopenex", "CloseCommLine"), 1) << "a closed line is not closed twice";
}

TEST_F(VxCommDLLTest, ALineThatDidNotOpenIsNeverClosed)
{
    auto Wrapper = TVxCommDLL::Create(&Window, 0, FixtureFolder("openbusy"));
    ASSERT_NE(Wrapper, nullptr);
    Wrapper->Close(); // never opened
    Wrapper->Open();
    EXPECT_EQ(Wrapper->OpenResult(), 1);
    Wrapper->Close();
    EXPECT_EQ(Wrapper->OpenResult(), 1);
    Wrapper->OpenEx(0, 0);
    EXPECT_EQ(CallsOf("openbusy", "OpenCommLineEx"), 1);
    Wrapper->Close();
    EXPECT_EQ(CallsOf("openbusy", "CloseCommLine"), 0);
}

TEST_F(VxCommDLLTest, KindListAndSelection)
{
    auto Empty = TVxCommDLL::Create(&Window, 0, FixtureFolder("zerokinds"));
    ASSERT_NE(Empty, nullptr);
    EXPECT_FALSE(Empty->LoadKinds());
    EXPECT_TRUE(Empty->Kinds().isEmpty());
    EXPECT_TRUE(Empty->SelectKind(0));

    auto Wrapper = TVxCommDLL::Create(&Window, 0, FixtureFolder("overcount"));
    ASSERT_NE(Wrapper, nullptr);
    ASSERT_TRUE(Wrapper->LoadKinds());
    ASSERT_EQ(Wrapper->Kinds().size(), 2) << "a count beyond the buffer is not believed";
    EXPECT_EQ(AdapterKindName(Wrapper->Kinds()[1]), QStringLiteral("Fixture B"));

    EXPECT_TRUE(Wrapper->SelectKind(8));
    EXPECT_EQ(Wrapper->SelectedKind().Kind, 8);
    EXPECT_FALSE(Wrapper->SelectKind(99));
    EXPECT_EQ(Wrapper->SelectedKind().Kind, 8) << "an unlisted kind leaves the selection";
    EXPECT_TRUE(Wrapper->SelectKind(0));
    const TAdapterKind Zero{};
    EXPECT_EQ(std::memcmp(&Wrapper->SelectedKind(), &Zero, sizeof(Zero)), 0);

    // The library claims 50 entries more than the room it was given.
    std::vector<TDeviceHistoryEntry> Buffer(4);
    std::int32_t Count = 4;
    EXPECT_TRUE(Wrapper->GetHistory(7, Count, Buffer.data()));
    EXPECT_EQ(Count, 4);
}
