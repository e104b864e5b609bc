#pragma once
// A statement whose answer keeps the program waiting (a row another desk
// holds, until the lock time-out): after a short moment the database interface
// calls the hook the program installed, again every few tens of milliseconds
// while the answer is still outstanding, and once more when it came. The
// program's hook keeps its windows painted and shows the wait cursor. Without
// a hook (tests of the logic, the benchmark) a statement waits inside the
// client library as before; the messages sent are the same either way.
//
// The hook is never re-entered: a statement the hook itself runs waits
// without calling it.

#include <QElapsedTimer>

struct pg_conn;

namespace oradb {

class WaitHook {
public:
    virtual ~WaitHook() = default;
    // The answer has not come yet.
    virtual void waiting() = 0;
    // The answer came, or the connection broke, after waiting() was called.
    virtual void answered() = 0;
};

// Installs the hook for every database object of the process (nullptr
// removes it); returns the one installed before.
WaitHook* installWaitHook(WaitHook* hook);

// Used by the database objects around one request: untilReady() before each
// read of an answer returns once the read will not block, calling the hook
// while it would; the end of the request tells the hook the answer came.
class AnswerWait {
public:
    explicit AnswerWait(pg_conn* conn);
    ~AnswerWait();
    AnswerWait(const AnswerWait&) = delete;
    AnswerWait& operator=(const AnswerWait&) = delete;
    void untilReady();
    bool active() const { return hook_ != nullptr; }

private:
    void call(void (WaitHook::*what)());
    pg_conn* conn_;
    WaitHook* hook_;
    QElapsedTimer clock_;
    bool waited_ = false;
};

} // namespace oradb
