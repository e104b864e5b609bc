#include "platform/oradb/FaultHook.h"

#include <libpq-fe.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace oradb::faults {

namespace {

std::atomic<int> s_count{0};
std::atomic<int> s_target{0};
std::atomic<int> s_firstCommit{0};
std::atomic<int> s_lastCommit{0};
std::atomic<bool> s_loseCommit{false};

// Ends the server process of `conn` through a connection of its own to the same
// server and waits until it is gone; the client side learns of it only when it
// next sends something.
void endSession(pg_conn* conn) {
    if (!conn || PQstatus(conn) != CONNECTION_OK) return;
    const std::string pid = std::to_string(PQbackendPID(conn));
    std::vector<const char*> keys, values;
    PQconninfoOption* options = PQconninfo(conn);
    for (PQconninfoOption* o = options; o && o->keyword; ++o)
        if (o->val && *o->val) {
            keys.push_back(o->keyword);
            values.push_back(o->val);
        }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    pg_conn* killer = PQconnectdbParams(keys.data(), values.data(), 0);
    PQconninfoFree(options);
    if (PQstatus(killer) == CONNECTION_OK) {
        const char* param[] = {pid.c_str()};
        // What the session has sent so far reaches the server first, as on a
        // network that drops afterwards: the server has read it all when it
        // waits for the client again.
        for (int i = 0; i < 200; ++i) {
            PGresult* r = PQexecParams(killer,
                                       "SELECT 1 FROM pg_stat_activity WHERE pid = $1::int AND wait_event = "
                                       "'ClientRead'",
                                       1, nullptr, param, nullptr, nullptr, 0);
            const bool waiting = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) > 0;
            PQclear(r);
            if (waiting) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        PQclear(PQexecParams(killer, "SELECT pg_terminate_backend($1::int)", 1, nullptr, param, nullptr,
                             nullptr, 0));
        for (int i = 0; i < 500; ++i) {
            PGresult* r = PQexecParams(killer, "SELECT 1 FROM pg_stat_activity WHERE pid = $1::int", 1,
                                       nullptr, param, nullptr, nullptr, 0);
            const bool alive = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) > 0;
            PQclear(r);
            if (!alive) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    PQfinish(killer);
}

} // namespace

void endSessionBeforeStatement(int k) {
    s_count = 0;
    s_firstCommit = 0;
    s_lastCommit = 0;
    s_target = k;
}

void loseNextCommitAnswer() {
    s_loseCommit = true;
}

void clear() {
    s_target = 0;
    s_loseCommit = false;
}

int statementCount() {
    return s_count;
}

int firstCommitStatement() {
    return s_firstCommit;
}

int lastCommitStatement() {
    return s_lastCommit;
}

void beforeStatement(pg_conn* conn) {
    const int n = ++s_count;
    if (s_target > 0 && n == s_target) {
        s_target = 0;
        endSession(conn);
    }
}

void beforeCommit(pg_conn* conn) {
    beforeStatement(conn);
    s_lastCommit = s_count.load();
    int none = 0;
    s_firstCommit.compare_exchange_strong(none, s_lastCommit.load());
}

bool commitAnswerLost(pg_conn* conn) {
    if (!s_loseCommit.exchange(false)) return false;
    endSession(conn);
    // The client finds the connection gone, as when the answer never came.
    PQclear(PQexec(conn, "SELECT 1"));
    return true;
}

} // namespace oradb::faults
