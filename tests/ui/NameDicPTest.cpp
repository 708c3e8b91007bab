#include "calls/RecvView.h"
#include "directory/namedic/NMDicP.h"
#include "directory/namedic/NameDicOpener.h"
#include "directory/namedic/PopupPlace.h"
#include "main/controls/NMDEdit.h"
#include "main/settings/Settings.h"
#include "tests/support/RecvData.h"
#include "tests/support/ScriptedBoxes.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

const QString BinDir = QStringLiteral(VX_BIN_DIR "/");
const QString DataDir = QStringLiteral(VX_TEST_DATA_DIR "/");

bool HaveDebianDic()
{
    return QFile::exists(QStringLiteral("/usr/share/skk/SKK-JISYO.jinmei"));
}

void Settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Kana typed into a name edit through the input method, still uncommitted.
void PreEdit(QWidget* Edit, const QString& Kana)
{
    QInputMethodEvent Event(Kana, {});
    QApplication::sendEvent(Edit, &Event);
    Settle();
}

// An owner window with a pair of name edits, as the directory's windows have them.
struct TNameOwner
{
    TNameOwner()
    {
        Window.resize(400, 100);
        Kana = new TNMDEdit(&Window);
        Kana->SetInputType(TInputKind::itKana);
        Kana->setProperty("Tag", 0);
        Kanji = new TNMDEdit(&Window);
        Kanji->SetInputType(TInputKind::itKanji);
        Kanji->setProperty("Tag", 1);
        Kanji->move(0, 30);
        Kana->SetAssociate(Kanji);
        Kanji->SetAssociate(Kana);
        for (TNMDEdit* E : {Kana, Kanji}) {
            E->OnConvertNeed = [this](QObject* Sender, TNameDicKind Kind, bool Show, const QString& Value) {
                NameDicConvertNeed(&Window, *static_cast<TNMDEdit*>(Sender), static_cast<int>(Kind), Show, Value);
            };
            E->OnConvertKeyDown = [this](QObject*, unsigned& Key, bool& Result) {
                Result = NameDicConvertKeyDown(&Window, Key);
            };
        }
        Window.show();
    }
    TNameDicP* Popup() const
    {
        TNameDicOpener* Opener = TNameDicOpener::Find(const_cast<QWidget*>(&Window));
        return Opener && Opener->Popup() && !Opener->Popup()->Closing() ? Opener->Popup() : nullptr;
    }
    QWidget Window;
    TNMDEdit* Kana;
    TNMDEdit* Kanji;
};

class NameDicPTest : public ::testing::Test
{
protected:
    void SetUp() override { ProgramPath = BinDir; }
    void TearDown() override { ProgramPath.clear(); }

    std::unique_ptr<TNameDicP> Open(const QString& LibraryFolder, const QString& Reading,
                                    const QString& DicFolder = DataDir)
    {
        auto P = std::make_unique<TNameDicP>(&Owner);
        P->setAttribute(Qt::WA_DeleteOnClose, false); // the test owns it
        P->SetFolders(LibraryFolder, DicFolder);
        P->Initialize();
        P->SetReading(Reading);
        P->FillGrid(P->CountNames(Reading, 0));
        P->show();
        return P;
    }
    QWidget Owner;
};

TEST_F(NameDicPTest, ShowsTheNamesOfAReadingAndSwitchesBetweenFamilyAndGivenNames)
{
    auto P = Open(BinDir, QStringLiteral("ﾅﾅﾂ"));
    EXPECT_EQ(P->sgNameList->rowCount(), 2);
    EXPECT_EQ(P->sgNameList->item(1, 2)->text(), QStringLiteral("七"));
    EXPECT_EQ(P->sgNameList->item(1, 0)->text(), QString());
    EXPECT_EQ(P->rbLineage->styleSheet(), QStringLiteral("color: blue"));
    // Seven has no given names: the list empties and the pop-up stays.
    QTest::mouseClick(P->rbFirst, Qt::LeftButton);
    EXPECT_EQ(P->Kind(), 1);
    EXPECT_TRUE(P->Empty());
    EXPECT_EQ(P->sgNameList->rowCount(), 0);
    EXPECT_TRUE(P->isVisible());
    EXPECT_FALSE(P->Closing());
    EXPECT_EQ(P->rbFirst->styleSheet(), QStringLiteral("color: blue"));
    QTest::mouseClick(P->rbLineage, Qt::LeftButton);
    EXPECT_EQ(P->sgNameList->rowCount(), 2);
    // A click selects, a double-click chooses and tells the owner.
    const QRect Cell = P->sgNameList->visualItemRect(P->sgNameList->item(1, 2));
    QTest::mouseClick(P->sgNameList->viewport(), Qt::LeftButton, {}, Cell.center());
    EXPECT_EQ(P->Grid().Row(), 1);
    EXPECT_EQ(P->Grid().Col(), 2);
    TNameDicChoice Chosen;
    P->OnChoose = [&](const TNameDicChoice& C) { Chosen = C; };
    QTest::mouseDClick(P->sgNameList->viewport(), Qt::LeftButton, {}, Cell.center());
    EXPECT_EQ(Chosen.Name, QStringLiteral("七"));
    EXPECT_EQ(Chosen.Reading, QStringLiteral("ﾅﾅﾂ"));
}

