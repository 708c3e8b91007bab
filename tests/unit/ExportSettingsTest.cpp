#include "transfer/export/ExportSettings.h"

#include "platform/ini/IniFile.h"

#include <gtest/gtest.h>

namespace {

TMemIniFile IniOf(const QByteArray& Bytes)
{
    TMemIniFile Ini(QStringLiteral("/nonexistent/VxRelvo16.ini"));
    Ini.FromBytes(Bytes);
    return Ini;
}

// The layout as "1:0 0:3 2:4": column number and item of each entry.
QString Shape(const TExportLayout& Layout)
{
    QStringList Parts;
    for (const TExportLayoutEntry& E : Layout)
        Parts << QStringLiteral("%1:%2").arg(E.ColumnNo).arg(E.ItemIndex);
    return Parts.join(u' ');
}

} // namespace

TEST(ExportSettingsTest, ReadingRules)
{
    TExportState State;
    ReadExportSettings(IniOf("[OTHER]\nx=1\n"), State);
    EXPECT_EQ(State.Settings.Source, 0);
    EXPECT_EQ(State.Settings.Range, 0);
    EXPECT_EQ(State.Settings.Type, 0);
    EXPECT_TRUE(State.Settings.OutHeader && State.Settings.EditTelHyphen && State.Settings.EditPosHyphen);
    EXPECT_FALSE(State.Settings.BindDblQuote || State.Settings.EditDate || State.Settings.EditTime);
    EXPECT_TRUE(State.History.isEmpty() && State.Meibo.isEmpty());

    ReadExportSettings(IniOf("[FILE EXPORT]\nSource=1\nRange=5\nTYPE=2\nOutHeader=abc\nBindDblQuote=7\n"
                             "RecvHisLayout1=0,3\nRecvHisLayout3=2\nAddMeiboLayout1=1\nAddMeiboLayout2=4,x\n"
                             "AddMeiboLayout3=5\n"),
                       State);
    EXPECT_EQ(State.Settings.Source, 1);
    EXPECT_EQ(State.Settings.Range, 0);
    EXPECT_EQ(State.Settings.Type, 0);
    EXPECT_TRUE(State.Settings.OutHeader);
    EXPECT_TRUE(State.Settings.BindDblQuote);
    // A missing key ends the layout; so does a malformed one.
    EXPECT_EQ(Shape(State.History), QStringLiteral("1:0 0:3"));
    EXPECT_EQ(Shape(State.Meibo), QStringLiteral("1:1"));
    ReadExportSettings(IniOf("[FILE EXPORT]\nRange=-1\nType=1\n"), State);
    EXPECT_EQ(State.Settings.Range, 0);
    EXPECT_EQ(State.Settings.Type, 1);

    for (const char* Bad : {"", ",", "1,", "-1", "1 ,2", "１", "1;2", "12345"}) {
        EXPECT_FALSE(ParseLayoutKey(QString::fromUtf8(Bad))) << Bad;
    }
    EXPECT_EQ(ParseLayoutKey("27,0,3"), QList<int>({27, 0, 3}));
}

TEST(ExportSettingsTest, SavingRewritesLayoutKeys)
{
    TMemIniFile Ini = IniOf("[FILE EXPORT]\nRecvHisLayout1=0\nRecvHisLayout3=2\nAddMeiboLayout7=1\n");
    TExportState State;
    ReadExportSettings(Ini, State);
    State.Meibo = {{1, 3}, {0, 4}, {2, 27}};
    WriteExportSettings(Ini, State);
    EXPECT_EQ(Ini.ReadString(ExportSection, "RecvHisLayout1", {}), QStringLiteral("0"));
    EXPECT_FALSE(Ini.ValueExists(ExportSection, "RecvHisLayout3"));
    EXPECT_FALSE(Ini.ValueExists(ExportSection, "AddMeiboLayout7"));
    EXPECT_EQ(Ini.ReadString(ExportSection, "AddMeiboLayout1", {}), QStringLiteral("3,4"));
    EXPECT_EQ(Ini.ReadString(ExportSection, "AddMeiboLayout2", {}), QStringLiteral("27"));
    EXPECT_EQ(Ini.ReadString(ExportSection, "Type", {}), QStringLiteral("0"));
    TExportState Back;
    ReadExportSettings(Ini, Back);
    EXPECT_EQ(Back.Meibo, State.Meibo);
}

TEST(ExportSettingsTest, LayoutEditing)
{
    TExportLayout Layout;
    TLayoutEditor Editor(Layout);
    // Set on the empty last row appends a column; Add on a middle row joins that row's column.
    EXPECT_EQ(Editor.Set(0, 5), 1);
    EXPECT_EQ(Editor.Set(1, 6), 2);
    EXPECT_EQ(Editor.Set(2, 7), 3);
    EXPECT_EQ(Shape(Layout), QStringLiteral("1:5 2:6 3:7"));
    EXPECT_EQ(Editor.Add(1, 9), 2);
    EXPECT_EQ(Shape(Layout), QStringLiteral("1:5 2:6 0:9 3:7"));
    // Set before a row inserts a column there and renumbers.
    EXPECT_EQ(Editor.Set(0, 1), 1);
    EXPECT_EQ(Shape(Layout), QStringLiteral("1:1 2:5 3:6 0:9 4:7"));

    // Up on row 1 holding a continuation does nothing.
    TExportLayout Pair{{1, 0}, {0, 3}};
    TLayoutEditor PairEditor(Pair);
    EXPECT_FALSE(PairEditor.CanUp(1));
    EXPECT_EQ(PairEditor.Up(1), 1);
    EXPECT_EQ(Shape(Pair), QStringLiteral("1:0 0:3"));
    // Down from row 0 makes the second entry start the column.
    EXPECT_EQ(PairEditor.Down(0), 1);
    EXPECT_EQ(Shape(Pair), QStringLiteral("1:3 2:0"));
    EXPECT_EQ(PairEditor.Down(1), 2); // the last entry only moves the selection
    EXPECT_FALSE(PairEditor.CanDown(1));
    EXPECT_EQ(PairEditor.Up(2), 1); // the empty row only moves the selection

    // Deleting the first of a column of two leaves a column of one; a column of one goes.
    TExportLayout Del{{1, 0}, {0, 3}, {2, 4}, {3, 5}};
    TLayoutEditor DelEditor(Del);
    DelEditor.Delete(0);
    EXPECT_EQ(Shape(Del), QStringLiteral("1:3 2:4 3:5"));
    DelEditor.Delete(1);
    EXPECT_EQ(Shape(Del), QStringLiteral("1:3 2:5"));
    DelEditor.Delete(2); // the empty row deletes the last entry
    EXPECT_EQ(Shape(Del), QStringLiteral("1:3"));

    // A hundred entries refuse Set and Add.
    TExportLayout Full;
    TLayoutEditor FullEditor(Full);
    for (int I = 0; I < MaxExportEntries; ++I) {
        ASSERT_GT(FullEditor.Set(I, I % ExportItemCount), 0);
    }
    const TExportLayout Before = Full;
    EXPECT_EQ(FullEditor.Set(0, 1), -1);
    EXPECT_EQ(FullEditor.Add(0, 1), -1);
    EXPECT_EQ(Full, Before);
    FullEditor.SetAll();
    EXPECT_EQ(Full.size(), ExportItemCount);
    EXPECT_EQ(Full.last(), (TExportLayoutEntry{28, 27}));
}
