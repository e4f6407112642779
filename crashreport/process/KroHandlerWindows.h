#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <sys/types.h>

// Running work in another thread: each thread may own one handler queue (the "handler window" of the reporter's
// design), a list of handlers for message ids and a queue of calls that other threads send or post to it. The owning
// thread serves its queue wherever it waits: the editor's event loop through the queue's eventfd, the exception box's
// loop, the reporter's own waits. A call sent to the calling thread's own queue runs at once.
//
// Thread ids are the kernel's (gettid); 0 means the calling thread. A queue goes when its last handler is
// unregistered or its thread ends; calls still waiting in it then fail.

// A queue's handle; 0 is none. Handles are never reused.
using THandlerWindow = std::uint64_t;

// A handler: called on the owning thread with the message's id and its two arguments; Result starts at 0 and is what
// the sender gets.
using TMsgHandlerProc = void (*)(THandlerWindow Window, std::uint32_t Message, std::uintptr_t WParam,
                                 std::intptr_t& Result, std::intptr_t LParam);

// A handler bound to an object. Registered with a null procedure and the method's address as Key1.
struct TMsgHandlerMethod {
    void (*Code)(void* Self, THandlerWindow Window, std::uint32_t Message, std::uintptr_t WParam, std::intptr_t& Result,
                 std::intptr_t LParam);
    void* Self;
};

// The first id handed out by RegisterMsgHandler with a message id of 0.
inline constexpr std::uint32_t FirstFreeMessageId = 1024;

// The thread's queue. For the calling thread it is made when missing; another thread's queue cannot be made (0).
THandlerWindow GetHandlerWindow(pid_t ThreadId = 0);

// Registers a handler for MessageId on the thread's queue and returns the id, or 0: when the thread has no queue, or
// when the same procedure, id and keys are registered already. A MessageId of 0 takes the lowest id from 1024 up
// that the queue's handlers do not use.
std::uint32_t RegisterMsgHandler(TMsgHandlerProc Proc, std::uint32_t MessageId, pid_t ThreadId, std::uintptr_t Key1,
                                 std::uintptr_t Key2);
std::uint32_t RegisterMsgHandler(TMsgHandlerProc Proc, std::uint32_t MessageId, pid_t ThreadId = 0);

// Removes every handler of the thread's queue with this procedure and these keys (and this id, unless it is 0); the
// last handler moves into each freed place. A queue left without handlers goes.
void UnregisterMsgHandler(TMsgHandlerProc Proc, std::uint32_t MessageId, pid_t ThreadId, std::uintptr_t Key1,
                          std::uintptr_t Key2);
void UnregisterMsgHandler(TMsgHandlerProc Proc, std::uint32_t MessageId, pid_t ThreadId = 0);

// Has the owner of Window run its handlers for Message and waits for the result, at most TimeoutMs milliseconds. With
// AbortIfHung it gives up sooner when the owner leaves the call untaken for HungAfterMs: such a thread is hung. True
// when the handlers ran; Result (when given) then holds their result. A call that timed out may still run later; its
// result is dropped.
inline constexpr std::uint32_t HungAfterMs = 5000;
bool SendHandlerMessage(THandlerWindow Window, std::uint32_t Message, std::uintptr_t WParam, std::intptr_t LParam,
                        std::uint32_t TimeoutMs, bool AbortIfHung, std::intptr_t* Result);

// Queues the call without waiting; false when Window is gone.
bool PostHandlerMessage(THandlerWindow Window, std::uint32_t Message, std::uintptr_t WParam, std::intptr_t LParam);

// The eventfd that becomes readable when calls wait in the calling thread's queue; -1 when it has none. NoWait: -1
// also when the queues' lock is taken (a thread that failed may hold it itself).
int HandlerWindowEventFd(bool NoWait = false);

// Runs the calls waiting in the calling thread's queue; returns how many ran. NoWait: none when the queues' lock is
// taken at the moment, and after each call it stops when the lock is taken then (the call's sender still gets its
// result; the rest wait for the next serving).
std::size_t ServeHandlerMessages(bool NoWait = false);

// Takes the queues' lock and holds it while the returned guard lives, as a thread paused inside a queue operation
// would: tests check with it that the NoWait operations never wait for it.
std::unique_lock<std::mutex> HoldHandlerQueuesLock();

// The message ids that reach the handlers: the system-wide notifications the design keeps (17, 18, 21 to 23, 26 to
// 30, 42, 65, 72, 80, 81, 84, 126) and every id from 536 up. Other ids run no handler and give 0.
bool MessageReachesHandlers(std::uint32_t Message) noexcept;
