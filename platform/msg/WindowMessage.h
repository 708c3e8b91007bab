#pragma once

#include "platform/msg/WindowHandle.h"

#include <QEvent>
#include <QObject>
#include <cstdint>
#include <functional>

// Window messages as the program's windows exchange them: numbered messages with two arguments,
// posted (queued, no answer) or sent (the sender waits for the answer). Message numbers are
// counted from these bases, as everywhere else.
inline constexpr std::uint32_t WM_USER = 0x400;
inline constexpr std::uint32_t WM_APP = 0x8000;

using TWParam = std::uintptr_t;
using TLParam = std::intptr_t;
using TLResult = std::intptr_t;

// A posted message, delivered to the receiver's event() on the receiver's thread.
class TWindowMessageEvent : public QEvent
{
public:
    TWindowMessageEvent(std::uint32_t Msg, TWParam WParam, TLParam LParam);
    [[nodiscard]] static QEvent::Type EventType();

    const std::uint32_t Msg;
    const TWParam WParam;
    const TLParam LParam;
};

// Queues the message for Receiver and returns at once; any thread may post.
void PostMessage(QObject* Receiver, std::uint32_t Msg, TWParam WParam = 0, TLParam LParam = 0);

// Sends through a handle as an outside library would: returns the handler's result.
TLResult SendMessage(const TWindowHandle* Window, std::uint32_t Msg, TWParam WParam = 0, TLParam LParam = 0);

// Handles, on the calling thread, every message that other threads are waiting to have sent to
// a target living on this thread. The event loop does this by itself; a wait needs it.
void DispatchSentMessages();

// Whether another thread waits for a message sent to a target living on this thread: work that
// holds the thread for long looks here, so as to let the message through at once.
[[nodiscard]] bool SentMessagesWaiting();

// Runs Call (a blocking call into an outside library) on a helper thread while the calling
// thread waits for it and keeps handling the messages sent to its targets meanwhile. A library
// that stops its own reader thread inside Call may then do so while that reader waits in a send
// to this thread, without either waiting for the other for ever.
void CallDispatchingSentMessages(const std::function<void()>& Call);

// What a window owns to be reachable by messages: a handle that outside libraries call to send,
// and a receiver of posted messages. Both end in the handler (or in HandleMessage of a derived
// class), always on the thread the target lives on. A message sent from that thread itself is a
// direct call; one sent from another thread waits until this thread has handled it. Messages
// still waiting when the target is destroyed are answered with 0.
class TMessageTarget : public QObject
{
    Q_OBJECT
public:
    using THandler = std::function<TLResult(std::uint32_t Msg, TWParam WParam, TLParam LParam)>;

    explicit TMessageTarget(THandler Handler = {}, QObject* Parent = nullptr);
    ~TMessageTarget() override;

    [[nodiscard]] TWindowHandle* Handle() { return &FHandle; }

    TLResult Send(std::uint32_t Msg, TWParam WParam = 0, TLParam LParam = 0);
    void Post(std::uint32_t Msg, TWParam WParam = 0, TLParam LParam = 0);

protected:
    bool event(QEvent* Event) override;
    virtual TLResult HandleMessage(std::uint32_t Msg, TWParam WParam, TLParam LParam);

private:
    friend void DispatchSentMessages();
    static std::intptr_t SendProc(void* Context, std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam);

    THandler FHandler;
    TWindowHandle FHandle;
};
