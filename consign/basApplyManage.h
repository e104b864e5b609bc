#pragma once
// Request queue management without its window: the titles with waiting
// requests at a holding location, the queue of one title, and the changes
// the worker makes to it (keep days, cancel, move up or down, clear the
// expired requests of a title or of the location).
//
// Every change of queue numbers holds the queue (the lock placing takes),
// reads the queue again under it and works on the numbers as they stand: a
// request no longer waiting, or a neighbour no longer next to it, is refused
// with a message and the queue is read again.

#include "consign/basManage.h"

#include <QVector>

namespace consign {

struct QueueTitle {
    QString callNo, marcRecNo, lendGrd;
    QString title, author, publisher;
};

struct QueueRow {
    QString certId, name, redrTypeCode, lendGrd, relegateDate, keepDays, endDate;
    int relegateNo = 0;
    bool expired = false; // end date before the server date: shown red
};

class ApplyManage {
public:
    // ---- the location chooser -------------------------------------------
    int subInitLocation();
    Chooser locations; // the desk locations, no "all" entry, nothing chosen at load
    QString location() const { return locations.code(); }

    // Chooses a location: its titles with waiting requests; the queue empties.
    // 0, or -1 after the error report (the lists as they were).
    int cmbLocation_Click(int index);
    // Chooses a title (row of the titles list) and reads its queue.
    int subShowQueue(int titleRow);
    // Reads the queue of the chosen title again.
    int subReloadQueue() { return subShowQueue(titleRow); }

    // ---- actions on the queue; `row` is a row of the queue list ---------
    // Writes the keep days and end date a dialog gave. 0, or -1.
    int subModifyApply(int row, const QString& keepDays, const QString& endDate);
    // After QCM003: cancels the request and closes its gap. 0 done or not
    // confirmed, -1 failed or refused.
    int subDeleteApply(int row);
    // Exchanges the request's number with the one above (down false) or below.
    // -1 without a word on the first row up, the last row down or a single row.
    int subMoveApply(int row, bool down);
    // After QCM003: cancels the expired requests of the chosen title / of the location.
    int subDeleteOld();
    int subDeleteAllOld();

    QVector<QueueTitle> titles;
    int titleRow = -1; // the chosen title
    QVector<QueueRow> queue;
    QString today; // the server date of the last queue read
    ManageDb db;

private:
    QString currentCallNo() const { return titles.value(titleRow).callNo; }
    int refuse(const QString& text);
};

} // namespace consign