// The pop-up must stay up on window systems that never call the program active.
TEST_F(NameDicPTest, TheActivityCheckWaitsForTheProgramToLoseTheActivation)
{
    auto P = Open(BinDir, QStringLiteral("ﾅﾅﾂ"));
    QTest::qWait(350);
    EXPECT_TRUE(P->isVisible());
    EXPECT_FALSE(P->Closing());
}

TEST_F(NameDicPTest, TheScrollBarPagesByTheVisibleRowsLessOne)
{
    if (!HaveDebianDic())
        GTEST_SKIP() << "skkdic-extra is not installed";
    auto P = Open(BinDir, QStringLiteral("ｻ"), QStringLiteral("/nonexistent/")); // Debian's dictionary
    QCoreApplication::processEvents();
    const int Visible = P->Grid().VisibleRows();
    ASSERT_GT(P->Grid().RowCount(), 3 * Visible);
    QScrollBar* Bar = P->sgNameList->verticalScrollBar();
    Bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(P->Grid().TopRow(), Visible - 1);
    Bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(P->Grid().TopRow(), Visible);
    Bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(P->Grid().TopRow(), 1);
    Bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(P->Grid().TopRow(), 0);
    Bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(P->Grid().TopRow(), P->Grid().LastTopRow());
    // The wheel does not scroll the list.
    Bar->triggerAction(QAbstractSlider::SliderToMinimum);
    QWheelEvent Wheel(QPointF(20, 20), P->sgNameList->viewport()->mapToGlobal(QPointF(20, 20)), {}, {0, -120},
                      Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(P->sgNameList->viewport(), &Wheel);
    EXPECT_EQ(P->Grid().TopRow(), 0);
}

TEST_F(NameDicPTest, LyingLibrariesLeaveTheGridEmptyOrShort)
{
    auto Negative = Open(QStringLiteral(VX_FIXTURE_DIR "/namelore_negative/"), QStringLiteral("ﾀ"));
    EXPECT_EQ(Negative->CountNames(QStringLiteral("ﾀ"), 0), 0);
    EXPECT_EQ(Negative->sgNameList->rowCount(), 0);
    Negative->FillGrid(-1);
    EXPECT_EQ(Negative->sgNameList->rowCount(), 0);
    auto Short = Open(QStringLiteral(VX_FIXTURE_DIR "/namelore_short/"), QStringLiteral("ﾀ"));
    ASSERT_EQ(Short->sgNameList->rowCount(), 1);
    EXPECT_EQ(Short->sgNameList->columnCount(), 4);
    EXPECT_EQ(Short->sgNameList->item(0, 1)->text(), QStringLiteral("ABCDEFGHIJKL"));
}

TEST_F(NameDicPTest, ThePopupOfAnEditAtTheScreensEdgeStaysOnTheScreen)
{
    if (!HaveDebianDic())
        GTEST_SKIP() << "skkdic-extra is not installed";
    TNameOwner O;
    const QRect Area = O.Window.screen()->availableGeometry();
    // The owner in the bottom right corner: below and right of the edit there is no room.
    O.Window.move(Area.right() - 150, Area.bottom() - 60);
    Settle();
    O.Kanji->setFocus();
    PreEdit(O.Kanji, QStringLiteral("やまだ"));
    TNameDicP* P = O.Popup();
    ASSERT_TRUE(P);
    const QRect Shown(P->pos(), P->frameGeometry().size());
    EXPECT_TRUE(Area.contains(Shown)) << Shown.x() << "," << Shown.y() << " " << Shown.width() << "x"
                                      << Shown.height() << " in " << Area.width() << "x" << Area.height() << " edit at "
                                      << O.Kanji->mapToGlobal(QPoint(0, 0)).y();
    // Above the edit now, not over it.
    EXPECT_LE(Shown.bottom(), O.Kanji->mapToGlobal(QPoint(0, 0)).y());
}

TEST_F(NameDicPTest, AChoiceReachesTheEditAfterThePopupIsGone)
{
    if (!HaveDebianDic())
        GTEST_SKIP() << "skkdic-extra is not installed";
    TNameOwner O;
    O.Kanji->setFocus();
    PreEdit(O.Kanji, QStringLiteral("やまだ"));
    TNameDicP* P = O.Popup();
    ASSERT_TRUE(P);
    bool Handled = false;
    unsigned Key = Qt::Key_Down;
    O.Kanji->OnConvertKeyDown(O.Kanji, Key, Handled);
    Key = Qt::Key_Return;
    O.Kanji->OnConvertKeyDown(O.Kanji, Key, Handled);
    // "×" before the posted choice arrives: the pop-up is freed first.
    QTest::mouseClick(P->sbtnClose, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(O.Popup());
    Settle();
    EXPECT_EQ(O.Kanji->text(), QStringLiteral("山田　"));
    EXPECT_EQ(O.Kana->text(), QStringLiteral("ﾔﾏﾀﾞ "));
}

TEST_F(NameDicPTest, WithoutTheLibraryNothingShowsAndNothingIsReported)
{
    TScriptedBoxes Boxes;
    QTemporaryDir Empty;
    ProgramPath = Empty.path() + QLatin1Char('/');
    TNameOwner O;
    O.Kanji->setFocus();
    PreEdit(O.Kanji, QStringLiteral("やまだ"));
    EXPECT_FALSE(O.Popup());
    EXPECT_TRUE(Boxes.Boxes().isEmpty());
}

class NameDicRecvViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Settings = TSettings();
        Settings.NotMoveFocus = true;
        SettingsPath = Data.Folder;
        ProgramPath = BinDir;
        ReceiveViewTools.ConvertNeed = [](TReceiveView& View, TNMDEdit& Edit, int Kind, bool Show,
                                          const QString& Value) { NameDicConvertNeed(&View, Edit, Kind, Show, Value); };
        ReceiveViewTools.ConvertKeyDown = [](TReceiveView& View, unsigned Key) {
            return NameDicConvertKeyDown(&View, Key);
        };
    }
    void TearDown() override
    {
        View.reset();
        ReceiveViewTools.ConvertNeed = nullptr;
        ReceiveViewTools.ConvertKeyDown = nullptr;
        Settings = TSettings();
        SettingsPath.clear();
        ProgramPath.clear();
    }
    TNameDicP* Popup() const
    {
        TNameDicOpener* Opener = TNameDicOpener::Find(View.get());
        return Opener && Opener->Popup() && !Opener->Popup()->Closing() ? Opener->Popup() : nullptr;
    }
    void Choose(QWidget* Edit, int Downs, int Rights)
    {
        for (int I = 0; I < Downs; ++I)
            QTest::keyClick(Edit, Qt::Key_Down);
        for (int I = 0; I < Rights; ++I)
            QTest::keyClick(Edit, Qt::Key_Right);
        QTest::keyClick(Edit, Qt::Key_Return);
        Settle();
    }

    TRecvData Data;
    std::unique_ptr<TReceiveView> View;
};

