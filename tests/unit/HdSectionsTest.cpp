#include "main/controls/HdSections.h"

#include "main/controls/SortState.h"

#include <gtest/gtest.h>

TEST(HdSectionsTest, WidthsStayWithinTheirLimits)
{
    TMyCustomHeaderSections Sections;
    TMyCustomHeaderSection& Section = Sections.Add();
    EXPECT_EQ(Section.Width(), 50);
    Section.SetMinWidth(30);
    Section.SetWidth(20);
    EXPECT_EQ(Section.Width(), 30);
    Section.SetMaxWidth(20000);
    EXPECT_EQ(Section.MaxWidth(), 10000);
    Section.SetWidth(12000);
    EXPECT_EQ(Section.Width(), 10000);
    // Limits that cross are held at each other, and the width follows a lowered maximum.
    Section.SetMaxWidth(10);
    EXPECT_EQ(Section.MaxWidth(), 30);
    EXPECT_EQ(Section.Width(), 30);
    Section.SetMinWidth(-5);
    EXPECT_EQ(Section.MinWidth(), 0);
}

TEST(HdSectionsTest, ChangesAreReportedOncePerItemOrOnceForAnUpdate)
{
    TMyCustomHeaderSections Sections;
    Sections.Add();
    Sections.Add();
    QList<std::pair<int, bool>> Seen;
    Sections.OnChange = [&](int Index, bool Following) { Seen.append({Index, Following}); };
    Sections[0].SetWidth(70);
    Sections[1].SetWidth(70); // the last one moves nothing after it
    Sections[1].SetText(QStringLiteral("名前"));
    Sections.BeginUpdate();
    Sections[0].SetWidth(10);
    Sections[1].SetWidth(10);
    Sections.EndUpdate();
    const QList<std::pair<int, bool>> Expected{{0, true}, {1, false}, {1, false}, {-1, true}};
    EXPECT_EQ(Seen, Expected);
    EXPECT_EQ(Sections.TotalWidth(), 20);
    EXPECT_EQ(Sections.LeftOf(1), 10);
}

TEST(HdSectionsTest, MovingAndMirroring)
{
    TMyCustomHeaderSections Sections;
    for (const char* Text : {"A", "B", "C", "D"})
        Sections.Add().SetText(QLatin1String(Text));
    auto Order = [&] {
        QString Result;
        for (int I = 0; I < Sections.Count(); ++I)
            Result += Sections[I].Text();
        return Result;
    };
    Sections.Move(0, 2);
    EXPECT_EQ(Order(), QStringLiteral("BCAD"));
    Sections.Move(3, 0);
    EXPECT_EQ(Order(), QStringLiteral("DBCA"));
    Sections.Move(1, 9); // out of range: nothing
    EXPECT_EQ(Order(), QStringLiteral("DBCA"));
    EXPECT_EQ(Sections[2].Index(), 2);

    Sections[0].SetWidth(30); // D
    Sections[1].SetWidth(40);
    Sections[2].SetWidth(50);
    Sections[3].SetWidth(60); // A, the last: it shows the rest of the width
    Sections.Flip(300);
    EXPECT_EQ(Order(), QStringLiteral("ACBD"));
    EXPECT_EQ(Sections[0].Width(), 300 - 30 - 40 - 50);
    EXPECT_EQ(Sections[3].Width(), 30);
}

TEST(HdSectionsTest, AutoSizeSectionsShareTheFreeWidth)
{
    const struct
    {
        const char* Name;
        int Fixed;      // width of one fixed section in front, 0 for none
        int MaxOfFirst; // maximum of the first auto-size section
        int Client;
        QList<int> Expected; // widths of the three auto-size sections
    } Cases[] = {
        {"remainder to the first", 0, 10000, 301, {101, 100, 100}},
        {"one held by its maximum", 0, 50, 301, {50, 126, 125}},
        {"fixed section taken off first", 100, 10000, 401, {101, 100, 100}},
        {"no room", 400, 10000, 300, {0, 0, 0}},
    };
    for (const auto& Case : Cases) {
        TMyCustomHeaderSections Sections;
        if (Case.Fixed > 0)
            Sections.Add().SetWidth(Case.Fixed);
        const int First = Sections.Count();
        for (int I = 0; I < 3; ++I)
            Sections.Add().SetAutoSize(true);
        Sections[First].SetMaxWidth(Case.MaxOfFirst);
        int Changes = 0;
        Sections.OnChange = [&](int, bool) { ++Changes; };
        AutoSizeSections(Sections, Case.Client);
        QList<int> Widths;
        for (int I = First; I < Sections.Count(); ++I)
            Widths << Sections[I].Width();
        EXPECT_EQ(Widths, Case.Expected) << Case.Name;
        EXPECT_EQ(Changes, 1) << Case.Name;
    }
}

