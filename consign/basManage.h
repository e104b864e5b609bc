#pragma once
// What the two management windows (request queues, found copies) share: their
// location list, counted database calls, the keep-days arithmetic of their
// edit dialogs and their plain message boxes.

#include "common/DBResultSet.h"
#include "common/basDBBatch.h"
#include "consign/basConsign.h"

#include <QString>
#include <QStringList>

namespace consign {

// The desk locations (operation type 3) in their sort order, no "all" entry,
// nothing chosen. 0, or -1 after reporting the database error.
int intLoadManageLocations(Chooser& chooser);

// The end date of the keep-days dialogs: `beginDate` plus the days typed (an
// empty or non-numeric text counts 0), "yyyy-mm-dd"; the begin date itself
// when it is no date.
QString strKeepEndDate(const QString& beginDate, const QString& days);

// A plain box titled "流通委托" (information icon, or error with a beep).
void subManageBox(const QString& text, bool error = false);

// Database calls of the management logic, counted for the benchmark.
struct ManageDb {
    int statements = 0;
    QStringList* log = nullptr; // when set, every statement text is appended
    int select(const QString& sql, DBResultSet& rs);
    int execute(const QString& sql);
    int begin();
    int commit();
    int rollback();
    // Rolls back and reports the pending error: -1.
    int abort();
    // One write in a transaction of its own: 0 committed with rows changed, 1
    // nothing matched (rolled back), -1 failed (rolled back and reported).
    int writeRows(const QString& sql);
    // The server's date, "yyyy-mm-dd".
    QString today();
    // Sends a batch, its statements (BEGIN and COMMIT included) counted and
    // logged: 0, or -1 with the pending error.
    int run(LIB_DB_Batch& batch);
    // The same for a batch that opens the transaction: -1 after the report
    // (rolled back when the transaction opened).
    int runOpening(LIB_DB_Batch& batch);
};

} // namespace consign
