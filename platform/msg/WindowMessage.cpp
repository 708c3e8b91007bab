#include "platform/msg/WindowMessage.h"

#include <QCoreApplication>
#include <QThread>
#include <condition_variable>
#include <list>
#include <mutex>
#include <thread>

namespace {

// One message a thread waits to have handled on its target's thread. It lives on the waiting
// thread's stack; the queue only points to it.
struct TPendingSend
{
    TMessageTarget* Target;
    QThread* TargetThread;
    std::uint32_t Msg;
    TWParam WParam;
    TLParam LParam;
    TLResult Result = 0;
    bool Done = false;
};

// One queue and one condition for every thread: sends are rare (a call, an error), so waking all
// waiters on each change costs nothing worth a finer scheme.
std::mutex QueueLock;
std::condition_variable QueueChanged;
std::list<TPendingSend*> PendingSends;

QEvent::Type DispatchEventType()
{
    static const auto Type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return Type;
}

bool HasPendingFor(QThread* Thread)
{
    for (const TPendingSend* Pending : PendingSends) {
        if (Pending->TargetThread == Thread)
            return true;
    }
    return false;
}

} // namespace

TWindowMessageEvent::TWindowMessageEvent(std::uint32_t Msg, TWParam WParam, TLParam LParam)
    : QEvent(EventType()), Msg(Msg), WParam(WParam), LParam(LParam)
{
}

QEvent::Type TWindowMessageEvent::EventType()
{
    static const auto Type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return Type;
}

void PostMessage(QObject* Receiver, std::uint32_t Msg, TWParam WParam, TLParam LParam)
{
    QCoreApplication::postEvent(Receiver, new TWindowMessageEvent(Msg, WParam, LParam));
}

TLResult SendMessage(const TWindowHandle* Window, std::uint32_t Msg, TWParam WParam, TLParam LParam)
{
    if (Window == nullptr || Window->Send == nullptr)
        return 0;
    return Window->Send(Window->Context, Msg, WParam, LParam);
}

void DispatchSentMessages()
{
    QThread* const Current = QThread::currentThread();
    for (;;) {
        TPendingSend* Pending = nullptr;
        {
            std::lock_guard Guard(QueueLock);
            for (auto It = PendingSends.begin(); It != PendingSends.end(); ++It) {
                if ((*It)->TargetThread == Current) {
                    Pending = *It;
                    PendingSends.erase(It);
                    break;
                }
            }
        }
        if (Pending == nullptr)
            return;
        const TLResult Result = Pending->Target->HandleMessage(Pending->Msg, Pending->WParam, Pending->LParam);
        {
            std::lock_guard Guard(QueueLock);
            Pending->Result = Result;
            Pending->Done = true;
        }
        QueueChanged.notify_all();
    }
}

bool SentMessagesWaiting()
{
    QThread* const Current = QThread::currentThread();
    std::lock_guard Guard(QueueLock);
    return HasPendingFor(Current);
}

void CallDispatchingSentMessages(const std::function<void()>& Call)
{
    QThread* const Current = QThread::currentThread();
    bool Finished = false;
    std::thread Worker([&] {
        Call();
        {
            std::lock_guard Guard(QueueLock);
            Finished = true;
        }
        QueueChanged.notify_all();
    });
    for (;;) {
        {
            std::unique_lock Guard(QueueLock);
            QueueChanged.wait(Guard, [&] { return Finished || HasPendingFor(Current); });
            if (Finished && !HasPendingFor(Current))
                break;
        }
        DispatchSentMessages();
    }
    Worker.join();
}

TMessageTarget::TMessageTarget(THandler Handler, QObject* Parent)
    : QObject(Parent), FHandler(std::move(Handler)), FHandle{&TMessageTarget::SendProc, this}
{
}

TMessageTarget::~TMessageTarget()
{
    {
        std::lock_guard Guard(QueueLock);
        for (auto It = PendingSends.begin(); It != PendingSends.end();) {
            if ((*It)->Target == this) {
                (*It)->Done = true;
                It = PendingSends.erase(It);
            } else {
                ++It;
            }
        }
    }
    QueueChanged.notify_all();
}

TLResult TMessageTarget::Send(std::uint32_t Msg, TWParam WParam, TLParam LParam)
{
    if (QThread::currentThread() == thread())
        return HandleMessage(Msg, WParam, LParam);
    TPendingSend Pending{this, thread(), Msg, WParam, LParam};
    {
        std::lock_guard Guard(QueueLock);
        PendingSends.push_back(&Pending);
    }
    QCoreApplication::postEvent(this, new QEvent(DispatchEventType()));
    QueueChanged.notify_all();
    std::unique_lock Guard(QueueLock);
    QueueChanged.wait(Guard, [&] { return Pending.Done; });
    return Pending.Result;
}

void TMessageTarget::Post(std::uint32_t Msg, TWParam WParam, TLParam LParam)
{
    PostMessage(this, Msg, WParam, LParam);
}

bool TMessageTarget::event(QEvent* Event)
{
    if (Event->type() == TWindowMessageEvent::EventType()) {
        const auto* Message = static_cast<TWindowMessageEvent*>(Event);
        HandleMessage(Message->Msg, Message->WParam, Message->LParam);
        return true;
    }
    if (Event->type() == DispatchEventType()) {
        DispatchSentMessages();
        return true;
    }
    return QObject::event(Event);
}

TLResult TMessageTarget::HandleMessage(std::uint32_t Msg, TWParam WParam, TLParam LParam)
{
    return FHandler ? FHandler(Msg, WParam, LParam) : 0;
}

std::intptr_t TMessageTarget::SendProc(void* Context, std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam)
{
    return static_cast<TMessageTarget*>(Context)->Send(Msg, WParam, LParam);
}