TEST(HdSectionsTest, DividerTrackHoldsTheWidthInsideTheLimits)
{
    TMyCustomHeaderSections Sections;
    TMyCustomHeaderSection& Section = Sections.Add();
    Section.SetWidth(100);
    Section.SetMinWidth(40);
    Section.SetMaxWidth(150);
    TDividerTrack Track;
    EXPECT_FALSE(Track.Active());
    Track.Begin(0, 100, 100);
    EXPECT_EQ(Track.WidthAt(130, Section), 130);
    EXPECT_EQ(Track.WidthAt(400, Section), 150);
    EXPECT_EQ(Track.WidthAt(10, Section), 40);
    Track.End();
    EXPECT_FALSE(Track.Active());

    TColumnWidthTracker Columns;
    EXPECT_FALSE(Columns.TrackEnd(80)); // no drag running
    Columns.TrackBegin(80);
    EXPECT_TRUE(Columns.Tracking());
    EXPECT_FALSE(Columns.TrackEnd(80)); // came back where it started
    EXPECT_FALSE(Columns.Tracking());
    Columns.TrackBegin(80);
    EXPECT_TRUE(Columns.TrackEnd(95));
}

TEST(SortStateTest, ClicksCycleThroughTheAllowedDirections)
{
    const struct
    {
        const char* Name;
        TSortDirs Dirs;
        QList<TSortDir> AfterClicks; // SortDir after each click on the sorted column
        int Events;
    } Cases[] = {
        {"asc and desc alternate", {sdAsc, sdDesc}, {sdDesc, sdAsc, sdDesc}, 3},
        {"all three", {sdAsc, sdDesc, sdNone}, {sdDesc, sdNone, sdAsc}, 3},
        {"none only", {sdNone}, {sdNone, sdNone}, 0},
    };
    for (const auto& Case : Cases) {
        TSortState State;
        State.SetSortDirs(Case.Dirs);
        int Events = 0;
        State.OnSortChange = [&](int Old, int New) {
            EXPECT_EQ(Old, 0);
            EXPECT_EQ(New, 0);
            ++Events;
        };
        for (TSortDir Expected : Case.AfterClicks) {
            State.ColumnClick(0);
            EXPECT_EQ(State.SortDir(), Expected) << Case.Name;
        }
        EXPECT_EQ(Events, Case.Events) << Case.Name;
    }
}

TEST(SortStateTest, IndexAndDirectionSetters)
{
    TSortState State;
    QList<std::pair<int, int>> Seen;
    State.OnSortChange = [&](int Old, int New) { Seen.append({Old, New}); };
    State.SetSortDir(sdDesc);
    State.ColumnClick(3); // another column starts at the first allowed direction
    EXPECT_EQ(State.SortIndex(), 3);
    EXPECT_EQ(State.SortDir(), sdAsc);
    State.SetSortIndex(7, 5); // beyond the last column
    EXPECT_EQ(State.SortIndex(), 0);
    State.SetSortDir(sdNone); // not allowed: ignored
    EXPECT_EQ(State.SortDir(), sdAsc);
    State.SetSortDirs({sdDesc});
    EXPECT_EQ(State.SortDir(), sdDesc);
    State.SetSortDirs({}); // the empty set is ignored
    EXPECT_EQ(State.SortDirs(), TSortDirs({sdDesc}));
    const QList<std::pair<int, int>> Expected{{0, 0}, {0, 3}, {3, 0}, {0, 0}};
    EXPECT_EQ(Seen, Expected);
}
