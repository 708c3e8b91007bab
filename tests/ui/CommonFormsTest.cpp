#include "main/common/CommonForms.h"

#include "calls/HisSch.h"
#include "calls/adapter/GetHis.h"
#include "calls/memo/EItmSel.h"
#include "platform/sys/Folders.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

QRect WorkArea()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

} // namespace

TEST(CommonFormsTest, CenterFormOverOwnerStaysInsideTheWorkArea)
{
    const QRect Area = WorkArea();
    ASSERT_GT(Area.width(), 400);
    const struct
    {
        const char* Name;
        QRect Owner;
        QSize Form;
        QPoint Expected;
    } Cases[] = {
        {"centred", {Area.left() + 100, Area.top() + 100, 301, 201}, {100, 50}, {Area.left() + 200, Area.top() + 175}},
        {"past the left and top edges", {Area.left() - 50, Area.top() - 40, 100, 80}, {300, 200}, Area.topLeft()},
        // Wider than the room to the right of the owner's centre: flush with the right edge.
        {"past the right and bottom edges",
         {Area.right() - 150, Area.bottom() - 100, 100, 80},
         {350, 250},
         {Area.left() + Area.width() - 350, Area.top() + Area.height() - 250}},
        {"odd difference truncates",
         {Area.left() + 10, Area.top() + 10, 101, 101},
         {50, 50},
         {Area.left() + 35, Area.top() + 35}},
    };
    for (const auto& Case : Cases) {
        QWidget Owner;
        Owner.setGeometry(Case.Owner);
        QWidget Form;
        Form.resize(Case.Form);
        CenterForm(&Form, &Owner);
        EXPECT_EQ(Form.pos(), Case.Expected) << Case.Name;
        EXPECT_EQ(Form.size(), Case.Form) << Case.Name;
    }

    QWidget Lone;
    Lone.resize(200, 100);
    CenterForm(&Lone, nullptr);
    EXPECT_EQ(Lone.pos(), QPoint(Area.left() + (Area.width() - 200) / 2, Area.top() + (Area.height() - 100) / 2));
    // Without an owner nothing is clamped.
    QWidget Huge;
    Huge.resize(Area.width() + 100, 100);
    CenterForm(&Huge, nullptr);
    EXPECT_EQ(Huge.x(), Area.left() - 50);
}

// A screen of 1280 x 1024 with a panel of 40 along the bottom, and a wider one to its right, placed higher.
TEST(CommonFormsTest, FitToScreensBringsAStoredPlaceOntoTheNearestScreen)
{
    const TScreenArea Left{{0, 0, 1280, 1024}, {0, 0, 1280, 984}};
    const TScreenArea Right{{1280, -200, 1920, 1080}, {1280, -200, 1920, 1080}};
    const QList<TScreenArea> One{Left};
    const QList<TScreenArea> Two{Left, Right};
    const struct
    {
        const char* Name;
        QList<TScreenArea> Screens;
        QRect Stored;
        QRect Expected;
    } Cases[] = {
        {"wholly inside", One, {100, 80, 400, 300}, {100, 80, 400, 300}},
        {"touching the work area's corner", One, {880, 684, 400, 300}, {880, 684, 400, 300}},
        {"partly past the right edge", One, {1000, 100, 400, 300}, {880, 100, 400, 300}},
        {"on the panel", One, {100, 800, 400, 300}, {100, 684, 400, 300}},
        {"far to the right and below", One, {3000, 2000, 400, 300}, {880, 684, 400, 300}},
        {"left of and above the screen", One, {-500, -40, 400, 300}, {0, 0, 400, 300}},
        {"larger than the work area", One, {-10, 50, 1500, 1100}, {0, 0, 1280, 984}},
        {"across both screens", Two, {1100, 100, 400, 300}, {1100, 100, 400, 300}},
        {"on the right screen, beyond it", Two, {3500, 100, 400, 300}, {2800, 100, 400, 300}},
        {"below the left screen", Two, {200, 1500, 400, 300}, {200, 684, 400, 300}},
        {"above the left, partly on the right", Two, {1100, -400, 400, 300}, {1280, -200, 400, 300}},
        {"mostly on the left, part above it", Two, {1000, -100, 400, 300}, {880, 0, 400, 300}},
        {"no screens", {}, {3000, 2000, 400, 300}, {3000, 2000, 400, 300}},
    };
    for (const auto& Case : Cases) {
        EXPECT_EQ(FitToScreens(Case.Stored, Case.Screens), Case.Expected) << Case.Name;
    }
}