TEST_F(NameDicRecvViewTest, FamilyAndGivenNameFromThePopup)
{
    if (!HaveDebianDic())
        GTEST_SKIP() << "skkdic-extra is not installed";
    TScriptedBoxes Boxes;
    View = std::make_unique<TReceiveView>();
    View->ShowCall(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    View->show();
    View->activateWindow();
    (void)QTest::qWaitForWindowActive(View.get());
    View->nmedtNameKanji->setFocus();
    PreEdit(View->nmedtNameKanji, QStringLiteral("やまだ"));
    TNameDicP* P = Popup();
    ASSERT_TRUE(P);
    EXPECT_TRUE(P->isVisible());
    EXPECT_EQ(P->Kind(), 0);
    // Beside the edit, on the side the input method's candidates leave free (the rule's own cases
    // are in PopupPlaceTest).
    const QRect Edit(View->nmedtNameKanji->mapToGlobal(QPoint(0, 0)), View->nmedtNameKanji->size());
    const QPoint Placed = NameDicPopupPlace(Edit, P->size(), View->nmedtNameKanji->screen()->availableGeometry());
    // The offscreen platform gives a window a frame of one pixel.
    EXPECT_NEAR(P->x(), Placed.x(), 1);
    EXPECT_NEAR(P->y(), Placed.y(), 1);
    EXPECT_EQ(QApplication::focusWidget(), View->nmedtNameKanji);
    EXPECT_EQ(P->sgNameList->item(0, 1)->text(), QStringLiteral("山田"));
    Choose(View->nmedtNameKanji, 1, 0);
    EXPECT_EQ(View->nmedtNameKanji->text(), QStringLiteral("山田　"));
    EXPECT_EQ(View->nmedtNameKana->text(), QStringLiteral("ﾔﾏﾀﾞ "));
    EXPECT_FALSE(Popup());
    EXPECT_EQ(QApplication::focusWidget(), View->nmedtNameKanji);

    PreEdit(View->nmedtNameKanji, QStringLiteral("たろう"));
    P = Popup();
    ASSERT_TRUE(P);
    EXPECT_EQ(P->Kind(), 1);
    QStringList Row0;
    for (int C = 1; C < P->sgNameList->columnCount(); ++C)
        Row0 << P->sgNameList->item(0, C)->text();
    EXPECT_TRUE(Row0.contains(QStringLiteral("太郎")));
    EXPECT_TRUE(Row0.contains(QStringLiteral("太朗")));
    Choose(View->nmedtNameKanji, 1, static_cast<int>(Row0.indexOf(QStringLiteral("太郎"))));
    EXPECT_EQ(View->nmedtNameKanji->text(), QStringLiteral("山田　太郎"));
    EXPECT_EQ(View->nmedtNameKana->text(), QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ"));
    EXPECT_TRUE(Boxes.Boxes().isEmpty());
}

TEST_F(NameDicRecvViewTest, LeavingTheEditOrClosingTheWindowClosesThePopup)
{
    if (!HaveDebianDic())
        GTEST_SKIP() << "skkdic-extra is not installed";
    View = std::make_unique<TReceiveView>();
    View->ShowCall(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    View->show();
    View->activateWindow();
    (void)QTest::qWaitForWindowActive(View.get());
    View->nmedtNameKanji->setFocus();
    PreEdit(View->nmedtNameKanji, QStringLiteral("やまだ"));
    ASSERT_TRUE(Popup());
    View->edtMemo1->setFocus();
    Settle();
    EXPECT_FALSE(Popup());

    View->nmedtNameKanji->setFocus();
    PreEdit(View->nmedtNameKanji, QStringLiteral("やまだ"));
    QPointer<TNameDicP> P = Popup();
    ASSERT_TRUE(P);
    View.reset();
    Settle();
    EXPECT_TRUE(P.isNull());
}

TEST_F(NameDicRecvViewTest, Screenshot)
{
    const QString Folder = qEnvironmentVariable("VX_SCREENSHOT_DIR");
    if (Folder.isEmpty() || !HaveDebianDic())
        GTEST_SKIP() << "VX_SCREENSHOT_DIR not set";
    View = std::make_unique<TReceiveView>();
    View->ShowCall(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    View->show();
    View->nmedtNameKanji->setFocus();
    PreEdit(View->nmedtNameKanji, QStringLiteral("さいとう")); // six family names: two rows
    TNameDicP* P = Popup();
    ASSERT_TRUE(P);
    QTest::keyClick(View->nmedtNameKanji, Qt::Key_Down);
    QTest::qWait(200);
    P->grab().save(QDir(Folder).filePath(QStringLiteral("namedicp.png")));
    View->screen()->grabWindow(0).save(QDir(Folder).filePath(QStringLiteral("namedicp-over-recvview.png")));
}

} // namespace
