#include "platform/text/Prefectures.h"

namespace {

TPrefectureSplit SplitByTable(const QString& Address, const QString (&Names)[PrefectureCount])
{
    for (const QString& Name : Names) {
        if (Address.startsWith(Name))
            return {true, Name, Address.mid(Name.size())};
    }
    return {false, QString(), Address};
}

} // namespace

const QString PrefectureNames[PrefectureCount] = {
    QStringLiteral("北海道"), QStringLiteral("青森県"),   QStringLiteral("岩手県"), QStringLiteral("宮城県"),
    QStringLiteral("秋田県"), QStringLiteral("山形県"),   QStringLiteral("福島県"), QStringLiteral("茨城県"),
    QStringLiteral("栃木県"), QStringLiteral("群馬県"),   QStringLiteral("埼玉県"), QStringLiteral("千葉県"),
    QStringLiteral("東京都"), QStringLiteral("神奈川県"), QStringLiteral("新潟県"), QStringLiteral("富山県"),
    QStringLiteral("石川県"), QStringLiteral("福井県"),   QStringLiteral("山梨県"), QStringLiteral("長野県"),
    QStringLiteral("岐阜県"), QStringLiteral("静岡県"),   QStringLiteral("愛知県"), QStringLiteral("三重県"),
    QStringLiteral("滋賀県"), QStringLiteral("京都府"),   QStringLiteral("大阪府"), QStringLiteral("兵庫県"),
    QStringLiteral("奈良県"), QStringLiteral("和歌山県"), QStringLiteral("鳥取県"), QStringLiteral("島根県"),
    QStringLiteral("岡山県"), QStringLiteral("広島県"),   QStringLiteral("山口県"), QStringLiteral("徳島県"),
    QStringLiteral("香川県"), QStringLiteral("愛媛県"),   QStringLiteral("高知県"), QStringLiteral("福岡県"),
    QStringLiteral("佐賀県"), QStringLiteral("長崎県"),   QStringLiteral("熊本県"), QStringLiteral("大分県"),
    QStringLiteral("宮崎県"), QStringLiteral("鹿児島県"), QStringLiteral("沖縄県"),
};

const QString PrefectureKanaNames[PrefectureCount] = {
    QStringLiteral("ﾎﾂｶｲﾄﾞｳ"), QStringLiteral("ｱｵﾓﾘｹﾝ"),  QStringLiteral("ｲﾜﾃｹﾝ"),   QStringLiteral("ﾐﾔｷﾞｹﾝ"),
    QStringLiteral("ｱｷﾀｹﾝ"),   QStringLiteral("ﾔﾏｶﾞﾀｹﾝ"), QStringLiteral("ﾌｸｼﾏｹﾝ"),  QStringLiteral("ｲﾊﾞﾗｷｹﾝ"),
    QStringLiteral("ﾄﾁｷﾞｹﾝ"),  QStringLiteral("ｸﾞﾝﾏｹﾝ"),  QStringLiteral("ｻｲﾀﾏｹﾝ"),  QStringLiteral("ﾁﾊﾞｹﾝ"),
    QStringLiteral("ﾄｳｷﾖｳﾄ"),  QStringLiteral("ｶﾅｶﾞﾜｹﾝ"), QStringLiteral("ﾆｲｶﾞﾀｹﾝ"), QStringLiteral("ﾄﾔﾏｹﾝ"),
    QStringLiteral("ｲｼｶﾜｹﾝ"),  QStringLiteral("ﾌｸｲｹﾝ"),   QStringLiteral("ﾔﾏﾅｼｹﾝ"),  QStringLiteral("ﾅｶﾞﾉｹﾝ"),
    QStringLiteral("ｷﾞﾌｹﾝ"),   QStringLiteral("ｼｽﾞｵｶｹﾝ"), QStringLiteral("ｱｲﾁｹﾝ"),   QStringLiteral("ﾐｴｹﾝ"),
    QStringLiteral("ｼｶﾞｹﾝ"),   QStringLiteral("ｷﾖｳﾄﾌ"),   QStringLiteral("ｵｵｻｶﾌ"),   QStringLiteral("ﾋﾖｳｺﾞｹﾝ"),
    QStringLiteral("ﾅﾗｹﾝ"),    QStringLiteral("ﾜｶﾔﾏｹﾝ"),  QStringLiteral("ﾄﾂﾄﾘｹﾝ"),  QStringLiteral("ｼﾏﾈｹﾝ"),
    QStringLiteral("ｵｶﾔﾏｹﾝ"),  QStringLiteral("ﾋﾛｼﾏｹﾝ"),  QStringLiteral("ﾔﾏｸﾞﾁｹﾝ"), QStringLiteral("ﾄｸｼﾏｹﾝ"),
    QStringLiteral("ｶｶﾞﾜｹﾝ"),  QStringLiteral("ｴﾋﾒｹﾝ"),   QStringLiteral("ｺｳﾁｹﾝ"),   QStringLiteral("ﾌｸｵｶｹﾝ"),
    QStringLiteral("ｻｶﾞｹﾝ"),   QStringLiteral("ﾅｶﾞｻｷｹﾝ"), QStringLiteral("ｸﾏﾓﾄｹﾝ"),  QStringLiteral("ｵｵｲﾀｹﾝ"),
    QStringLiteral("ﾐﾔｻﾞｷｹﾝ"), QStringLiteral("ｶｺﾞｼﾏｹﾝ"), QStringLiteral("ｵｷﾅﾜｹﾝ"),
};

TPrefectureSplit SplitPrefecture(const QString& Address)
{
    return SplitByTable(Address, PrefectureNames);
}

TPrefectureSplit SplitPrefectureKana(const QString& Address)
{
    return SplitByTable(Address, PrefectureKanaNames);
}

int PrefectureIndex(const QString& Name)
{
    for (int I = 0; I < PrefectureCount; ++I)
        if (PrefectureNames[I] == Name)
            return I;
    return -1;
}