// A window of fixed places taller than the screen (a large scale factor, a small laptop screen) fits the
// work area, its controls scrolled where they were and in their tab order; one that fits stays as it is.
TEST(CommonFormsTest, AClientSizeTheScreenHasNoRoomForScrolls)
{
    const QRect Area = WorkArea();
    QWidget Window;
    QLineEdit* Top = new QLineEdit(&Window);
    Top->setObjectName(QStringLiteral("edtTop"));
    Top->setGeometry(10, 10, 200, 24);
    QPushButton* Bottom = new QPushButton(QStringLiteral("キャンセル"), &Window);
    Bottom->setGeometry(10, Area.height() + 100, 100, 28);
    QLineEdit* Middle = new QLineEdit(&Window);
    Middle->setGeometry(10, 200, 200, 24);
    Middle->hide();
    // The tab order is not the order of creation: it must survive the move into the scrolled area.
    QWidget::setTabOrder(Top, Bottom);
    QWidget::setTabOrder(Bottom, Middle);

    SetClientSize(&Window, QSize(300, Area.height() + 200));
    Window.show();
    QApplication::processEvents();
    EXPECT_LE(Window.height(), Area.height());
    EXPECT_EQ(Window.findChild<QLineEdit*>(QStringLiteral("edtTop")), Top);
    EXPECT_EQ(Bottom->geometry(), QRect(10, Area.height() + 100, 100, 28)) << "moved inside the scrolled area";
    EXPECT_TRUE(Bottom->isVisibleTo(&Window));
    EXPECT_TRUE(Middle->isHidden()) << "a hidden control stays hidden";
    EXPECT_EQ(Top->nextInFocusChain(), Bottom);
    auto* Scroll = Window.findChild<QScrollArea*>(QStringLiteral("scrClient"));
    ASSERT_NE(Scroll, nullptr);
    EXPECT_EQ(Scroll->horizontalScrollBar()->maximum(), 0) << "the vertical bar's room was given, not taken";

    // A panel shown later sizes the scrolled area; the window stays within the screen.
    SetClientSize(&Window, QSize(300, Area.height() + 400));
    EXPECT_EQ(Scroll->widget()->height(), Area.height() + 400);
    EXPECT_LE(Window.height(), Area.height());

    QWidget Small;
    (new QLineEdit(&Small))->setGeometry(10, 10, 100, 24);
    SetClientSize(&Small, QSize(200, 100));
    EXPECT_EQ(Small.size(), QSize(200, 100));
    EXPECT_EQ(Small.findChild<QScrollArea*>(), nullptr);
}

