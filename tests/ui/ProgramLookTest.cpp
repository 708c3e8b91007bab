#include "main/start/ProgramLook.h"

#include "main/help/VerInfo.h"
#include "main/start/MainIcons.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTranslator>
#include <gtest/gtest.h>
#include <memory>

namespace {

bool SameImage(const QPixmap& A, const QPixmap& B)
{
    return !A.isNull() && A.toImage() == B.toImage();
}

// Qt's own windows speak Japanese, calendars start on Sunday, and every window carries the program's
// icon, as both programs set themselves up.
TEST(ProgramLookTest, QtTextsAreJapaneseAndEveryWindowHasTheProgramIcon)
{
    const QLocale Before;
    SetUpProgramLook();

    QLineEdit Edit;
    const std::unique_ptr<QMenu> Menu(Edit.createStandardContextMenu());
    QStringList Items;
    for (const QAction* Action : Menu->actions())
        if (!Action->isSeparator())
            Items << Action->text().section(QLatin1Char('\t'), 0, 0);
    EXPECT_EQ(Items.value(0), QStringLiteral("元に戻す(&U)")) << Items.join(QLatin1Char(',')).toStdString();
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("アドレス:"));

    QCalendarWidget Calendar;
    EXPECT_EQ(Calendar.firstDayOfWeek(), Qt::Sunday);
    EXPECT_EQ(QLocale().language(), QLocale::Japanese);

    QWidget Window;
    EXPECT_TRUE(SameImage(Window.windowIcon().pixmap(32, 32), ProgramIcon().pixmap(32, 32)));
    TVersionInfo Version(nullptr, TVersionInfoParams{});
    EXPECT_TRUE(SameImage(Version.imgIcon->pixmap(), ProgramIcon().pixmap(32, 32)));

    for (QTranslator* Translator : qApp->findChildren<QTranslator*>())
        QCoreApplication::removeTranslator(Translator);
    QLocale::setDefault(Before);
    QApplication::setWindowIcon(QIcon());
}

// The build lays a desktop menu entry for each program beside it, with the icon it names.
TEST(ProgramLookTest, DesktopEntriesLieBesideThePrograms)
{
    for (const char* Program : {"VxRelvo16", "VxUtil16"}) {
        SCOPED_TRACE(Program);
        QFile Entry(QStringLiteral(VX_BIN_DIR "/") + QLatin1String(Program) + QStringLiteral(".desktop"));
        ASSERT_TRUE(Entry.open(QIODevice::ReadOnly));
        const QStringList Lines = QString::fromUtf8(Entry.readAll()).split(QLatin1Char('\n'));
        EXPECT_EQ(Lines.value(0), QStringLiteral("[Desktop Entry]"));
        EXPECT_TRUE(Lines.contains(QStringLiteral("Exec=\"" VX_BIN_DIR "/") + QLatin1String(Program) + "\""));
        EXPECT_TRUE(Lines.contains(QStringLiteral("Type=Application")));
        for (const QString& Line : Lines) {
            if (Line.startsWith(QStringLiteral("Icon="))) {
                EXPECT_TRUE(QFile::exists(Line.mid(5))) << Line.toStdString();
            }
        }
    }
}

} // namespace
