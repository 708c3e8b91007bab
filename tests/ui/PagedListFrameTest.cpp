// The frame every paged list window stands on: which keys at the ends of a page turn it, and that the
// window's own key handlers see the keys in the order the form previews them.
#include "calls/PagedListFrame.h"

#include "main/controls/MyHdCtrl.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// A window of the frame's, recording which of its handlers ran.
class TFrameHost : public QWidget
{
public:
    explicit TFrameHost(int PageSize) : FPageSize(PageSize)
    {
        (void)Frame.MakePageButton(TPageButton::Prev);
        (void)Frame.MakePageButton(TPageButton::Next);
        (void)Frame.MakePageButton(TPageButton::Jump);
        TPagedListLook Look;
        Look.ListName = QStringLiteral("lbxList");
        Look.HeaderName = QStringLiteral("myhcList");
        Look.Captions = {QStringLiteral("No."), QStringLiteral("名前")};
        Look.DefaultWidths = Widths;
        Frame.MakeList(Look);
        Frame.Connect(this, &TFrameHost::LoadPage, &TFrameHost::PrevClick, &TFrameHost::NextClick,
                      &TFrameHost::JumpClick, &TFrameHost::FormKeyDown, &TFrameHost::ListKeyDown,
                      &TFrameHost::HeaderMouseDown, &TFrameHost::SectionTrack, &TFrameHost::ResetClick,
                      &TFrameHost::PanelResize);
    }

    void Fill(int Lines)
    {
        for (int I = 0; I < Lines; ++I)
            Frame.List->addItem(QString::number(I + 1) + QStringLiteral("\t"));
    }

    TPagedListFrame Frame{this};
    QStringList Calls;
    bool FormTakesKeys = false;

private:
    void LoadPage(int Mode, int Page) { Calls << QStringLiteral("LoadPage %1 %2").arg(Mode).arg(Page); }
    void PrevClick() { Frame.StepPage(1); }
    void NextClick() { Frame.StepPage(2); }
    void JumpClick() { Calls << QStringLiteral("Jump"); }
    bool FormKeyDown(QKeyEvent* Key)
    {
        if (!FormTakesKeys)
            return false;
        Calls << QStringLiteral("Form %1").arg(Key->key());
        return true;
    }
    bool ListKeyDown(QKeyEvent* Key) { return Frame.SelectAllKey(Key) || Frame.PageEdgeKey(Key, FPageSize); }
    void HeaderMouseDown(Qt::MouseButton, const QPoint&) {}
    void SectionTrack(TMyCustomHeaderControl*, TMyCustomHeaderSection*, int, TMySectionTrackState) {}
    void ResetClick() {}
    void PanelResize() {}

    static constexpr int Widths[2] = {40, 100};
    int FPageSize;
};

} // namespace

TEST(PagedListFrameTest, OnlyTheFirstAndTheLastLineOfAFullPageTurnIt)
{
    struct TCase
    {
        const char* What;
        int Lines;
        int Row;
        Qt::Key Key;
        Qt::KeyboardModifiers Modifiers;
        bool PrevShown;
        bool NextShown;
        const char* Expected; // the load it makes, empty for none
    };
    const TCase Cases[] = {
        {"Page Up on the first line", 5, 0, Qt::Key_PageUp, Qt::NoModifier, true, true, "LoadPage 1 1"},
        {"Page Down on the last line of a full page", 5, 4, Qt::Key_PageDown, Qt::NoModifier, true, true,
         "LoadPage 2 1"},
        {"Page Up on the second line", 5, 1, Qt::Key_PageUp, Qt::NoModifier, true, true, ""},
        {"Page Down on the line before the last", 5, 3, Qt::Key_PageDown, Qt::NoModifier, true, true, ""},
        {"Page Down on the last line of a short page", 3, 2, Qt::Key_PageDown, Qt::NoModifier, true, true, ""},
        {"Page Up on the first page", 5, 0, Qt::Key_PageUp, Qt::NoModifier, false, true, ""},
        {"Page Down on the last page", 5, 4, Qt::Key_PageDown, Qt::NoModifier, true, false, ""},
        {"Shift+Page Up selects, it does not turn", 5, 0, Qt::Key_PageUp, Qt::ShiftModifier, true, true, ""},
        {"Shift+Page Down selects, it does not turn", 5, 4, Qt::Key_PageDown, Qt::ShiftModifier, true, true, ""},
    };
    for (const TCase& Case : Cases) {
        TFrameHost Host(5);
        Host.Fill(Case.Lines);
        Host.show();
        Host.Frame.PagePrev->setVisible(Case.PrevShown);
        Host.Frame.PageNext->setVisible(Case.NextShown);
        Host.Frame.List->setCurrentRow(Case.Row);
        Host.Frame.List->setFocus();
        QTest::keyClick(Host.Frame.List, Case.Key, Case.Modifiers);
        const QStringList Expected = *Case.Expected ? QStringList{QString::fromLatin1(Case.Expected)} : QStringList();
        EXPECT_EQ(Host.Calls, Expected) << Case.What;
        if (Expected.isEmpty()) {
            EXPECT_NE(Host.Frame.List->currentRow(), -1) << Case.What << ": the list moved as usual";
        }
    }
}

TEST(PagedListFrameTest, TheFormSeesTheListsKeysFirstAndCtrlASelectsThePageOnly)
{
    TFrameHost Host(5);
    Host.Fill(4);
    Host.show();
    Host.Frame.List->setCurrentRow(2);
    Host.Frame.List->setFocus();
    QTest::keyClick(Host.Frame.List, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Host.Frame.List->selectedItems().size(), 4);
    EXPECT_EQ(Host.Frame.List->currentRow(), 2) << "the focused line stays";

    // A form that takes the key leaves nothing for the list: Page Up on the first line turns no page.
    Host.FormTakesKeys = true;
    Host.Frame.List->setCurrentRow(0);
    QTest::keyClick(Host.Frame.List, Qt::Key_PageUp);
    EXPECT_EQ(Host.Calls, QStringList{QStringLiteral("Form %1").arg(Qt::Key_PageUp)});
}

TEST(PagedListFrameTest, ThePageButtonsReachTheWindowsHandlers)
{
    TFrameHost Host(5);
    Host.show();
    Host.Frame.PagePrev->click();
    Host.Frame.PageNext->click();
    Host.Frame.PageJump->click();
    EXPECT_EQ(Host.Calls,
              (QStringList{QStringLiteral("LoadPage 1 1"), QStringLiteral("LoadPage 2 1"), QStringLiteral("Jump")}));
    EXPECT_EQ(Host.Frame.PagePrev->objectName(), QStringLiteral("bbtnPagePrev"));
    EXPECT_EQ(Host.Frame.PageJump->text(), QStringLiteral("ジャンプ(&J)"));
}