// The names of the controls Tab walks through from First, once round.
QStringList TabWalk(QWidget& Window, QWidget* First)
{
    Window.show();
    QApplication::setActiveWindow(&Window);
    First->setFocus();
    QStringList Names;
    for (int Step = 0; Step < 6; ++Step) {
        Names << (QApplication::focusWidget() != nullptr ? QApplication::focusWidget()->objectName() : QString());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    return Names;
}

// A window of layouts too tall for the work area fits it, all its controls scrolled inside in their tab
// order and none below what its layout needs; one of a fixed size keeps it for its content. One that
// fits, and one whose layout can give way, keep their controls where they were.
TEST(CommonFormsTest, ALayoutTheScreenHasNoRoomForScrolls)
{
    const QRect Area = WorkArea();
    for (const bool FixedSize : {false, true}) {
        SCOPED_TRACE(FixedSize ? "fixed size" : "resizable");
        QWidget Window;
        auto* Layout = new QVBoxLayout(&Window);
        QList<QLineEdit*> Edits;
        for (const char* Name : {"edtFirst", "edtSecond", "edtThird"}) {
            auto* Edit = new QLineEdit;
            Edit->setObjectName(QString::fromLatin1(Name));
            Edit->setMinimumHeight(Area.height() / 2);
            Layout->addWidget(Edit);
            Edits << Edit;
        }
        // The tab order is not the order of the layout: it must survive the move into the scrolled area.
        QWidget::setTabOrder(Edits[0], Edits[2]);
        QWidget::setTabOrder(Edits[2], Edits[1]);
        if (FixedSize)
            Window.setFixedSize(Window.sizeHint());
        const QSize Least = Window.minimumSizeHint();
        const QStringList Before = TabWalk(Window, Edits[0]);
        Window.hide();

        FitLayoutToScreen(&Window);
        const QStringList After = TabWalk(Window, Edits[0]);
        QApplication::processEvents();
        EXPECT_EQ(After, Before);
        EXPECT_EQ(Before.mid(0, 3), (QStringList{"edtFirst", "edtThird", "edtSecond"}));
        EXPECT_LE(Window.height(), Area.height());
        auto* Scroll = Window.findChild<QScrollArea*>(QStringLiteral("scrClient"));
        ASSERT_NE(Scroll, nullptr);
        EXPECT_EQ(Edits[1]->window(), &Window);
        EXPECT_TRUE(Scroll->widget()->isAncestorOf(Edits[1]));
        EXPECT_GE(Scroll->widget()->height(), Least.height()) << "squeezed below what the layout needs";
        EXPECT_GT(Scroll->verticalScrollBar()->maximum(), 0);
        EXPECT_EQ(Scroll->horizontalScrollBar()->maximum(), 0) << "the vertical bar's room was given, not taken";
        // Tab to a control below the visible part scrolls it into view.
        Edits[0]->setFocus();
        QTest::keyClick(Edits[0], Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), Edits[2]);
        EXPECT_GT(Scroll->verticalScrollBar()->value(), 0);
    }

    QWidget Shrinking;
    auto* Layout = new QVBoxLayout(&Shrinking);
    auto* Edit = new QLineEdit;
    Layout->addWidget(Edit);
    Shrinking.resize(200, Area.height() + 200);
    FitLayoutToScreen(&Shrinking);
    EXPECT_LE(Shrinking.height(), Area.height());
    EXPECT_EQ(Shrinking.findChild<QScrollArea*>(), nullptr);
    EXPECT_EQ(Edit->parentWidget(), &Shrinking);

    QWidget Small;
    auto* SmallLayout = new QVBoxLayout(&Small);
    SmallLayout->addWidget(new QLineEdit);
    Small.resize(300, 200);
    FitLayoutToScreen(&Small);
    EXPECT_EQ(Small.size(), QSize(300, 200));
    EXPECT_EQ(Small.findChild<QScrollArea*>(), nullptr);
}

TEST(CommonFormsTest, PlaceFormBottomRightInsideTheAnchor)
{
    QWidget Anchor;
    Anchor.setGeometry(100, 50, 500, 400);
    QWidget Form;
    Form.resize(200, 100);
    PlaceFormBottomRight(&Form, &Anchor, 15, 15);
    EXPECT_EQ(Form.pos(), QPoint(100 + 500 - 200 - 15, 50 + 400 - 100 - 15));
    Form.resize(700, 500);
    PlaceFormBottomRight(&Form, &Anchor, 15, 15);
    EXPECT_EQ(Form.pos(), QPoint(-115, -65));
}

