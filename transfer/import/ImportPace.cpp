#include "transfer/import/ImportPace.h"

#include "platform/msg/WindowMessage.h"
#include "platform/sys/TermSignal.h"

#include <QCoreApplication>
#include <QEvent>
#include <utility>

TImportPace::TImportPace()
{
    if (QCoreApplication* App = QCoreApplication::instance())
        App->installEventFilter(this);
}

TImportPace::~TImportPace()
{
    if (QCoreApplication* App = QCoreApplication::instance())
        App->removeEventFilter(this);
}

std::chrono::milliseconds TImportPace::NextBudget()
{
    const bool First = !std::exchange(FStarted, true);
    return First || (FLastInput.isValid() && FLastInput.elapsed() < QuietMsecs) ? BusyBatch : IdleBatch;
}

bool TImportPace::OthersWaiting()
{
    return SentMessagesWaiting() || TerminationSignalPending();
}

bool TImportPace::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->isInputEvent())
        FLastInput.start();
    return QObject::eventFilter(Watched, Event);
}
