// The dictionary query tool on the dictionary built from the public postal lists.

#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

QString Query(const QStringList& Arguments)
{
    QProcess Tool;
    Tool.start(QStringLiteral(VX_BIN_DIR "/vxdicquery"), Arguments);
    EXPECT_TRUE(Tool.waitForFinished(30000));
    return QString::fromUtf8(Tool.readAllStandardOutput());
}

TEST(DicQueryToolTest, PrintsWhatTheFourLibrariesAnswer)
{
    const QString Postal = Query({QStringLiteral("postal"), QStringLiteral("1000001")});
    EXPECT_TRUE(Postal.contains(QStringLiteral("東京都千代田区"))) << Postal.toStdString();
    EXPECT_TRUE(Postal.contains(QStringLiteral("千代田\n")));
    EXPECT_TRUE(
        Query({QStringLiteral("area"), QStringLiteral("0466123456")}).contains(QStringLiteral("神奈川県藤沢市")));
    const QString Capital = Query({QStringLiteral("area"), QStringLiteral("0312345678")});
    EXPECT_TRUE(Capital.startsWith(QStringLiteral("rc 0 03-1234-5678, 23 cities\n"))) << Capital.toStdString();
    EXPECT_EQ(Capital.count(QStringLiteral("区 (")), 20);
    EXPECT_TRUE(Query({QStringLiteral("address"), QStringLiteral("千代田区千代田")})
                    .contains(QStringLiteral("1000001 千代田")));
    EXPECT_TRUE(Query({QStringLiteral("fix"), QStringLiteral("東京都千代田区千代田１－１")})
                    .startsWith(QStringLiteral("rc 0 100-0001 東京都千代田区千代田")));
}

} // namespace
