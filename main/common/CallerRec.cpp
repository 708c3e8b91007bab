#include "main/common/CallerRec.h"

#include "platform/text/Cp932.h"

namespace {

void Cut(QString& Text, int Width)
{
    Text = Cp932Left(Text, Width);
}

} // namespace

void ClearCallerRecord(TCallerRecord* Record)
{
    if (!Record)
        return;
    Record->Note.reset();
    Record->ExtFile.reset();
    *Record = TCallerRecord();
}

void CutCallerRecordToWidths(TCallerRecord& Record)
{
    using R = TCallerRecord;
    for (QString& Number : Record.SchTel)
        Cut(Number, R::SchTelWidth);
    for (QString& Number : Record.Tel)
        Cut(Number, R::TelWidth);
    Cut(Record.Pos, R::PosWidth);
    Cut(Record.Tdfkn, R::TdfknWidth);
    Cut(Record.Adrs1, R::Adrs1Width);
    Cut(Record.Adrs2, R::Adrs2Width);
    Cut(Record.Adrs3, R::Adrs3Width);
    Cut(Record.JisCode, R::JisCodeWidth);
    Cut(Record.KajoCode, R::KajoCodeWidth);
    Cut(Record.CorpKana, R::CorpKanaWidth);
    Cut(Record.CorpKanji, R::CorpKanjiWidth);
    Cut(Record.NameKana, R::NameKanaWidth);
    Cut(Record.NameKanji, R::NameKanjiWidth);
    Cut(Record.Memo1, R::MemoWidth);
    Cut(Record.Memo2, R::MemoWidth);
    Cut(Record.Memo3, R::MemoWidth);
    Cut(Record.Rank, R::RankWidth);
    Cut(Record.SelItem1, R::SelItemWidth);
    Cut(Record.SelItem2, R::SelItemWidth);
    Cut(Record.SelItem3, R::SelItemWidth);
    Cut(Record.EMail, R::EMailWidth);
    Cut(Record.Msg1, R::MsgLineWidth);
    Cut(Record.Msg2, R::MsgLineWidth);
    Cut(Record.BGColor, R::BGColorWidth);
}

bool IsCallerNumberCode(const QString& Number)
{
    return !CallerNumberCodeText(Number).isEmpty();
}

QString CallerNumberCodeText(const QString& Number)
{
    const QString Trimmed = Number.trimmed();
    if (Trimmed.isEmpty())
        return QString();
    switch (Trimmed[0].unicode()) {
    case CallerCodeAnonymous:
        return QStringLiteral("匿名着信");
    case CallerCodeOutOfArea:
        return QStringLiteral("表示圏外");
    case CallerCodePublicPhone:
        return QStringLiteral("公衆電話");
    case CallerCodeWithheld:
        return QStringLiteral("契約条件");
    case CallerCodeSpecial:
        return QStringLiteral("特殊電話番号");
    default:
        return QString();
    }
}
