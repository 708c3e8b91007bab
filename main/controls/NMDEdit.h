#pragma once

#include "platform/msg/WindowMessage.h"

#include <QByteArray>
#include <QLineEdit>
#include <QPointer>
#include <functional>

class QInputMethodEvent;

// Posted by a name edit to itself when the reading typed so far has reached a syllable boundary.
inline constexpr std::uint32_t WM_NMDEDIT_CONVERT = WM_APP + 1000;

enum class TInputKind
{
    itKana,
    itKanji
};

enum class TNameDicKind
{
    nkLineage, // family name
    nkFirst    // given name
};

using TConvertNeedEvent = std::function<void(QObject* Sender, TNameDicKind Kind, bool Show, const QString& Value)>;
using TConvertKeyDownEvent = std::function<void(QObject* Sender, unsigned& Key, bool& Result)>;

// A limit in CP932 bytes for a line edit, the unit in which the tables keep texts: typing or
// pasting past it is cut without splitting a character. Text the program sets is left whole, so
// that a stored value is never shortened just by being shown. 0 removes the limit.
void SetByteLimit(QLineEdit* Edit, int MaxBytes);
[[nodiscard]] int ByteLimit(const QLineEdit* Edit);

// The reading of a name as the kana field keeps it: hiragana and full-width katakana become
// half-width katakana (voiced ones two characters each), full-width letters and digits half-width.
[[nodiscard]] QString ReadingToHalfKana(const QString& Reading);

// For an edit that keeps a reading in half-width katakana, as the directory's kana fields do; to be
// given every input-method event of Edit. When the input method's result in Input is not in that
// form yet, Edit gets the event again with the result converted, and true is answered (Input is then
// consumed). A result the input method converted (kanji) is replaced by the kana it was converted
// from: such a field takes the reading, never the name. A false answer leaves Input as it is.
[[nodiscard]] bool CommitAsHalfKana(QWidget* Edit, const QInputMethodEvent* Input);

// Whether the reading typed so far (as half-width bytes) has reached a syllable boundary, so that a
// name dictionary may be asked; RomajiPending carries an unconverted Latin letter from one call to
// the next.
[[nodiscard]] bool SyllableBoundary(const QByteArray& Reading, bool& RomajiPending);

// A single-line edit for Japanese names that watches the input method while the user types. The
// kanji form copies the reading of every name it converts, as half-width katakana, into its
// Associate (the kana edit); both forms tell the owner which reading is being typed, and whether
// it is a family or a given name, so that the owner can offer names for it.
//
// The reading is the one the input method reports with its text (the ruby of a pre-edit or of a
// result) where it reports one; otherwise the last pre-edit text of a composition that was still
// kana, before the input method turned it into the name. A result committed in pieces gives each
// piece the kana it was converted from.
class TNMDEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TNMDEdit(QWidget* Parent = nullptr);
    ~TNMDEdit() override;

    [[nodiscard]] TInputKind InputType() const { return FInputType; }
    void SetInputType(TInputKind Value) { FInputType = Value; }
    [[nodiscard]] QLineEdit* Associate() const { return FAssociate; }
    void SetAssociate(QLineEdit* Value);

    // The selection as byte positions in the text, the unit in which names are cut and joined.
    [[nodiscard]] int XPSelStart() const;
    void SetXPSelStart(int Value);
    [[nodiscard]] int XPSelLength() const;
    void SetXPSelLength(int Value);

    TConvertNeedEvent OnConvertNeed;
    TConvertKeyDownEvent OnConvertKeyDown;

    // A name chosen from the owner's list: this edit's selection takes its own form of the name and
    // the Associate the other; a family name at the start gets a separating space unless NoSpace.
    void InsertName(const QString& Kanji, const QString& Kana, bool NoSpace);

    // Whether a composition is open.
    [[nodiscard]] bool Composing() const { return !FCompositionIdle; }
    [[nodiscard]] TNameDicKind NameKind() const { return FNameKind; }
    [[nodiscard]] const QString& CurrentReading() const { return FReading; }

protected:
    bool event(QEvent* Event) override;
    void inputMethodEvent(QInputMethodEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;

private:
    void StartComposition(const QString& PreEdit);
    void EndComposition(bool Committed, const QString& Result);
    void CompositionReading(const QInputMethodEvent& Event);
    void AppendToAssociate(const QString& Text);
    void CancelComposition();
    void TakeCommit(QInputMethodEvent* Event);
    void UndoCommitOfFocusChange();
    [[nodiscard]] bool OwnerKey(int Key);
    void RaiseConvertNeed(TNameDicKind Kind, bool Show, const QString& Value);
    [[nodiscard]] int BytesBefore(int Position) const;
    [[nodiscard]] int PositionOfByte(int Bytes) const;

    TInputKind FInputType = TInputKind::itKanji;
    QPointer<QLineEdit> FAssociate;
    TNameDicKind FNameKind = TNameDicKind::nkLineage;
    bool FRomajiPending = false;
    bool FShowFlag = false;
    QString FReading;         // the current reading, half-width
    QString FPreEdit;         // the pre-edit text the input method shows now
    QString FReadingPreEdit;  // the pre-edit the current reading was taken from
    bool FReplaceAll = false; // the composition began over an empty or wholly selected edit
    bool FCompositionIdle = true;
    QString FCancelled;      // a composition given up, whose text the input method may still send
    QString FAppended;       // the reading appended to the Associate for the last result
    bool FContinued = false; // the composition is the rest of a result committed in pieces
    // The edit and its Associate as they were before a result, until the event loop turns again:
    // when the application loses the activation Qt commits an open composition first, and leaving
    // gives the composition up instead.
    struct TBeforeCommit
    {
        bool Kept = false;
        QString Text;
        int Cursor = 0;
        QString Associate;
        QString Composition;
    } FBeforeCommit;
};
