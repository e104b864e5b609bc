#pragma once
// Found-copy management without its window: the found copies of a holding
// location that wait for their readers (end flag below '3', the copy's own
// location), their keep days, and cancelling them.
//
// A cancel locks the open found rows first and works only on them: it
// deletes the loans of those rows' readers and copies, frees those copies
// and closes exactly those rows; a copy collected meanwhile is left alone.

#include "consign/basManage.h"

#include <QVector>

namespace consign {

struct FoundCopyRow {
    QString callNo, propNo, marcRecNo, certId, name, arriDate, notiDate, keepDays, keepEndDate;
    QString relegateLocation; // the pick-up location, not shown
    QString title;
    bool passed = false; // keep end date before the server date: shown red
};

class FindManage {
public:
    int subInitLocation();
    Chooser locations; // the desk locations, no "all" entry, nothing chosen at load
    QString location() const { return locations.code(); }

    // Reads the found copies of a location with their titles (one round
    // trip). 0, or -1 after the error report, the rows unchanged.
    int cmbLocation_Click(int index);
    // The same after an action of this desk. On failure the rows are dropped
    // (they no longer show the database) and, when `done` is given, a box
    // says the action itself went through. 0, or -1.
    int subReload(const QString& done = QString());

    // Writes the keep days and keep end date a dialog gave. 0, or -1.
    int subModifyFind(int row, const QString& keepDays, const QString& endDate);
    // After QCM003: cancels the found copy of the row. 0 done or not
    // confirmed, -1 failed or refused (the copy was collected or cancelled).
    int subDeleteFind(int row);
    // The cancel itself, without the question or the reload: 0 done, 1 refused
    // after its message (the copy was collected or cancelled meanwhile), -1
    // failed (reported).
    int intCancelFound(const QString& certId, const QString& propNo);
    // After QCM003: cancels every open found copy of the location whose keep
    // period has passed, as the database holds them now.
    int subDeleteOldFind();
    // The checks before the notices; true when the notice window may open
    // (its messages shown otherwise).
    bool blnMailCheck() const;

    QVector<FoundCopyRow> rows;
    QString today;
    ManageDb db;
    int lastCancelled = 0; // found copies the last cancel closed

private:
    // Cancels the open found rows chosen by `where` (on relegate_arri_lst f
    // joined with item; today.d is the server's date), locked and read again
    // first, in two round trips. The number of rows closed (0: none was open,
    // nothing written), or -1 after the error report (rolled back).
    int cancelRows(const QString& where);
};

} // namespace consign
