#include "transfer/print/ListRender.h"

#include "main/common/CommonFonts.h"
#include "tests/support/RecordingDevice.h"
#include "transfer/print/ListItemText.h"

#include <QMap>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

class THeightIsPixelSize final : public TListTextMetrics
{
public:
    QSize LetterBox(const QFont& Font) const override { return {Font.pixelSize() / 2, Font.pixelSize()}; }
};

// Rows of made-up texts, by item number.
class TRowsWalk final : public TListRecordWalk
{
public:
    QList<QMap<int, QString>> Rows;
    int At = 0;
    bool AtEnd() const override { return At >= Rows.size(); }
    void Next() override { ++At; }
    QString GetItemText(int ItemNo) override { return Rows[At].value(ItemNo); }
    int RunningNumber() const override { return At + 1; }
};

TRowsWalk Rows(int Count)
{
    TRowsWalk Walk;
    for (int I = 0; I < Count; ++I)
        Walk.Rows.append({{6, QStringLiteral("会社%1").arg(I + 1)}});
    return Walk;
}

// A4 at 600 dpi; with the metrics above u = 37, h = 75, g = 38 at 9 points.
constexpr int FrameWidth = 4961;
constexpr int FrameHeight = 7016;
constexpr int H = 75;
constexpr int G = 38;

TPrintSettings Plain()
{
    TPrintSettings S;
    S.FontName = MsGothicFontName;
    S.FontSize = 9;
    S.FontCharset = 128;
    S.RowCount = 1;
    S.HorzInterval = 1;
    S.PrintDate = 45000;
    S.Copies = 1;
    return S;
}

TListPage PageOf(const TPrintSettings& S, const TLayout& Layout = {{1, 5}, {6, 50}}, int PerPage = 52)
{
    TListPage Page;
    Page.Settings = &S;
    Page.Layout = Layout;
    const QList<PrintItem> Items = BuildItemTable(SourceRecvHis, {}, {}, {});
    for (const LayoutEntry& Entry : Layout)
        Page.Headers << GetHeaderText(SourceRecvHis, Entry.ItemNo, Items);
    Page.RecordsPerPage = PerPage;
    Page.DpiX = Page.DpiY = 600;
    Page.Frame = QRect(0, 0, FrameWidth, FrameHeight);
    return Page;
}

struct TDrawn
{
    std::unique_ptr<TRecordingDevice> Device = std::make_unique<TRecordingDevice>(FrameWidth, FrameHeight, 600);
    bool More = false;
    TRecordingEngine& Log() const { return Device->Engine; }
};

TDrawn Draw(const TListPage& Page, TListRecordWalk& Walk, const TListTextMetrics& Metrics = THeightIsPixelSize())
{
    TDrawn Drawn;
    QPainter Painter(Drawn.Device.get());
    Drawn.More = TListPageRenderer(Metrics).Render(Painter, Page, Walk);
    return Drawn;
}

int HeaderTop(const TDrawn& Drawn)
{
    const auto Found = Drawn.Log().TextsWith(QStringLiteral("No."));
    return Found.isEmpty() ? -1 : Found.first().Clip.top();
}

// The rows on which horizontal lines lie, in groups of adjacent rows.
QList<QList<int>> HorizontalRuleGroups(const TRecordingEngine& Log)
{
    QList<int> Ys;
    for (const auto& Line : Log.Lines)
        if (Line.Line.y1() == Line.Line.y2() && !Ys.contains(Line.Line.y1()))
            Ys << Line.Line.y1();
    std::sort(Ys.begin(), Ys.end());
    QList<QList<int>> Groups;
    for (int Y : Ys) {
        if (Groups.isEmpty() || Groups.last().last() + 1 != Y)
            Groups.append(QList<int>());
        Groups.last() << Y;
    }
    return Groups;
}

TEST(ListRenderTest, TheTableStartsHalfAGapBelowTheMarginOrBelowATopDate)
{
    TPrintSettings S = Plain();
    S.OffsetY = 100; // 236 pixels
    TRowsWalk Walk = Rows(3);
    EXPECT_EQ(HeaderTop(Draw(PageOf(S), Walk)), 236 + G / 2);
    S.Line[RuleTop] = true;
    S.LineType[RuleTop] = 2; // 19 pixels wide
    Walk.At = 0;
    EXPECT_EQ(HeaderTop(Draw(PageOf(S), Walk)), 236 + G / 2 + 9);
    S.ViewDate = true;
    Walk.At = 0;
    EXPECT_EQ(HeaderTop(Draw(PageOf(S), Walk)), 236 + H + G);
}

