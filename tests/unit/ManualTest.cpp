#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

const QString BlankPage = QStringLiteral("（このページは空白です）");

// The text of one printed page, or of the whole guide (Page 0).
QString PageText(int Page)
{
    QStringList Arguments;
    if (Page > 0)
        Arguments << QStringLiteral("-f") << QString::number(Page) << QStringLiteral("-l") << QString::number(Page);
    QProcess Process;
    Process.start(QStringLiteral("pdftotext"),
                  Arguments << QStringLiteral(VX_BIN_DIR "/VxRelvo16.pdf") << QStringLiteral("-"));
    Process.waitForFinished();
    // Spaces differ with the extraction (an ideographic space may come out as a plain one).
    return QString::fromUtf8(Process.readAllStandardOutput())
        .remove(QLatin1Char(' '))
        .remove(QChar(0x3000))
        .remove(QLatin1Char('\f'));
}

// The printed page of a help context: context n is on page index n + 3, the printed page n + 4; the
// contents (999) are the first page.
int PageOf(int Context)
{
    return Context == 999 ? 1 : Context + 4;
}

// The program's sources without their comments.
QStringList SourceTexts()
{
    QStringList Texts;
    for (const char* Folder : {"main", "calls", "directory", "transfer", "utility", "apps"}) {
        QDirIterator It(QStringLiteral(VX_SOURCE_DIR "/") + QLatin1String(Folder), {"*.cpp", "*.h"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (It.hasNext()) {
            QFile File(It.next());
            if (File.open(QIODevice::ReadOnly))
                Texts << QString::fromUtf8(File.readAll()).remove(QRegularExpression(QStringLiteral("//[^\n]*")));
        }
    }
    return Texts;
}

// Every help context a window of the program states: a number set as a window's "HelpContext"
// property, or given to a constant or table named after help contexts.
QSet<int> HelpContextsInSources()
{
    const QRegularExpression Constant(QStringLiteral(R"(HelpContext\w*\s*(?:\[[^\]]*\])?\s*=\s*(\{[^}]*\}|\d+))"));
    const QRegularExpression Property(QStringLiteral(
        R"((?:setProperty\(\s*(?:"HelpContext"|\w*HelpContextProperty)|SetHelpContext\(\s*[^,()]+)\s*,\s*(\d+)\s*\))"));
    const QRegularExpression Number(QStringLiteral(R"(\d+)"));
    QSet<int> Contexts;
    for (const QString& Text : SourceTexts())
        for (const QRegularExpression& Pattern : {Constant, Property})
            for (const QRegularExpressionMatch& Match : Pattern.globalMatch(Text))
                for (const QRegularExpressionMatch& Value : Number.globalMatch(Match.captured(1)))
                    Contexts.insert(Value.captured().toInt());
    return Contexts;
}

// Every string literal of the sources, without its accelerator and outer blanks: the captions.
QSet<QString> CaptionsInSources()
{
    const QRegularExpression Literal(QStringLiteral(R"re("((?:[^"\\\n]|\\.)*)")re"));
    const QRegularExpression Accelerator(QStringLiteral(R"(\(&.\)$)"));
    QSet<QString> Captions;
    for (const QString& Text : SourceTexts())
        for (const QRegularExpressionMatch& Match : Literal.globalMatch(Text))
            Captions.insert(Match.captured(1).trimmed().remove(Accelerator).trimmed());
    return Captions;
}

bool Available()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

} // namespace

TEST(ManualTest, EveryHelpContextOfTheProgramHasAPageWithContent)
{
    if (!Available())
        GTEST_SKIP() << "pdftotext is not installed";
    const QSet<int> Contexts = HelpContextsInSources();
    for (int Known : {2, 3, 7, 8, 20, 23, 25, 27, 30, 34, 999}) {
        ASSERT_TRUE(Contexts.contains(Known)) << "the sources state context " << Known << " in a way not read here";
    }

    EXPECT_TRUE(PageText(PageOf(999)).contains(QStringLiteral("目次")));
    for (int Context : Contexts) {
        if (Context == 999)
            continue;
        const QString Text = PageText(PageOf(Context));
        const QString Body = Text.section(QLatin1Char('\n'), 1).remove(QRegularExpression(QStringLiteral(R"(\s)")));
        EXPECT_FALSE(Text.contains(BlankPage)) << "context " << Context;
        EXPECT_GT(Body.size(), 120) << "context " << Context << " has only a line or two:\n" << qPrintable(Text);
        EXPECT_TRUE(Text.contains(QStringLiteral("-%1-").arg(PageOf(Context)))) << Context;
    }
}

// A page for a window the program does not have describes something that is not there.
TEST(ManualTest, NoPageDescribesAWindowTheProgramLacks)
{
    if (!Available())
        GTEST_SKIP() << "pdftotext is not installed";
    const QSet<int> Contexts = HelpContextsInSources();
    int Last = 0;
    for (int Context : Contexts)
        if (Context != 999)
            Last = std::max(Last, Context);
    // Context 0 is no context: its page index is the last front page.
    for (int Context = 1; Context <= Last; ++Context) {
        const QString Text = PageText(PageOf(Context));
        if (!Contexts.contains(Context)) {
            EXPECT_TRUE(Text.contains(BlankPage)) << "context " << Context << "\n" << qPrintable(Text);
        }
    }
    EXPECT_TRUE(PageText(PageOf(Last) + 1).trimmed().isEmpty()) << "the guide ends with the last context";
}

// The guide's titles are the windows' captions, and every button it names in ［］ is a button the program
// shows; keys and the answers of a message box are no captions of ours.
TEST(ManualTest, TitlesAndButtonsAreThoseOfTheProgram)
{
    if (!Available())
        GTEST_SKIP() << "pdftotext is not installed";
    const struct
    {
        int Context;
        const char* Title;
    } Titles[] = {
        {2, "パスワード入力"},
        {3, "メニューウィンドウ"},
        {7, "環境設定"},
        {17, "環境設定：自動バックアップ"},
        {23, "着信対応履歴一覧"},
        {24, "ページジャンプ"},
        {25, "着信対応履歴　検索条件"},
        {27, "着信照会"},
        {34, "着信対応履歴　削除"},
        {36, "登録名簿一覧"},
        {38, "登録名簿　検索条件"},
        {46, "登録名簿　削除"},
        {55, "テキストファイル取り込み"},
        {57, "固定値の入力"},
    };
    for (const auto& Case : Titles)
        EXPECT_EQ(PageText(PageOf(Case.Context)).section(QLatin1Char('\n'), 0, 0),
                  QString::fromUtf8(Case.Title).remove(QChar(0x3000)))
            << Case.Context;

    const QSet<QString> Captions = CaptionsInSources();
    const QSet<QString> NotCaptions = {QStringLiteral("Ｆ１"), QStringLiteral("はい"), QStringLiteral("いいえ")};
    QString Guide = PageText(0);
    // Search and copy in a viewer find what the page shows, digits after letters included.
    EXPECT_TRUE(Guide.contains(QStringLiteral("（VxRelvo16.pdf）")));
    int Named = 0;
    Guide.remove(QLatin1Char('\n'));
    for (const QRegularExpressionMatch& Match : QRegularExpression(QStringLiteral("［([^］]+)］")).globalMatch(Guide)) {
        const QString Button = Match.captured(1);
        if (NotCaptions.contains(Button))
            continue;
        ++Named;
        EXPECT_TRUE(Captions.contains(Button)) << "no button of the program reads " << qPrintable(Button);
    }
    EXPECT_GT(Named, 20);
}
