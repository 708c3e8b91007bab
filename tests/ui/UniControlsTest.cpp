#include "widelayer/UniControls.h"

#include "widelayer/UniComCtrls.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

// None of these fits into CP932: a non-BMP kanji, an emoji, a Latin-1 letter.
const QString OutsideCp932 = QStringLiteral("𠮷野家😀é");
const QString Typed[] = {QStringLiteral("日本語"), QStringLiteral("𠮷野家"), QStringLiteral("😀"), QStringLiteral("ｶﾞ"),
                         QStringLiteral("é")};

void TypeInto(QWidget* Editor)
{
    for (const QString& Text : Typed) {
        QInputMethodEvent Commit;
        Commit.setCommitString(Text);
        QApplication::sendEvent(Editor, &Commit);
    }
    for (const QString& Text : Typed) {
        QKeyEvent Press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, Text);
        QApplication::sendEvent(Editor, &Press);
    }
}

QString TypedTwice()
{
    QString All;
    for (const QString& Text : Typed)
        All += Text;
    return All + All;
}

TEST(UniHints, InheritedAndApplicationHints)
{
    QMainWindow Window;
    auto* Panel = new QWidget;
    auto* Child = new QLabel(QStringLiteral("子"), Panel);
    auto* Layout = new QVBoxLayout(Panel);
    Layout->addWidget(Child);
    Window.setCentralWidget(Panel);
    WideSetHint(Panel, QStringLiteral("番号|着信した電話番号"));
    EXPECT_EQ(Panel->toolTip(), QStringLiteral("番号"));
    EXPECT_EQ(WideGetInheritedHint(Child), QStringLiteral("番号|着信した電話番号"));
    EXPECT_EQ(WideGetInheritedHint(&Window), QString());

    Window.statusBar();
    TUniApplicationHint AppHint;
    QString Shown;
    AppHint.OnHint = [&](const QString& Hint) { Shown = Hint; };
    Window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
    QEvent Enter(QEvent::Enter);
    QApplication::sendEvent(Child, &Enter);
    EXPECT_EQ(Shown, QStringLiteral("着信した電話番号"));
    EXPECT_EQ(Window.statusBar()->currentMessage(), QStringLiteral("着信した電話番号"));
    WideSetHint(Child, QStringLiteral("子の説明"));
    QEvent Leave(QEvent::Leave);
    QApplication::sendEvent(Child, &Leave);
    QApplication::sendEvent(Child, &Enter);
    EXPECT_EQ(Shown, QStringLiteral("子の説明"));
}

TEST(UniGuarantee, TypedTextArrivesWhole)
{
    QLineEdit Edit;
    Edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Edit));
    TypeInto(&Edit);
    EXPECT_EQ(Edit.text(), TypedTwice());

    TUniCustomListView View;
    View.Columns().Add(QStringLiteral("名前"), 200);
    View.Items().Add()->SetCaption(QStringLiteral("元"));
    QString Edited;
    View.OnEdited = [&](TUniListItem*, QString& S) { Edited = S; };
    View.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&View));
    View.edit(View.model()->index(0, 0));
    auto* Editor = View.findChild<QLineEdit*>();
    ASSERT_NE(Editor, nullptr);
    Editor->clear();
    TypeInto(Editor);
    QTest::keyClick(Editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(Edited, TypedTwice());
    EXPECT_EQ(View.Items()[0]->Caption(), TypedTwice());
}

TEST(UniGuarantee, TitleSetBeforeShowIsKept)
{
    QWidget Window;
    Window.setWindowTitle(OutsideCp932);
    Window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
    EXPECT_EQ(Window.windowHandle()->title(), OutsideCp932);
}

TEST(UniGuarantee, CaptionsSurviveANewNativeWindow)
{
    QWidget Window;
    auto* Label = new QLabel(OutsideCp932, &Window);
    auto* Button = new QPushButton(OutsideCp932, &Window);
    auto* View = new TUniCustomListView(&Window);
    auto* Layout = new QVBoxLayout(&Window);
    Layout->addWidget(Label);
    Layout->addWidget(Button);
    Layout->addWidget(View);
    View->Columns().Add(OutsideCp932);
    View->Columns().Add(QStringLiteral("二"));
    TUniListItem* Item = View->Items().Add();
    Item->SetCaption(OutsideCp932);
    Item->SubItems().Add(OutsideCp932 + QStringLiteral("2"));
    Window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));

    Window.setWindowFlags(Window.windowFlags() | Qt::WindowStaysOnTopHint);
    Window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
    Window.hide();
    Window.windowHandle()->destroy();
    Window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
    EXPECT_NE(Window.winId(), 0u);

    EXPECT_EQ(Label->text(), OutsideCp932);
    EXPECT_EQ(Button->text(), OutsideCp932);
    EXPECT_EQ(View->model()->headerData(0, Qt::Horizontal).toString(), OutsideCp932);
    EXPECT_EQ(View->model()->index(0, 0).data().toString(), OutsideCp932);
    EXPECT_EQ(View->model()->index(0, 1).data().toString(), OutsideCp932 + QStringLiteral("2"));
}

TEST(UniGuarantee, ActionTextReachesMenuAndToolButton)
{
    QMainWindow Window;
    QAction Action(OutsideCp932);
    QMenu* Menu = Window.menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    Menu->addAction(&Action);
    QToolBar* Bar = Window.addToolBar(QStringLiteral("道具"));
    Bar->addAction(&Action);
    Window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
    Action.setText(OutsideCp932 + QStringLiteral("!"));
    EXPECT_EQ(Menu->actions().value(0)->text(), OutsideCp932 + QStringLiteral("!"));
    auto* Button = qobject_cast<QToolButton*>(Bar->widgetForAction(&Action));
    ASSERT_NE(Button, nullptr);
    EXPECT_EQ(Button->text(), OutsideCp932 + QStringLiteral("!"));
    EXPECT_FALSE(Button->text().contains(u'?'));
}

} // namespace