TEST(CommonFormsTest, ScaleByDpiRoundsHalfUp)
{
    const struct
    {
        int Value;
        bool ToScreen;
        double Ppi;
        int Expected;
    } Cases[] = {
        {100, true, 96, 100}, {100, false, 96, 100}, {100, true, 120, 125}, {125, false, 120, 100},
        {3, true, 144, 5},    {1, true, 144, 2},     {5, false, 144, 3},    {0, true, 144, 0},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(ScaleByDpiAt(Case.Value, Case.ToScreen, Case.Ppi), Case.Expected)
            << Case.Value << " " << Case.ToScreen << " " << Case.Ppi;
    const double Ppi = QGuiApplication::primaryScreen()->logicalDotsPerInch();
    EXPECT_EQ(ScaleByDpi(640, true), ScaleByDpiAt(640, true, Ppi));
}

TEST(CommonFormsTest, MarkedWindowIsFoundAndBroughtForward)
{
    QWidget Plain;
    QWidget Zero;
    Zero.setProperty("VxTestInstance", 0);
    EXPECT_EQ(FindWindowByProp("VxTestInstance"), nullptr);
    EXPECT_FALSE(ActivateMarkedWindow("VxTestInstance"));
    QWidget Marked;
    Marked.setProperty("VxTestInstance", 1);
    Marked.showMinimized();
    EXPECT_EQ(FindWindowByProp("VxTestInstance"), &Marked);
    EXPECT_TRUE(ActivateMarkedWindow("VxTestInstance"));
    EXPECT_FALSE(Marked.isMinimized());
    EXPECT_TRUE(Marked.isVisible());
}

TEST(CommonFormsTest, FontAttributesAndStyleBits)
{
    EXPECT_EQ(SetFontAttributes(nullptr, SHIFTJIS_CHARSET, QStringLiteral("x"), 1, 9), 0);
    for (int Bits = 0; Bits < 16; ++Bits) {
        QFont Font;
        Font.setBold(true);
        ASSERT_EQ(SetFontAttributes(&Font, SHIFTJIS_CHARSET, QStringLiteral("ＭＳ ゴシック"), Bits | 0x30, 11), 1);
        EXPECT_EQ(GetFontStyleBits(Font), Bits);
        EXPECT_EQ(Font.family(), QStringLiteral("ＭＳ ゴシック"));
        EXPECT_EQ(Font.pointSize(), 11);
    }
}

TEST(CommonFormsTest, ListFontsFiltersByPitchAndScript)
{
    const QList<TFontListEntry> All = ListFonts(false, false);
    const QList<TFontListEntry> Fixed = ListFonts(true, false);
    const QList<TFontListEntry> WithSymbol = ListFonts(false, true);
    EXPECT_FALSE(All.isEmpty());
    EXPECT_LE(Fixed.size(), All.size());
    EXPECT_GE(WithSymbol.size(), All.size());
    bool Japanese = false;
    for (const TFontListEntry& Entry : All) {
        EXPECT_FALSE(Entry.Name.startsWith(QLatin1Char('@')));
        EXPECT_TRUE(Entry.Charset == ANSI_CHARSET || Entry.Charset == SHIFTJIS_CHARSET) << Entry.Name.toStdString();
        Japanese = Japanese || Entry.Charset == SHIFTJIS_CHARSET;
    }
    EXPECT_TRUE(Japanese) << "a Japanese font is installed with the program's packages";
    // "ＭＳ ゴシック" is no family of the database: it stands for the Japanese monospace font.
    for (const TFontListEntry& Entry : Fixed)
        if (Entry.Name != MsGothicFontName) {
            EXPECT_TRUE(QFontDatabase::isFixedPitch(Entry.Name)) << Entry.Name.toStdString();
        }
}

TEST(CommonFormsTest, GrayscaleBitmapWeighsChannelsAndRoundsTiesToEven)
{
    const struct
    {
        QRgb Pixel;
        int Grey;
    } Cases[] = {
        {qRgb(255, 255, 255), 255}, {qRgb(0, 0, 0), 0},     {qRgb(100, 0, 0), 30}, {qRgb(0, 10, 0), 6},
        {qRgb(0, 0, 255), 28},      {qRgb(5, 0, 0), 2},     {qRgb(15, 0, 0), 4},   {qRgb(0, 50, 0), 30},
        {qRgb(0, 150, 0), 88},      {qRgb(12, 34, 56), 30},
    };
    QImage Image(static_cast<int>(std::size(Cases)), 1, QImage::Format_RGB32);
    for (int X = 0; X < Image.width(); ++X)
        Image.setPixel(X, 0, Cases[X].Pixel);
    GrayscaleBitmap(Image);
    EXPECT_EQ(Image.format(), QImage::Format_RGB888);
    for (int X = 0; X < Image.width(); ++X) {
        EXPECT_EQ(Image.pixel(X, 0), qRgb(Cases[X].Grey, Cases[X].Grey, Cases[X].Grey)) << X;
    }
}

TEST(CommonFormsTest, BrowseForFolderStartsWhereAskedAndWritesBackTheChoice)
{
    QTemporaryDir Dir;
    const QString Chosen = QDir(Dir.path()).filePath(QStringLiteral("chosen"));
    ASSERT_TRUE(QDir().mkpath(Chosen));
    const struct
    {
        const char* Name;
        QString Folder;
        bool AllowNewFolder;
        bool StartAtProgramFolder;
        QString ExpectedStart;
        bool Accept;
    } Cases[] = {
        {"existing folder, accepted", Dir.path(), true, true, Dir.path(), true},
        {"missing folder, program folder", Dir.path() + QStringLiteral("/gone"), false, true,
         QDir::cleanPath(GetProgramFolder()), false},
    };
    for (const auto& Case : Cases) {
        QFileDialog::Options SeenOptions;
        QString SeenStart;
        QTimer::singleShot(0, [&] {
            auto* Dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(Dialog, nullptr);
            SeenOptions = Dialog->options();
            SeenStart = QDir::cleanPath(Dialog->directory().absolutePath());
            if (Case.Accept) {
                Dialog->selectFile(Chosen);
                QMetaObject::invokeMethod(Dialog, "accept");
            } else {
                Dialog->reject();
            }
        });
        QString Folder = Case.Folder;
        EXPECT_EQ(BrowseForFolder(Folder, nullptr, QStringLiteral("フォルダーを指定してください"), Case.AllowNewFolder,
                                  Case.StartAtProgramFolder),
                  Case.Accept)
            << Case.Name;
        EXPECT_EQ(Folder, Case.Accept ? Chosen : Case.Folder) << Case.Name;
        EXPECT_EQ(SeenStart, Case.ExpectedStart) << Case.Name;
        EXPECT_EQ(SeenOptions.testFlag(QFileDialog::ReadOnly), !Case.AllowNewFolder) << Case.Name;
    }
}

// Dialogs laid out by their layouts have no size until they are first shown: placed before that,
// they are placed with the size they will show with, not displaced by half of it.
TEST(CommonFormsTest, LaidOutDialogsArePlacedWithTheSizeTheyShowWith)
{
    const QRect Area = WorkArea();
    QWidget Owner;
    Owner.setGeometry(Area.left() + 40, Area.top() + 30, Area.width() - 80, Area.height() - 60);
    Owner.show();
    const auto Centred = [&Owner](QDialog& Dialog, const char* Name) {
        CenterForm(&Dialog, &Owner);
        Dialog.show();
        const QPoint Off = Dialog.frameGeometry().center() - Owner.frameGeometry().center();
        EXPECT_LE(std::abs(Off.x()), 2) << Name;
        EXPECT_LE(std::abs(Off.y()), 2) << Name;
        Dialog.hide();
    };
    TExportItemSelect Items(&Owner, false);
    Centred(Items, "TExportItemSelect");
    TGetReceiveHistory Adapter(&Owner);
    Centred(Adapter, "TGetReceiveHistory");

    THistorySearch Search(&Owner);
    PlaceFormBottomRight(&Search, &Owner, 15, 15);
    Search.show();
    EXPECT_EQ(Search.frameGeometry().bottomRight(), Owner.frameGeometry().bottomRight() - QPoint(15, 15));
    Search.hide();
}