TEST(ListRenderTest, DateAndPageNumberStandInTheirColumnsAndLines)
{
    struct TCase
    {
        const char* What;
        int DatePosY, PagePosY, DatePosX, PagePosX;
        int DateTop, PageTop;
    };
    const int Bottom = FrameHeight;
    const TCase Cases[] = {
        {"bottom, one column", 1, 1, 2, 2, Bottom - 2 * H, Bottom - H},
        {"bottom, two columns", 1, 1, 0, 2, Bottom - H, Bottom - H},
        {"top, one column", 0, 0, 2, 2, 0, H},
        {"top, two columns", 0, 0, 0, 2, 0, 0},
    };
    for (const TCase& Case : Cases) {
        TPrintSettings S = Plain();
        S.ViewDate = S.ViewPage = true;
        S.DatePosY = Case.DatePosY;
        S.PagePosY = Case.PagePosY;
        S.DatePosX = Case.DatePosX;
        S.PagePosX = Case.PagePosX;
        TRowsWalk Walk = Rows(2);
        const TDrawn Drawn = Draw(PageOf(S), Walk);
        EXPECT_EQ(Drawn.Log().TextsWith(QStringLiteral("2023/ 3/15")).value(0).Clip.top(), Case.DateTop) << Case.What;
        EXPECT_EQ(Drawn.Log().TextsWith(QStringLiteral("Page. 1")).value(0).Clip.top(), Case.PageTop) << Case.What;
        if (Case.DatePosY == 0) {
            EXPECT_EQ(HeaderTop(Drawn), Case.PageTop + H + G) << Case.What;
        }
    }
}

TEST(ListRenderTest, TheTitleTurnsBoldOnlyForThePlainAndItalicStyles)
{
    struct TCase
    {
        int Style;
        bool Bold, Italic;
    };
    for (const TCase& Case :
         {TCase{0, true, false}, TCase{2, true, true}, TCase{1, true, false}, TCase{3, true, true}}) {
        TPrintSettings S = Plain();
        S.Title = QStringLiteral("着信一覧");
        S.FontStyle = Case.Style;
        TRowsWalk Walk = Rows(1);
        const TDrawn Drawn = Draw(PageOf(S), Walk);
        const auto Title = Drawn.Log().TextsWith(QStringLiteral("着信一覧"));
        ASSERT_FALSE(Title.isEmpty());
        EXPECT_EQ(Title[0].Font.bold(), Case.Bold) << Case.Style;
        EXPECT_EQ(Title[0].Font.italic(), Case.Italic) << Case.Style;
        EXPECT_EQ(Title[0].Font.pixelSize(), 100);
        // The title box is two title letters high; the header follows right under it.
        EXPECT_EQ(HeaderTop(Drawn), 200);
    }
}

TEST(ListRenderTest, ALayoutWiderThanTheFrameIsCutAtTheEdgeWithTheRightRuleThere)
{
    TPrintSettings S = Plain();
    S.Line[RuleRight] = true;
    TRowsWalk Walk;
    Walk.Rows = {{{5, QStringLiteral("ｶﾅ")}, {6, QStringLiteral("漢字")}, {7, QStringLiteral("ﾅﾏｴ")}}};
    const TDrawn Drawn = Draw(PageOf(S, {{5, 100}, {6, 100}, {7, 14}}), Walk);
    const int Edge = FrameWidth - (2 * 37) / 3;
    EXPECT_EQ(Drawn.Log().TextsWith(QStringLiteral("漢字")).value(0).Clip.right() + 1, Edge);
    EXPECT_TRUE(Drawn.Log().TextsWith(QStringLiteral("ﾅﾏｴ")).isEmpty());
    int RightMost = 0;
    for (const auto& Line : Drawn.Log().Lines)
        RightMost = std::max(RightMost, Line.Line.x1());
    EXPECT_EQ(RightMost, FrameWidth);
}

TEST(ListRenderTest, InnerRulesFollowEveryIntervalButNeverThePagesOrTheSourcesLastRow)
{
    TPrintSettings S = Plain();
    S.Line[RuleInnerHorz] = true;
    S.HorzInterval = 3;
    TRowsWalk Walk = Rows(7);
    const TDrawn Full = Draw(PageOf(S, {{6, 10}}, 7), Walk);
    const auto Groups = HorizontalRuleGroups(Full.Log());
    ASSERT_EQ(Groups.size(), 2);
    // The header takes h + g from the top, each row h + g; a rule stands in the gap under its row.
    const int Top = G / 2 + H + G;
    const int HalfRule = (RuleWidth(0, 6.25) - 1) / 2;
    EXPECT_EQ(Groups[0].first(), Top + 3 * (H + G) - G + G / 2 - HalfRule);
    EXPECT_EQ(Groups[1].first(), Top + 6 * (H + G) - G + G / 2 - HalfRule);
    EXPECT_FALSE(Full.More);

    Walk = Rows(6);
    EXPECT_EQ(HorizontalRuleGroups(Draw(PageOf(S, {{6, 10}}, 7), Walk).Log()).size(), 1);
}

