#include "directory/namedic/NameDicOpener.h"

#include "directory/namedic/PopupPlace.h"
#include "main/controls/NMDEdit.h"
#include "main/settings/Settings.h"
#include "platform/ui/WindowLog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>

namespace {

struct TWaitCursor
{
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

} // namespace

TNameDicOpener::TNameDicOpener(QWidget* Owner) : QObject(Owner), FOwner(Owner)
{
    setObjectName(QStringLiteral("NameDicOpener"));
    Owner->installEventFilter(this);
}

TNameDicOpener* TNameDicOpener::Find(QWidget* Owner)
{
    return Owner->findChild<TNameDicOpener*>(QString(), Qt::FindDirectChildrenOnly);
}

TNameDicOpener& TNameDicOpener::For(QWidget* Owner)
{
    if (TNameDicOpener* Existing = Find(Owner))
        return *Existing;
    return *new TNameDicOpener(Owner);
}

void TNameDicOpener::ConvertNeed(TNMDEdit& Edit, int Kind, bool Show, const QString& Value)
{
    if (!Show) {
        if (FPopup)
            FPopup->close();
        return;
    }
    TWaitCursor Wait;
    if (FPopup && FPopup->Closing())
        FPopup.clear(); // freed at the next turn of the event loop; a new one takes its place
    if (!FPopup) {
        FPopup = new TNameDicP(FOwner);
        FPopup->SetFolders(ProgramPath, ProgramPath + QStringLiteral("Dic/"));
        FPopup->Initialize();
        // The choice is kept here: the pop-up may be gone when the posted message arrives.
        FPopup->OnChoose = [this](const TNameDicChoice& Choice) { FChoice = Choice; };
    }
    if (FPopup->isVisible())
        Kind = FPopup->Kind();
    const int Count = FPopup->CountNames(Value, Kind);
    if (Count <= 0) {
        FPopup->close();
        return;
    }
    const QRect Place(Edit.mapToGlobal(QPoint(0, 0)), Edit.size());
    const QScreen* Screen = Edit.screen();
    const QRect Area = Screen ? Screen->availableGeometry() : Place;
    const bool Placed = !FPopup->isVisible();
    if (Placed) {
        FPopup->move(NameDicPopupPlace(Place, FPopup->frameGeometry().size(), Area));
        FPopup->SetKind(Kind);
        FPopup->SetTag(Edit.property("Tag").toInt());
    }
    FAsking = &Edit;
    // Installed last, the filter sees the edit's keys before the window's own Enter walk does.
    Edit.installEventFilter(this);
    FPopup->SetReading(Value);
    FPopup->FillGrid(Count);
    if (!FPopup->Closing()) {
        FPopup->show();
        // The frame is known for certain only once the window is shown.
        if (Placed)
            FPopup->move(NameDicPopupPlace(Place, FPopup->frameGeometry().size(), Area));
        LogWindowState(FPopup); // where its names are, for a test that clicks them
    }
}

bool TNameDicOpener::ConvertKeyDown(unsigned Key)
{
    if (!FPopup || FPopup->Closing() || !FPopup->isVisible())
        return false;
    return FPopup->HandleKey(Key);
}

bool TNameDicOpener::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == FOwner && Event->type() == TWindowMessageEvent::EventType() &&
        static_cast<TWindowMessageEvent*>(Event)->Msg == WM_NAMEDIC_SELECT) {
        NameSelect();
        return true;
    }
    // Enter while a name is composed and the list has a selection chooses the name; a window that
    // walks its fields on Enter would otherwise take the key first. The event's type comes first: an
    // edit being destroyed still sends events here, when it is no longer the edit it was.
    if (Event->type() == QEvent::KeyPress && Watched == FAsking && FAsking->Composing()) {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        if ((Key == Qt::Key_Return || Key == Qt::Key_Enter) && ConvertKeyDown(static_cast<unsigned>(Key)))
            return true;
    }
    return QObject::eventFilter(Watched, Event);
}

void TNameDicOpener::NameSelect()
{
    if (!FChoice || !FAsking)
        return;
    const TNameDicChoice Choice = *FChoice;
    FChoice.reset();
    TNMDEdit* Kanji =
        FAsking->InputType() == TInputKind::itKanji ? FAsking.data() : qobject_cast<TNMDEdit*>(FAsking->Associate());
    TNMDEdit* Kana =
        FAsking->InputType() == TInputKind::itKana ? FAsking.data() : qobject_cast<TNMDEdit*>(FAsking->Associate());
    TNMDEdit* Target = Choice.Tag != 0 ? Kanji : Kana;
    if (!Target)
        return;
    Target->InsertName(Choice.Name, Choice.Reading, Choice.Kind == 1);
    if (FPopup)
        FPopup->close();
    Target->setFocus();
}

void NameDicConvertNeed(QWidget* Owner, TNMDEdit& Edit, int Kind, bool Show, const QString& Value)
{
    // Closing needs no opener: a window that never had one has no pop-up to close.
    if (!Show) {
        if (TNameDicOpener* Opener = TNameDicOpener::Find(Owner))
            Opener->ConvertNeed(Edit, Kind, Show, Value);
        return;
    }
    TNameDicOpener::For(Owner).ConvertNeed(Edit, Kind, Show, Value);
}

bool NameDicConvertKeyDown(QWidget* Owner, unsigned Key)
{
    TNameDicOpener* Opener = TNameDicOpener::Find(Owner);
    return Opener && Opener->ConvertKeyDown(Key);
}
