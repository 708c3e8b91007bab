#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

QString PageText(int Page)
{
    QProcess Process;
    Process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-f"), QString::number(Page), QStringLiteral("-l"), QString::number(Page),
                   QStringLiteral(VX_BIN_DIR "/VxRelvo16.pdf"), QStringLiteral("-")});
    Process.waitForFinished();
    // Spaces differ with the extraction (an ideographic space may come out as a plain one).
    return QString::fromUtf8(Process.readAllStandardOutput())
        .remove(QLatin1Char(' '))
        .remove(QChar(0x3000))
        .remove(QLatin1Char('\f'));
}

} // namespace

// The guide's pages follow the help contexts: context n is on page index n + 3, that is the printed
// page n + 4; the contents are on the first page.
TEST(ManualTest, PagesFollowTheHelpContexts)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    const struct
    {
        int Context;
        const char* Title;
    } Cases[] = {
        {999, "目次"},
        {2, "パスワード入力"},
        {3, "メニューウィンドウ"},
        {7, "環境設定"},
        {17, "自動バックアップ"},
        {27, "着信照会"},
        {38, "登録名簿　検索条件"},
        {68, "一覧表の印刷"},
        {89, "アドレス帳の作成"},
    };
    for (const auto& Case : Cases) {
        const int Page = Case.Context == 999 ? 1 : Case.Context + 4;
        const QString Text = PageText(Page);
        EXPECT_TRUE(Text.contains(QString::fromUtf8(Case.Title).remove(QChar(0x3000)))) << Case.Context << "\n"
                                                                                        << qPrintable(Text);
        EXPECT_TRUE(Text.contains(QStringLiteral("-%1-").arg(Page))) << Case.Context;
    }
    EXPECT_TRUE(PageText(5 + 4).contains(QStringLiteral("このページは空白です"))) << "a context without a window";
    // Search and copy in a viewer find the ideographs themselves, not look-alike radicals.
    EXPECT_TRUE(PageText(2 + 4).contains(QStringLiteral("パスワード入力")));
    EXPECT_TRUE(PageText(94).trimmed().isEmpty()) << "the guide ends with the last context";
}
