#include "platform/oradb/WaitHook.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cerrno>
#include <poll.h>

namespace oradb {

namespace {

WaitHook* s_hook = nullptr;
bool s_inHook = false;

// An answer that takes longer than this is a wait the worker should see.
constexpr qint64 kFirstCallMs = 200;
// Then the hook is called at about this interval.
constexpr int kIntervalMs = 50;

} // namespace

WaitHook* installWaitHook(WaitHook* hook) {
    WaitHook* before = s_hook;
    s_hook = hook;
    return before;
}

AnswerWait::AnswerWait(pg_conn* conn) : conn_(conn), hook_(s_inHook ? nullptr : s_hook) {
    if (hook_) clock_.start();
}

AnswerWait::~AnswerWait() {
    if (waited_) call(&WaitHook::answered);
}

void AnswerWait::call(void (WaitHook::*what)()) {
    struct Inside {
        Inside() { s_inHook = true; }
        ~Inside() { s_inHook = false; }
    } inside;
    (hook_->*what)();
}

void AnswerWait::untilReady() {
    if (!hook_) return;
    const int socket = PQsocket(conn_);
    if (socket < 0) return;
    // A broken connection ends the wait: the read then reports it.
    while (PQconsumeInput(conn_) && PQisBusy(conn_)) {
        const int timeout =
            waited_ ? kIntervalMs : static_cast<int>(std::max<qint64>(0, kFirstCallMs - clock_.elapsed()));
        pollfd p{socket, POLLIN, 0};
        const int ready = ::poll(&p, 1, timeout);
        if (ready < 0 && errno != EINTR) return;
        if (ready == 0 && (waited_ || clock_.elapsed() >= kFirstCallMs)) {
            waited_ = true;
            call(&WaitHook::waiting);
        }
    }
}

} // namespace oradb