TEST(ListRenderTest, RowColoursAlternateAndStartAgainOnEachPage)
{
    TPrintSettings S = Plain();
    S.Colors = {0x0000FF, 0x00FF00};
    TRowsWalk Walk = Rows(5);
    const TListPage Page = PageOf(S, {{6, 10}}, 3);
    const TDrawn First = Draw(Page, Walk);
    EXPECT_TRUE(First.More);
    const TDrawn Second = Draw(Page, Walk);
    EXPECT_FALSE(Second.More);
    QList<QColor> Colours;
    for (const auto& Fill : First.Log().Fills + Second.Log().Fills)
        Colours << Fill.Color;
    EXPECT_EQ(Colours, (QList<QColor>{Qt::red, Qt::green, Qt::red, Qt::red, Qt::green}));
}

TEST(ListRenderTest, NoRecordsPerPageDrawsTheHeaderAlone)
{
    TPrintSettings S = Plain();
    S.ViewPage = true;
    TRowsWalk Walk = Rows(3);
    for (int PerPage : {0, -4}) {
        Walk.At = 0;
        TListPage Page = PageOf(S, {{1, 5}, {6, 50}}, PerPage);
        Page.PageCount = PageCountOf(3, PerPage);
        const TDrawn Drawn = Draw(Page, Walk);
        EXPECT_FALSE(Drawn.More);
        EXPECT_NE(HeaderTop(Drawn), -1);
        EXPECT_TRUE(Drawn.Log().TextsWith(QStringLiteral("会社1")).isEmpty());
        EXPECT_EQ(Walk.At, 0);
    }
}

TEST(ListRenderTest, ThePreviewOutlinesTheFrameInLightGrey)
{
    TPrintSettings S = Plain();
    TListPage Page = PageOf(S);
    Page.Outline = true;
    Page.Frame = QRect(100, 120, 4000, 6000);
    TRowsWalk Walk = Rows(1);
    const TDrawn Drawn = Draw(Page, Walk);
    ASSERT_EQ(Drawn.Log().Outlines.size(), 1);
    EXPECT_EQ(Drawn.Log().Outlines[0], QRect(100, 120, 3999, 5999));
    EXPECT_EQ(HeaderTop(Drawn), 120 + G / 2);
}

// With the real fonts, a full page keeps its last row, its bottom rule and the bottom lines inside
// the frame, whatever the font size, rows per record, title and positions.
TEST(ListRenderTest, AFullPageFitsTheFrameWithTheRealFonts)
{
    const TListTextMetrics Real;
    struct TPositions
    {
        bool ViewDate;
        int DatePosY, DatePosX;
        bool ViewPage;
        int PagePosY, PagePosX;
    };
    const TPositions Positions[] = {{true, 0, 2, true, 1, 1},  {true, 1, 2, true, 1, 2}, {true, 1, 0, true, 1, 2},
                                    {true, 0, 2, true, 0, 2},  {true, 0, 0, true, 0, 2}, {true, 1, 1, true, 0, 1},
                                    {false, 0, 0, false, 0, 0}};
    for (int Size = 7; Size <= 30; ++Size) {
        for (int Lines = 1; Lines <= 3; ++Lines) {
            for (bool Title : {false, true}) {
                for (const TPositions& P : Positions) {
                    TPrintSettings S = Plain();
                    S.FontSize = Size;
                    S.RowCount = Lines;
                    S.Title = Title ? QStringLiteral("一覧") : QString();
                    S.ViewDate = P.ViewDate;
                    S.DatePosY = P.DatePosY;
                    S.DatePosX = P.DatePosX;
                    S.ViewPage = P.ViewPage;
                    S.PagePosY = P.PagePosY;
                    S.PagePosX = P.PagePosX;
                    S.OffsetY = 100;
                    S.Line[RuleTop] = S.Line[RuleBottom] = true;
                    S.LineType[RuleTop] = S.LineType[RuleBottom] = 2;
                    TRecordsPerPageInput In{
                        FrameHeight, 600,        6.25,       S.OffsetY,  Title,      {S.FontName, Size, 0, 128},
                        S.ViewDate,  S.DatePosX, S.DatePosY, S.ViewPage, S.PagePosX, S.PagePosY,
                        Lines,       true,       2,          true,       2};
                    const int PerPage = CountRecordsPerPage(In, Real);
                    ASSERT_GT(PerPage, 0);
                    TRowsWalk Walk = Rows(PerPage + 1);
                    const TDrawn Drawn = Draw(PageOf(S, {{6, 10}}, PerPage), Walk, Real);
                    const QString Where = QStringLiteral("size %1, %2 lines, title %3, date %4/%5, page %6/%7")
                                              .arg(Size)
                                              .arg(Lines)
                                              .arg(Title)
                                              .arg(P.DatePosY)
                                              .arg(P.DatePosX)
                                              .arg(P.PagePosY)
                                              .arg(P.PagePosX);
                    ASSERT_EQ(Walk.At, PerPage) << Where.toStdString();
                    const auto Last = Drawn.Log().TextsWith(QStringLiteral("会社%1").arg(PerPage));
                    ASSERT_FALSE(Last.isEmpty()) << Where.toStdString();
                    int BottomTexts = FrameHeight;
                    for (const auto& Text : Drawn.Log().Texts)
                        if (Text.Text.contains(QStringLiteral("2023")) || Text.Text.contains(QStringLiteral("Page")))
                            if (Text.Clip.top() > FrameHeight / 2)
                                BottomTexts = std::min(BottomTexts, Text.Clip.top());
                    EXPECT_LE(Last[0].Clip.bottom() + 1, BottomTexts) << Where.toStdString();
                    const auto Rules = HorizontalRuleGroups(Drawn.Log());
                    ASSERT_FALSE(Rules.isEmpty());
                    // The bottom rule may reach the first row of the bottom lines' box, never into their text.
                    EXPECT_LE(Rules.last().last(), BottomTexts) << Where.toStdString();
                    EXPECT_LT(Rules.last().last(), FrameHeight) << Where.toStdString();
                }
            }
        }
    }
}

