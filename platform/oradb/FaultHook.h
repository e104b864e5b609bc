#pragma once
// Test-only faults of the database interface: the server session ends just
// before a chosen statement, or the answer of a COMMIT the server carried out
// is lost. The tests of the write actions use them to drop the connection at
// every statement of an action. Off unless a test arms them; the program never
// does.
//
// Every statement a database object of this process sends counts: queries,
// writes, procedure calls, BEGIN, COMMIT and ROLLBACK.

struct pg_conn;

namespace oradb::faults {

// Arms the fault for the k-th statement from now (1 = the next one); 0 only
// resets the count. The session that would send it is ended from outside by
// the server (as a dropped network would end it) and the statement goes out on
// the dead connection. Fires once.
void endSessionBeforeStatement(int k);
// The next COMMIT is carried out by the server, then its session ends before
// the answer is read. Fires once.
void loseNextCommitAnswer();
// Disarms both.
void clear();
// Statements sent since the last endSessionBeforeStatement().
int statementCount();
// The first and the last COMMIT among them (their numbers in that count; 0 none).
int firstCommitStatement();
int lastCommitStatement();

// Called by the database object: just before a statement goes out on `conn`.
void beforeStatement(pg_conn* conn);
// Called by the database object just before a COMMIT goes out (instead of beforeStatement).
void beforeCommit(pg_conn* conn);
// Called by the database object after the server answered a COMMIT: true when
// the answer is to be lost (the session has then been ended).
bool commitAnswerLost(pg_conn* conn);

} // namespace oradb::faults
