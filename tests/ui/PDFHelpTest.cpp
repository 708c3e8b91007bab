#include "main/help/PDFHelp.h"

#include "platform/sys/Registry.h"
#include "tests/support/HermeticRun.h"
#include "tests/support/ScriptedBoxes.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// A viewer on PATH that writes its arguments to a file beside itself, with the shell alone: PATH holds
// nothing of the machine's, so that no real viewer can be found instead.
QString FakeViewer(const QTemporaryDir& Dir, const QString& Name)
{
    const QString Path = Dir.filePath(Name);
    QFile File(Path);
    File.open(QIODevice::WriteOnly);
    File.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"${0%/*}/args.txt\"\n");
    File.close();
    File.setPermissions(File.permissions() | QFileDevice::ExeOwner);
    return Path;
}

QStringList WaitForArgs(const QTemporaryDir& Dir)
{
    QFile File(Dir.filePath(QStringLiteral("args.txt")));
    for (QDeadlineTimer Deadline(5000); !Deadline.hasExpired(); QThread::msleep(20))
        if (File.exists() && File.size() > 0)
            break;
    if (!File.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(File.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

TEST(PDFHelpTest, MapsHelpContextsToPages)
{
    TPDFHelp Help;
    Help.SetPageOffset(3);
    Help.SetUsePageOffset(true);
    EXPECT_EQ(Help.PageIndexForContext(5), 8);
    EXPECT_EQ(Help.PageIndexForContext(999), 0);
    EXPECT_EQ(Help.PageIndexForContext(2), 5);
    // Every viewer is given the 1-based page number: index 8 is page 9.
    const QString F = QStringLiteral("/p/VxRelvo16.pdf");
    using V = TPDFHelp::TViewer;
    const struct
    {
        V Viewer;
        QStringList Arguments;
    } Cases[] = {
        {V::Okular, {"--unique", "-p", "9", F}},
        {V::Evince, {"-i", "9", F}},
        {V::Atril, {"-i", "9", F}},
        {V::Zathura, {"-P", "9", F}},
        {V::Qpdfview, {"--unique", F + "#9"}},
        {V::Xpdf, {F, "9"}},
        {V::Mupdf, {F, "9"}},
        {V::Desktop, {F}},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(TPDFHelp::ViewerArguments(Case.Viewer, F, 8), Case.Arguments)
            << qPrintable(TPDFHelp::ViewerProgramName(Case.Viewer));
}

TEST(PDFHelpTest, OpensTheGuideInAViewerFoundOnPathOrInTheRegistry)
{
    QTemporaryDir Bin;
    FakeViewer(Bin, QStringLiteral("zathura"));
    const TPathGuard Path(Bin.path());

    TPDFHelp Help;
    SetUpManual(Help, QStringLiteral(VX_BIN_DIR "/"));
    EXPECT_FALSE(Help.Unusable);
    EXPECT_EQ(Help.Viewer, TPDFHelp::TViewer::Zathura);
    EXPECT_EQ(Help.FileName, QStringLiteral(VX_BIN_DIR "/VxRelvo16.pdf"))
        << "the guide is built into the program folder";
    EXPECT_TRUE(ShowManualForContext(Help, 5, nullptr));
    EXPECT_EQ(WaitForArgs(Bin), (QStringList{"-P", "9", Help.FileName}));

    // An App Paths entry of the registry file comes before PATH.
    QTemporaryDir Registered;
    FakeViewer(Registered, QStringLiteral("okular"));
    ASSERT_TRUE(WriteRegistryString(
        QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\okular"),
        QStringLiteral("Path"), Registered.path()));
    TPDFHelp Other;
    SetUpManual(Other, QStringLiteral(VX_BIN_DIR "/"));
    EXPECT_EQ(Other.Viewer, TPDFHelp::TViewer::Okular);
    EXPECT_TRUE(ShowManualForContext(Other, 999, nullptr));
    EXPECT_EQ(WaitForArgs(Registered), (QStringList{"--unique", "-p", "1", Other.FileName}));
    QFile::remove(RegistryFileName());
}

TEST(PDFHelpTest, ReportsAMissingGuideAndAMissingViewer)
{
    TScriptedBoxes Boxes;
    QTemporaryDir Empty;
    const TPathGuard Path(Empty.path());

    TPDFHelp Help;
    SetUpManual(Help, Empty.path() + QLatin1Char('/'));
    EXPECT_TRUE(Help.Unusable);
    EXPECT_EQ(Help.Status, 101);
    EXPECT_TRUE(Help.FileName.isEmpty());
    EXPECT_FALSE(ShowManualForContext(Help, 3, nullptr));
    ASSERT_EQ(Boxes.Texts().size(), 1);
    EXPECT_TRUE(Boxes.Texts()[0].endsWith(
        QStringLiteral("\r\n\r\n表示できるようにしてから「ヘルプ」メニューの「操作ガイド」を開き  \r\n"
                       "「操作ガイドの使用について」をご確認ください  ")));

    FakeViewer(Empty, QStringLiteral("evince"));
    TPDFHelp Usable;
    SetUpManual(Usable, Empty.path() + QLatin1Char('/'));
    EXPECT_TRUE(ShowManualForContext(Usable, 3, nullptr));
    EXPECT_EQ(Usable.Status, 201);
    EXPECT_EQ(Boxes.Texts().value(1), QStringLiteral("『Tolvane１６ 操作ガイド』が見つかりません  "));
}
