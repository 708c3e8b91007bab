#include "main/controls/NMDEdit.h"

#include "main/common/CommonText.h"
#include "platform/text/Cp932.h"
#include "platform/ui/KeysFirst.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QTextCharFormat>
#include <QTimer>
#include <QValidator>
#include <QWindow>

namespace {

const char* const ByteLimitProperty = "MaxBytes";
const char* const KanaPreEditProperty = "KanaPreEdit";

// How long a composition given up may still come back as a result. fcitx5 sends it at once, from
// inside the reset; IBus's engine sends it a moment later, to whichever control then has the focus.
constexpr int LateCommitMilliseconds = 1000;

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

// Kanji: what a kana field never takes from a conversion.
bool HasKanji(const QString& Text)
{
    for (const QChar C : Text) {
        const char16_t U = C.unicode();
        if ((U >= 0x3400 && U <= 0x9FFF) || (U >= 0xF900 && U <= 0xFAFF) || U == 0x3005 || U == 0x3006 ||
            C.isSurrogate())
            return true;
    }
    return false;
}

// Full-width katakana in a composition is the input method's katakana conversion (F7), no kana
// still being typed.
bool IsKatakana(const QString& Text)
{
    for (const QChar C : Text)
        if (C.unicode() >= 0x30A1 && C.unicode() <= 0x30FA)
            return true;
    return false;
}

// Whether the input method shows part of the composition as a conversion: it marks the segment
// under conversion with the highlight colours, the text still typed only with an underline.
bool HasConvertedSegment(const QInputMethodEvent& Event)
{
    for (const QInputMethodEvent::Attribute& Part : Event.attributes()) {
        if (Part.type != QInputMethodEvent::TextFormat || Part.length <= 0)
            continue;
        const QTextFormat Format = qvariant_cast<QTextFormat>(Part.value);
        if (Format.hasProperty(QTextFormat::BackgroundBrush) && Format.background().style() != Qt::NoBrush)
            return true;
    }
    return false;
}

// The reading an input method passes with its text, where it passes one.
QString RubyOf(const QInputMethodEvent& Event)
{
    QString Ruby;
    for (const QInputMethodEvent::Attribute& Part : Event.attributes())
        if (Part.type == QInputMethodEvent::Ruby)
            Ruby += Part.value.toString();
    return Ruby;
}

// Drops, for a short while, a result equal to a composition the program gave up: input methods
// answer a reset by committing what was open, which must not land in this or the next control.
class TLateCommitFilter : public QObject
{
public:
    explicit TLateCommitFilter(const QString& Text) : QObject(QCoreApplication::instance()), FText(Text)
    {
        QCoreApplication::instance()->installEventFilter(this);
        QTimer::singleShot(LateCommitMilliseconds, this, [this] { deleteLater(); });
    }

protected:
    bool eventFilter(QObject*, QEvent* Event) override
    {
        if (Event->type() != QEvent::InputMethod || FDone)
            return false;
        auto* Input = static_cast<QInputMethodEvent*>(Event);
        if (Input->commitString() != FText || !Input->preeditString().isEmpty())
            return false;
        FDone = true;
        deleteLater();
        Input->accept();
        return true;
    }

private:
    QString FText;
    bool FDone = false;
};

void DropLateCommit(const QString& Text)
{
    if (!Text.isEmpty())
        new TLateCommitFilter(Text);
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

// Keeps an edit within its width in CP932 bytes the way a width-limited edit does: a change that
// would overflow it takes only what fits of what was typed or pasted, and a keystroke of which
// nothing fits is refused. The text around the insertion is never cut to make room.
class TByteLimitValidator : public QValidator
{
public:
    explicit TByteLimitValidator(QLineEdit* Edit) : QValidator(Edit), FEdit(Edit), FLast(Edit->text())
    {
        // Every text the edit takes, set or typed, is what the next change starts from.
        QObject::connect(Edit, &QLineEdit::textChanged, this, [this](const QString& Text) { FLast = Text; });
        Edit->installEventFilter(this);
    }

    // Only what the user puts in is held to the width: a stored text the program shows may be
    // longer, and is shown whole.
    bool eventFilter(QObject*, QEvent* Event) override
    {
        switch (Event->type()) {
        case QEvent::KeyPress:
        case QEvent::InputMethod:
        case QEvent::ContextMenu: // its paste runs inside the menu
        case QEvent::Drop:
        case QEvent::MouseButtonRelease: // the selection's paste of X11
            if (!FUserInput) {
                FUserInput = true;
                QTimer::singleShot(0, this, [this] { FUserInput = false; });
            }
            break;
        default:
            break;
        }
        return false;
    }

    State validate(QString& Input, int& Position) const override
    {
        if (!FUserInput)
            return Acceptable;
        const int Limit = ByteLimit(FEdit);
        const int Width = Cp932Width(Input);
        if (Limit <= 0 || Width <= Limit || Width <= Cp932Width(FLast))
            return Acceptable;
        // What the change put in: Input is FLast with a middle part replaced.
        qsizetype Head = 0;
        while (Head < Input.size() && Head < FLast.size() && Input[Head] == FLast[Head])
            ++Head;
        qsizetype Tail = 0;
        while (Tail < Input.size() - Head && Tail < FLast.size() - Head &&
               Input[Input.size() - 1 - Tail] == FLast[FLast.size() - 1 - Tail])
            ++Tail;
        const QString Before = Input.left(Head);
        const QString After = Input.right(Tail);
        const QString Inserted = Input.mid(Head, Input.size() - Head - Tail);
        const QString Fits = Cp932Left(Inserted, Limit - Cp932Width(Before + After));
        if (Fits.isEmpty())
            return Invalid;
        Input = Before + Fits + After;
        Position = static_cast<int>(Before.size() + Fits.size());
        QApplication::beep();
        return Acceptable;
    }

private:
    QLineEdit* FEdit;
    QString FLast;
    bool FUserInput = false;
};

} // namespace

void SetByteLimit(QLineEdit* Edit, int MaxBytes)
{
    if (!Edit)
        return;
    const bool Had = Edit->property(ByteLimitProperty).isValid();
    Edit->setProperty(ByteLimitProperty, MaxBytes);
    if (Had)
        return;
    Edit->setValidator(new TByteLimitValidator(Edit));
    // A keystroke the full edit refuses is heard, as the edit of the platform beeps.
    QObject::connect(Edit, &QLineEdit::inputRejected, Edit, [] { QApplication::beep(); });
}

int ByteLimit(const QLineEdit* Edit)
{
    return Edit ? Edit->property(ByteLimitProperty).toInt() : 0;
}

QString ReadingToHalfKana(const QString& Reading)
{
    QString Result;
    for (const QChar Each : Reading) {
        // The hiragana ゔ, as an input method spells ヴ before it converts, is the same sound.
        const QChar C = Each == QChar(0x3094) ? QChar(0x30F4) : Each;
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
    const QString PreEdit = Input->preeditString();
    QString Kana = Commit;
    if (HasKanji(Commit))
        Kana = Edit->property(KanaPreEditProperty).toString(); // nothing known: the conversion is refused
    if (!Commit.isEmpty())
        Edit->setProperty(KanaPreEditProperty, QVariant());
    if (IsReadingText(PreEdit))
        Edit->setProperty(KanaPreEditProperty, PreEdit);
    const QString Half = ReadingToHalfKana(Kana);
    if (Half == Commit)
        return false;
    QInputMethodEvent Converted(PreEdit, Input->attributes());
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
    ClearKeysFirst(this);
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

void TNMDEdit::StartComposition(const QString& PreEdit)
{
    FCancelled.clear();
    FCompositionIdle = false;
    FRomajiPending = false;
    FReading.clear();
    FReadingPreEdit.clear();
    // A composition never begins converted: one that does is the rest of a result the input method
    // committed in pieces, whose reading went to the Associate with the first piece.
    FContinued = !FAppended.isEmpty() && !IsReadingText(PreEdit);
    if (FContinued)
        return;
    FAppended.clear();
    FNameKind = text().left(hasSelectedText() ? selectionStart() : cursorPosition()).trimmed().isEmpty()
                    ? TNameDicKind::nkLineage
                    : TNameDicKind::nkFirst;
    // The edit drops its selection as soon as the composition starts; whether the new name replaces
    // the whole old one has to be known now.
    FReplaceAll = text().isEmpty() || (hasSelectedText() && selectedText() == text());
}

void TNMDEdit::CompositionReading(const QInputMethodEvent& Event)
{
    const QString PreEdit = Event.preeditString();
    FPreEdit = PreEdit;
    const QString Ruby = RubyOf(Event);
    const bool Kana = !Ruby.isEmpty() || IsReadingText(PreEdit);
    if (Kana) {
        const QString Reading = ReadingToHalfKana(Ruby.isEmpty() ? PreEdit : Ruby);
        if (Cp932Width(Reading) >= MaxReadingBytes)
            return;
        if (FContinued && !FAppended.isEmpty() && FAssociate) {
            // The rest of a name committed in pieces shows its kana again: the piece before has
            // only its own kana, and this part's reading follows with its own result.
            const QString Whole = FAssociate->text();
            if (FAppended.endsWith(Reading) && Whole.endsWith(Reading))
                FAssociate->setText(Whole.left(Whole.size() - Reading.size()));
            FAppended.clear();
        }
        FReading = Reading;
        FReadingPreEdit = PreEdit;
    }
    FShowFlag = Kana && !IsKatakana(PreEdit) && !HasConvertedSegment(Event);
    if (FReading.isEmpty())
        return;
    if (SyllableBoundary(Cp932Encode(FReading), FRomajiPending) || !FShowFlag)
        PostMessage(this, WM_NMDEDIT_CONVERT);
}

void TNMDEdit::EndComposition(bool Committed, const QString& Result)
{
    RaiseConvertNeed(FNameKind, false, QString());
    FAppended.clear();
    if (Committed && FInputType == TInputKind::itKanji && FAssociate) {
        if (FReplaceAll && !FContinued)
            FAssociate->clear();
        QString Reading = FReading;
        // Letters still waiting to become kana are no part of the reading of a converted name (a
        // prediction taken after "tanak" reads "ﾀﾅ", not "ﾀﾅk"); text committed as typed keeps them.
        if (Result != FReadingPreEdit)
            while (!Reading.isEmpty() && Reading.back().unicode() < 0x80 && Reading.back().isLetter())
                Reading.chop(1);
        FAppended = SingleByteOnly(Reading);
        AppendToAssociate(FAppended);
    }
    FContinued = false;
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

void TNMDEdit::TakeCommit(QInputMethodEvent* Event)
{
    // Qt commits an open composition itself when the application loses the activation, just before
    // the edit loses the focus; what the result changed is kept until the event loop turns again,
    // so that leaving can give it up.
    FBeforeCommit = {.Kept = true,
                     .Text = text(),
                     .Cursor = cursorPosition(),
                     .Associate = FAssociate ? FAssociate->text() : QString(),
                     .Composition = Event->commitString()};
    QTimer::singleShot(0, this, [this] { FBeforeCommit.Kept = false; });
    const QString Ruby = RubyOf(*Event);
    if (!Ruby.isEmpty()) {
        FReading = ReadingToHalfKana(Ruby);
        FReadingPreEdit = Event->commitString();
    }
    EndComposition(true, Event->commitString());
}

void TNMDEdit::UndoCommitOfFocusChange()
{
    if (!FBeforeCommit.Kept)
        return;
    FBeforeCommit.Kept = false;
    setText(FBeforeCommit.Text);
    setCursorPosition(FBeforeCommit.Cursor);
    if (FAssociate)
        FAssociate->setText(FBeforeCommit.Associate);
    FAppended.clear();
    DropLateCommit(FBeforeCommit.Composition);
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
        if (Commit == FCancelled) {
            // The input method's answer to a composition the edit gave up.
            FCancelled.clear();
            Event->accept();
            return;
        }
        // A result with no composition before it: a space between family and given name, or text
        // the input method passed straight through.
        if (IsSpaceOnly(Commit)) {
            FAppended.clear();
            if (FInputType == TInputKind::itKanji)
                AppendToAssociate(QStringLiteral(" "));
        } else {
            StartComposition(Commit);
            if (const QString Ruby = RubyOf(*Event); !Ruby.isEmpty() || IsReadingText(Commit)) {
                FReading = ReadingToHalfKana(Ruby.isEmpty() ? Commit : Ruby);
                FReadingPreEdit = Commit;
            }
            EndComposition(true, Commit);
        }
        QLineEdit::inputMethodEvent(Event);
        return;
    }

    if (FCompositionIdle && !PreEdit.isEmpty())
        StartComposition(PreEdit);
    if (!FCompositionIdle && !Commit.isEmpty())
        TakeCommit(Event);
    QLineEdit::inputMethodEvent(Event);
    if (!FCompositionIdle) {
        if (!PreEdit.isEmpty())
            CompositionReading(*Event);
        else if (Commit.isEmpty())
            EndComposition(false, QString()); // the composition was given up: no name, no reading
    }
}

bool TNMDEdit::OwnerKey(int Key)
{
    if (FCompositionIdle || !OnConvertKeyDown)
        return false;
    switch (Key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        break;
    default:
        return false;
    }
    unsigned Code = static_cast<unsigned>(Key);
    bool Handled = false;
    OnConvertKeyDown(this, Code, Handled);
    return Handled;
}

void TNMDEdit::keyPressEvent(QKeyEvent* Event)
{
    // The owner's name list takes the keys that move in it while a name is being composed. Where
    // the input method takes keys first (X11), they come through SetKeysFirst instead.
    if (Event->modifiers() == Qt::NoModifier || Event->modifiers() == Qt::KeypadModifier) {
        if (OwnerKey(Event->key())) {
            Event->accept();
            return;
        }
    }
    if (!Event->text().isEmpty())
        FAppended.clear();
    QLineEdit::keyPressEvent(Event);
}

void TNMDEdit::CancelComposition()
{
    if (FCompositionIdle)
        return;
    FCompositionIdle = true;
    FContinued = false;
    FCancelled = FPreEdit;
    FPreEdit.clear();
    // The pre-edit goes from the edit without a result; the input method, told to drop its
    // composition, may still answer with it as a result, which is then dropped.
    QInputMethodEvent Dropped;
    QLineEdit::inputMethodEvent(&Dropped);
    DropLateCommit(FCancelled);
    if (hasFocus())
        QGuiApplication::inputMethod()->reset();
}

bool TNMDEdit::eventFilter(QObject* Watched, QEvent* Event)
{
    // A click on another control of the window gives the composition up before Qt moves the focus,
    // which would commit it first. The window sees the press before any of its controls does.
    if (Event->type() == QEvent::MouseButtonPress && !FCompositionIdle && Watched == window()->windowHandle()) {
        const QPoint At = window()->mapFromGlobal(static_cast<QMouseEvent*>(Event)->globalPosition().toPoint());
        QWidget* Target = window()->childAt(At);
        if (Target && Target != this && !isAncestorOf(Target))
            CancelComposition();
    }
    return QLineEdit::eventFilter(Watched, Event);
}

void TNMDEdit::focusInEvent(QFocusEvent* Event)
{
    FAppended.clear();
    SetKeysFirst(this, [this](int Key) { return OwnerKey(Key); });
    if (QWindow* Window = window()->windowHandle())
        Window->installEventFilter(this);
    QLineEdit::focusInEvent(Event);
}

void TNMDEdit::focusOutEvent(QFocusEvent* Event)
{
    ClearKeysFirst(this);
    if (QWindow* Window = window()->windowHandle())
        Window->removeEventFilter(this);
    RaiseConvertNeed(FNameKind, false, QString());
    if (Event->reason() == Qt::ActiveWindowFocusReason)
        UndoCommitOfFocusChange();
    if (!FCompositionIdle) {
        // Leaving the edit gives the unfinished name up. The focus has moved already: a reset now
        // would hand the composition to the next control, so the input method is not asked.
        FCompositionIdle = true;
        FContinued = false;
        DropLateCommit(FPreEdit);
        FPreEdit.clear();
        QInputMethodEvent Dropped;
        QLineEdit::inputMethodEvent(&Dropped);
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
