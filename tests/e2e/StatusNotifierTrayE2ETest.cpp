#include "tests/support/ProgramHarness.h"
#include "tests/support/StatusNotifierHost.h"
#include "tests/support/XDesktop.h"

#include <QDBusObjectPath>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// The program in the notification area of a panel that speaks StatusNotifier (KDE Plasma, the XFCE and
// LXQt panels, GNOME's AppIndicator extension): such a panel shows only the menu the item exports and
// sends a click as the item's Activate.
class StatusNotifierTrayE2ETest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const QString& Missing : {TXDesktop::Missing(), TStatusNotifierHost::Missing()})
            if (!Missing.isEmpty())
                GTEST_SKIP() << Missing.toStdString();
        Desktop = std::make_unique<TXDesktop>(Program.TempPath(QStringLiteral("desktop-ready")));
        ASSERT_TRUE(Desktop->Ready);
        Panel = std::make_unique<TStatusNotifierHost>();
        if (!Panel->Ready)
            GTEST_SKIP() << "a private session bus could not be started here";
        Desktop->Host(Program);
        Panel->Host(Program);
        Program.SetSetting(QStringLiteral("SCREEN VIEW"), QStringLiteral("MenuVisible"), QStringLiteral("0"));
        ASSERT_TRUE(Program.StartAndWaitForLine());
        Item = Panel->WaitForItem();
        ASSERT_FALSE(Item.isEmpty()) << "the program registered no item with the watcher";
    }

    // The path of the item's exported menu and its entries.
    void ReadMenu()
    {
        const QVariant Menu = Panel->ItemProperty(Item, QStringLiteral("Menu"));
        ASSERT_TRUE(Menu.canConvert<QDBusObjectPath>());
        MenuPath = Menu.value<QDBusObjectPath>().path();
        ASSERT_NE(MenuPath, QStringLiteral("/NO_DBUSMENU")) << "the item exports no menu";
        bool Ok = false;
        Entries = Panel->MenuLayout(Item, MenuPath, &Ok);
        ASSERT_TRUE(Ok) << "GetLayout failed on " << MenuPath.toStdString();
    }
    [[nodiscard]] int EntryId(const QString& Label) const
    {
        for (const TStatusNotifierHost::TMenuEntry& Entry : Entries)
            if (Entry.Label == Label)
                return Entry.Id;
        return -1;
    }

    TProgramHarness Program;
    std::unique_ptr<TXDesktop> Desktop;
    std::unique_ptr<TStatusNotifierHost> Panel;
    QString Item;
    QString MenuPath;
    QList<TStatusNotifierHost::TMenuEntry> Entries;
};

TEST_F(StatusNotifierTrayE2ETest, ThePanelShowsTheTrayMenu)
{
    ReadMenu();
    if (HasFatalFailure())
        return;
    QStringList Labels;
    for (const TStatusNotifierHost::TMenuEntry& Entry : Entries)
        Labels << (Entry.Separator ? QStringLiteral("-") : Entry.Label);
    // DBusMenu marks a mnemonic with an underscore where the menu has "&"; the menu window is hidden, so
    // the option offers to show it.
    const QStringList Expected = {
        QStringLiteral("着信対応履歴(_R)"),
        QStringLiteral("登録名簿(_M)"),
        QStringLiteral("-"),
        QStringLiteral("テキストファイル取り込み(_I)"),
        QStringLiteral("テキストファイル出力(_O)"),
        QStringLiteral("着信履歴取り込み(_G)"),
        QStringLiteral("一覧表印刷(_L)"),
        QStringLiteral("-"),
        QStringLiteral("環境設定(_E)"),
        QStringLiteral("ユーティリティ(_U)"),
        QStringLiteral("-"),
        QStringLiteral("メニューを表示する(_V)"),
        QStringLiteral("常に前面に表示する(_T)"),
        QStringLiteral("-"),
        QStringLiteral("操作ガイド(_H)"),
        QStringLiteral("バージョン情報(_A)"),
        QStringLiteral("ユーザー登録(_R)"),
        QStringLiteral("-"),
        QStringLiteral("終了(_X)"),
    };
    EXPECT_EQ(Labels, Expected) << Labels.join(QLatin1Char('|')).toStdString();
    ASSERT_FALSE(Entries.isEmpty());
    EXPECT_TRUE(Entries.first().Enabled);
}

// The panel's click is the tray's double click: the call-history list opens on the display.
TEST_F(StatusNotifierTrayE2ETest, ThePanelsClickOpensTheCallHistoryList)
{
    EXPECT_FALSE(Desktop->Shows(QStringLiteral("着信対応履歴一覧")));
    ASSERT_TRUE(Panel->Activate(Item));
    EXPECT_NE(Desktop->WaitForWindow(QStringLiteral("着信対応履歴一覧")), 0u);
    Desktop->Screenshot(QStringLiteral("sni-activate"));
}

// While a modal window is open the tray offers nothing: neither the panel's click nor an entry of the
// menu the panel still shows opens another window.
TEST_F(StatusNotifierTrayE2ETest, NothingOpensFromThePanelWhileAModalWindowIsOpen)
{
    ReadMenu();
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(Panel->ClickMenuEntry(Item, MenuPath, EntryId(QStringLiteral("環境設定(_E)"))));
    ASSERT_NE(Desktop->WaitForWindow(QStringLiteral("環境設定")), 0u);
    ASSERT_TRUE(Panel->Activate(Item));
    ASSERT_TRUE(Panel->ClickMenuEntry(Item, MenuPath, EntryId(QStringLiteral("着信対応履歴(_R)"))));
    ASSERT_TRUE(Panel->ClickMenuEntry(Item, MenuPath, EntryId(QStringLiteral("バージョン情報(_A)"))));
    QThread::msleep(1500);
    EXPECT_FALSE(Desktop->Shows(QStringLiteral("着信対応履歴一覧")));
    EXPECT_FALSE(Desktop->Shows(QStringLiteral("バージョン情報")));
}

// The menu the panel shows greys its entries while a modal window is open, as the tray offers none then,
// and gives them back as they were once it is closed.
TEST_F(StatusNotifierTrayE2ETest, TheMenuIsGreyedWhileAModalWindowIsOpen)
{
    ReadMenu();
    if (HasFatalFailure())
        return;
    const QList<TStatusNotifierHost::TMenuEntry> Idle = Entries;
    ASSERT_TRUE(Panel->ClickMenuEntry(Item, MenuPath, EntryId(QStringLiteral("環境設定(_E)"))));
    ASSERT_NE(Desktop->WaitForWindow(QStringLiteral("環境設定")), 0u);
    const auto Offered = [this] {
        QStringList Labels;
        for (const TStatusNotifierHost::TMenuEntry& Entry : Entries)
            if (!Entry.Separator && Entry.Enabled)
                Labels << Entry.Label;
        return Labels;
    };
    // The window's own opening takes a moment past its showing.
    for (int Poll = 0; Poll < 30 && (ReadMenu(), !Offered().isEmpty()); ++Poll)
        QThread::msleep(100);
    EXPECT_EQ(Offered(), QStringList()) << Offered().join(u'|').toStdString();

    Program.AnswerDialog(QStringLiteral("Environment"), {}, QStringLiteral("btnCancel"));
    for (int Poll = 0; Poll < 50 && (ReadMenu(), Entries != Idle); ++Poll)
        QThread::msleep(100);
    EXPECT_EQ(Entries, Idle);
    EXPECT_FALSE(Idle.isEmpty() || Offered().isEmpty());
}

} // namespace
