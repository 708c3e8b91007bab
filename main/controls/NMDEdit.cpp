#include "main/controls/NMDEdit.h"

#include "main/common/CommonText.h"
#include "platform/text/Cp932.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>

namespace {

const char* const ByteLimitProperty = "MaxBytes";

// A reading longer than this is no name; the owner is not asked about it.
constexpr int MaxReadingBytes = 30;

const QString KanaFrom =
    QStringLiteral("あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわ"
                   "をんぁぃぅぇぉっゃゅょー、。");
const QString KanaTo = QStringLiteral("ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜｦﾝｧｨｩｪｫｯｬｭｮｰ､｡");
const QString VoicedFrom = QStringLiteral("ヴがぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽ");
const QString VoicedBase = QStringLiteral("ｳｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾊﾋﾌﾍﾎﾊﾋﾌﾍﾎ");

// Text the input method shows before it converts: kana, the long-vowel mark, and the Latin letters
// of romaji typed so far. Anything else (kanji above all) means the composition was converted.
bool IsReadingText(const QString& Text)
{
    if (Text.isEmpty())
        return false;
    for (const QChar C : Text) {
        const char16_t U = C.unicode();
        const bool Kana = (U >= 0x3041 && U <= 0x3096) || (U >= 0x30A1 && U <= 0x30FA) || U == 0x30FC ||
                          (U >= 0xFF66 && U <= 0xFF9F) || U == 0x3001 || U == 0x3002;
        const bool Latin = (U >= u'a' && U <= u'z') || (U >= u'A' && U <= u'Z') || (U >= 0xFF21 && U <= 0xFF3A) ||
                           (U >= 0xFF41 && U <= 0xFF5A) || U == u'\'' || U == u'-';
        if (!Kana && !Latin)
            return false;
    }
    return true;
}

bool IsSpaceOnly(const QString& Text)
{
    if (Text.isEmpty())
        return false;
    for (const QChar C : Text)
        if (C != u' ' && C != QChar(0x3000))
            return false;
    return true;
}

// The reading without the characters that have no single-byte form.
QString SingleByteOnly(const QString& Text)
{
    QString Result;
    for (const QChar C : Text)
        if (Cp932CharWidth(C.unicode()) == 1)
            Result += C;
    return Result;
}

} // namespace

void SetByteLimit(QLineEdit* Edit, int MaxBytes)
{
    if (!Edit)
        return;
    const bool Had = Edit->property(ByteLimitProperty).isValid();
    Edit->setProperty(ByteLimitProperty, MaxBytes);
    if (Had)
        return;
    QObject::connect(Edit, &QLineEdit::textEdited, Edit, [Edit](const QString& Text) {
        const int Limit = ByteLimit(Edit);
        if (Limit <= 0 || Cp932Width(Text) <= Limit)
            return;
        const int Cursor = Edit->cursorPosition();
        const QString Cut = Cp932Left(Text, Limit);
        Edit->setText(Cut);
        Edit->setCursorPosition(std::min(Cursor, static_cast<int>(Cut.size())));
    });
}

int ByteLimit(const QLineEdit* Edit)
{
    return Edit ? Edit->property(ByteLimitProperty).toInt() : 0;
}

QString ReadingToHalfKana(const QString& Reading)
{
    QString Result;
    for (const QChar C : Reading) {
        if (const qsizetype I = KanaFrom.indexOf(C); I >= 0) {
            Result += KanaTo.at(I);
        } else if (const qsizetype V = VoicedFrom.indexOf(C); V >= 0) {
            Result += VoicedBase.at(V);
            Result += V >= 21 ? QChar(0xFF9F) : QChar(0xFF9E); // ﾟ for the ぱ row, ﾞ otherwise
        } else {
            Result += C;
        }
    }
    return ToHalfWidth(Result);
}

bool CommitAsHalfKana(QWidget* Edit, const QInputMethodEvent* Input)
{
    const QString Commit = Input->commitString();
    const QString Half = ReadingToHalfKana(Commit);
    if (Half == Commit)
        return false;
    QInputMethodEvent Converted(Input->preeditString(), Input->attributes());
    Converted.setCommitString(Half, Input->replacementStart(), Input->replacementLength());
    QCoreApplication::sendEvent(Edit, &Converted);
    return true;
}