// A page drawn into a 600-dpi PDF: the text is set in the installed Japanese monospace font, and the
// rules lie on the pixel rows the renderer computed.
TEST(ListRenderTest, APdfPageEmbedsTheJapaneseFontAndPlacesItsRules)
{
    QTemporaryDir Folder;
    const QString File = Folder.filePath(QStringLiteral("page.pdf"));
    TPrintSettings S = Plain();
    S.Line[RuleTop] = S.Line[RuleBottom] = true;
    S.LineType[RuleTop] = 1; // 13 rows at 600 dpi
    S.ViewDate = true;
    S.DatePosY = 1; // the only text, far below the rows looked at
    TRowsWalk Walk = Rows(2);
    const TListTextMetrics Real;
    const QSize Letter = Real.LetterBox(ListBodyFont({S.FontName, 9, 0, 128}, 600));
    {
        QPdfWriter Writer(File);
        Writer.setResolution(600);
        Writer.setPageSize(QPageSize(QPageSize::A4));
        Writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter Painter(&Writer);
        TListPageRenderer(Real).Render(Painter, PageOf(S, {{0, 20}}), Walk);
    }
    QProcess Fonts;
    Fonts.start(QStringLiteral("pdffonts"), {File});
    ASSERT_TRUE(Fonts.waitForFinished(30000));
    const QString Listed = QString::fromUtf8(Fonts.readAllStandardOutput());
    EXPECT_TRUE(Listed.contains(QStringLiteral("NotoSansMonoCJK"))) << Listed.toStdString();
    EXPECT_TRUE(Listed.contains(QStringLiteral(" yes "))) << Listed.toStdString();

    // The top rule above the header, in the gap of g over it: the real font's g is odd at 9 points,
    // and the rule still starts on the frame's first row.
    const int G = static_cast<int>(std::lround(Letter.height() / 2.0));
    ASSERT_EQ(G % 2, 1);
    const int W = RuleWidth(1, 6.25);
    const int Y = G - G / 2 + (W - 1) / 2;
    const int Centre = Y - G + G / 2;
    const auto Span = *GetRuleExtent(Centre, RuleTop, 1, 6.25, 6.25);
    QProcess Raster;
    Raster.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("600"), QStringLiteral("-gray"), QStringLiteral("-x"),
                  QStringLiteral("100"), QStringLiteral("-y"), QStringLiteral("0"), QStringLiteral("-W"),
                  QStringLiteral("1"), QStringLiteral("-H"), QStringLiteral("100"), File});
    ASSERT_TRUE(Raster.waitForFinished(60000));
    const QByteArray Pgm = Raster.readAllStandardOutput();
    ASSERT_GE(Pgm.size(), 100);
    const QByteArray Column = Pgm.right(100);
    QList<int> Dark;
    for (int Row = 0; Row < 100; ++Row)
        if (static_cast<unsigned char>(Column[Row]) < 128)
            Dark << Row;
    QList<int> Expected;
    for (int Row = Span.First; Row <= Span.Last; ++Row)
        Expected << Row;
    EXPECT_EQ(Dark, Expected);
    EXPECT_EQ(Expected.first(), 0);
}

} // namespace