bool SyllableBoundary(const QByteArray& Reading, bool& RomajiPending)
{
    if (Reading.isEmpty())
        return false;
    const auto At = [&](qsizetype FromEnd) {
        return FromEnd < Reading.size() ? static_cast<unsigned char>(Reading.at(Reading.size() - 1 - FromEnd)) : 0;
    };
    const unsigned char C = At(0);
    const unsigned char P = At(1);
    const unsigned char Q = At(2);
    bool Post = false;
    if (RomajiPending && Reading.size() > 1) {
        if (C == 'h') {
            Post = P == 'c' || P == 's' || P == 't' || P == 'w' ? false : P == 'h' ? Q == 'h' : true;
        } else if (C == 't') {
            Post = P == 'l' ? false : P == 't' ? Q == 't' : true;
        } else if (C == 'y') {
            if (P == 'a' || P == 'e' || P == 'i' || P == 'o' || P == 'u' || P == 'v' || P == 'w')
                Post = true;
            else
                Post = P == 'y' && Q == 'y';
        } else if (C >= 0xAC && C <= 0xDF) {
            Post = true;
        } else {
            Post = C != P || Q == C;
        }
    } else if ((C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z')) {
        RomajiPending = true;
        return false;
    } else {
        Post = true;
    }
    if (Post)
        RomajiPending = false;
    return Post;
}

TNMDEdit::TNMDEdit(QWidget* Parent) : QLineEdit(Parent)
{
    connect(this, &QLineEdit::textChanged, this, [this](const QString& Text) {
        if (FInputType == TInputKind::itKanji && Text.isEmpty() && FAssociate)
            FAssociate->clear();
    });
}

TNMDEdit::~TNMDEdit()
{
    RaiseConvertNeed(FNameKind, false, QString());
}

void TNMDEdit::SetAssociate(QLineEdit* Value)
{
    if (Value == this)
        return;
    FAssociate = Value;
}

int TNMDEdit::BytesBefore(int Position) const
{
    return Cp932Width(text().left(Position));
}

int TNMDEdit::PositionOfByte(int Bytes) const
{
    const QString Text = text();
    int Count = 0;
    int Position = 0;
    while (Position < Text.size() && Count < Bytes) {
        const int Length = Text.at(Position).isHighSurrogate() && Position + 1 < Text.size() ? 2 : 1;
        Count += Cp932Width(Text.mid(Position, Length));
        Position += Length;
    }
    return Position;
}

int TNMDEdit::XPSelStart() const
{
    return BytesBefore(hasSelectedText() ? selectionStart() : cursorPosition());
}

void TNMDEdit::SetXPSelStart(int Value)
{
    setCursorPosition(PositionOfByte(Value));
}

int TNMDEdit::XPSelLength() const
{
    if (!hasSelectedText())
        return 0;
    return Cp932Width(selectedText());
}

void TNMDEdit::SetXPSelLength(int Value)
{
    const int Start = XPSelStart();
    const int From = PositionOfByte(Start);
    setSelection(From, PositionOfByte(Start + Value) - From);
}

void TNMDEdit::RaiseConvertNeed(TNameDicKind Kind, bool Show, const QString& Value)
{
    if (OnConvertNeed)
        OnConvertNeed(this, Kind, Show, Value);
}

bool TNMDEdit::event(QEvent* Event)
{
    if (Event->type() == TWindowMessageEvent::EventType()) {
        const auto* Message = static_cast<TWindowMessageEvent*>(Event);
        if (Message->Msg == WM_NMDEDIT_CONVERT) {
            RaiseConvertNeed(FNameKind, FShowFlag, FReading);
            return true;
        }
    }
    return QLineEdit::event(Event);
}

void TNMDEdit::StartComposition()
{
    FNameKind = text().left(hasSelectedText() ? selectionStart() : cursorPosition()).trimmed().isEmpty()
                    ? TNameDicKind::nkLineage
                    : TNameDicKind::nkFirst;
    // The edit drops its selection as soon as the composition starts; whether the new name replaces
    // the whole old one has to be known now.
    FReplaceAll = text().isEmpty() || (hasSelectedText() && selectedText() == text());
    FRomajiPending = false;
    FCompositionIdle = false;
    FReading.clear();
    FReadingPreEdit.clear();
}

void TNMDEdit::CompositionReading(const QString& PreEdit)
{
    FPreEdit = PreEdit;
    const bool Unconverted = IsReadingText(PreEdit);
    if (Unconverted) {
        const QString Reading = ReadingToHalfKana(PreEdit);
        if (Cp932Width(Reading) >= MaxReadingBytes)
            return;
        FReading = Reading;
        FReadingPreEdit = PreEdit;
    }
    FShowFlag = Unconverted;
    if (FReading.isEmpty())
        return;
    if (SyllableBoundary(Cp932Encode(FReading), FRomajiPending))
        PostMessage(this, WM_NMDEDIT_CONVERT);
}

void TNMDEdit::EndComposition(bool Committed, const QString& Result)
{
    RaiseConvertNeed(FNameKind, false, QString());
    if (Committed && FInputType == TInputKind::itKanji && FAssociate) {
        if (FReplaceAll)
            FAssociate->clear();
        QString Reading = FReading;
        // Letters still waiting to become kana are no part of the reading of a converted name (a
        // prediction taken after "tanak" reads "ﾀﾅ", not "ﾀﾅk"); text committed as typed keeps them.
        if (Result != FReadingPreEdit)
            while (!Reading.isEmpty() && Reading.back().unicode() < 0x80 && Reading.back().isLetter())
                Reading.chop(1);
        AppendToAssociate(SingleByteOnly(Reading));
    }
    FCompositionIdle = true;
    FPreEdit.clear();
}

void TNMDEdit::AppendToAssociate(const QString& Text)
{
    if (!FAssociate || Text.isEmpty())
        return;
    QString Joined = FAssociate->text() + Text;
    if (const int Limit = ByteLimit(FAssociate); Limit > 0)
        Joined = Cp932Left(Joined, Limit);
    FAssociate->setText(Joined);
}

void TNMDEdit::inputMethodEvent(QInputMethodEvent* Event)
{
    // The kana edit holds the reading as the directory keeps it, whatever form the input method gives.
    if (FInputType == TInputKind::itKana && CommitAsHalfKana(this, Event)) {
        Event->accept();
        return;
    }
    const QString Commit = Event->commitString();
    const QString PreEdit = Event->preeditString();

    if (!Commit.isEmpty() && !PreEdit.isEmpty()) {
        // The input method finished one name and went straight on with the next in the same event.
        // The finished name goes into the edit first, so that the next one starts behind it: as a
        // given name after a family name, and appending to the reading instead of replacing it.
        QInputMethodEvent Finished;
        Finished.setCommitString(Commit, Event->replacementStart(), Event->replacementLength());
        inputMethodEvent(&Finished);
        QInputMethodEvent Next(PreEdit, Event->attributes());
        inputMethodEvent(&Next);
        Event->accept();
        return;
    }

    if (FCompositionIdle && PreEdit.isEmpty() && !Commit.isEmpty()) {
        // A result with no composition before it: a space between family and given name, or text
        // the input method passed straight through.
        if (IsSpaceOnly(Commit)) {
            if (FInputType == TInputKind::itKanji)
                AppendToAssociate(QStringLiteral(" "));
        } else {
            StartComposition();
            if (IsReadingText(Commit)) {
                FReading = ReadingToHalfKana(Commit);
                FReadingPreEdit = Commit;
            }
            EndComposition(true, Commit);
        }
        QLineEdit::inputMethodEvent(Event);
        return;
    }

    if (FCompositionIdle && !PreEdit.isEmpty())
        StartComposition();
    if (!FCompositionIdle && !Commit.isEmpty())
        EndComposition(true, Commit);
    QLineEdit::inputMethodEvent(Event);
    if (!FCompositionIdle) {
        if (!PreEdit.isEmpty())
            CompositionReading(PreEdit);
        else if (Commit.isEmpty())
            EndComposition(false, QString()); // the composition was given up: no name, no reading
    }
}

void TNMDEdit::keyPressEvent(QKeyEvent* Event)
{
    // The owner's name list takes the keys that move in it while a name is being composed.
    if (!FCompositionIdle && OnConvertKeyDown) {
        switch (Event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Left:
        case Qt::Key_Up:
        case Qt::Key_Right:
        case Qt::Key_Down: {
            unsigned Key = static_cast<unsigned>(Event->key());
            bool Handled = false;
            OnConvertKeyDown(this, Key, Handled);
            if (Handled) {
                Event->accept();
                return;
            }
            break;
        }
        default:
            break;
        }
    }
    QLineEdit::keyPressEvent(Event);
}

void TNMDEdit::CancelComposition()
{
    if (FCompositionIdle)
        return;
    FCompositionIdle = true;
    FPreEdit.clear();
    if (hasFocus())
        QGuiApplication::inputMethod()->reset();
}

void TNMDEdit::focusOutEvent(QFocusEvent* Event)
{
    RaiseConvertNeed(FNameKind, false, QString());
    if (!FCompositionIdle) {
        // Leaving the edit gives the unfinished name up: the input method is told to drop it.
        FCompositionIdle = true;
        FPreEdit.clear();
        QGuiApplication::inputMethod()->reset();
    }
    QLineEdit::focusOutEvent(Event);
}

void TNMDEdit::InsertName(const QString& Kanji, const QString& Kana, bool NoSpace)
{
    CancelComposition();
    QString OwnKanji = Kanji;
    QString OwnKana = Kana;
    if (!NoSpace && XPSelStart() == 0) {
        OwnKanji += QChar(0x3000);
        OwnKana += u' ';
    }
    const QString Mine = FInputType == TInputKind::itKanji ? OwnKanji : OwnKana;
    const QString Other = FInputType == TInputKind::itKanji ? OwnKana : OwnKanji;
    if (FAssociate) {
        if (text().isEmpty() || (hasSelectedText() && selectedText() == text()))
            FAssociate->clear();
        FAssociate->setText(FAssociate->text() + Other);
    }
    insert(Mine);
    if (const int Limit = ByteLimit(this); Limit > 0 && Cp932Width(text()) > Limit)
        setText(Cp932Left(text(), Limit));
    if (FAssociate) {
        if (const int Limit = ByteLimit(FAssociate); Limit > 0 && Cp932Width(FAssociate->text()) > Limit)
            FAssociate->setText(Cp932Left(FAssociate->text(), Limit));
    }
    setCursorPosition(static_cast<int>(text().size()));
}
