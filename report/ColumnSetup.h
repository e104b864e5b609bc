#pragma once
// The column set-up of a report grid, as data: one set-up row per report
// column (definition, title, output, sort, array column, width), read from a
// report grid and rebuilt into one. Any grid in the report layout (the report
// window's, the slip window's) can be read and rebuilt; the records always
// come from the report array handed over with the counts.
//
// Definitions in set-up form: an array column's title; a MARC column's
// "CN;US." (the grid's definition row carries "$CN;US."); any other added
// column its definition row text less its first character.

#include "report/ReportGrid.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <functional>

class ReportArray;

namespace report {

struct SetupRow {
    QString definition;
    QString title;
    bool output = true;
    QString sort = QStringLiteral("0"); // "0" none, "1" ascending, "2" descending
    int arrayCol = 0;                   // 1.. the array column; 0 MARC, custom or unmatched
    bool newField = false;              // opens the MARC column editor
    int width = 900;
};

// ---- MARC column definitions --------------------------------------------

// 0 empty, 1 valid (three digits and a lower-case letter; more is not
// looked at), -1 anything else.
int intCheckSubfield(const QString& subfield);

struct MarcSubfields {
    QString cn, us;
};
// From the set-up form "CN;US.": CN before the first ";" (all without one),
// US between that ";" and the next "." (empty without them).
MarcSubfields subfieldsFromSetup(const QString& definition);
// From the definition row "$CN;US.": CN between "$" and ";", US between ";"
// and ".".
MarcSubfields subfieldsFromGrid(const QString& definition);
QString marcDefinition(const QString& cn, const QString& us); // "CN;US."

// The value a MARC column shows for one row: the record named by the key is
// read; format 0 takes the CN subfield, the others the US subfield; trimmed; empty
// when the record cannot be read or the subfield is empty.
using MarcFill = std::function<QString(const QVariant& key, const MarcSubfields& subfields)>;
// Reads through the common MARC routines, one record per call.
QString marcFillFromDatabase(const QVariant& key, const MarcSubfields& subfields);

// Fills column `col` of the grid's data rows from its definition row, and
// puts "$" in front of the definition when it lacks it.
void subShowMarc(ReportGrid& grd, int col, const MarcFill& fill = marcFillFromDatabase);

// ---- reading and rebuilding ---------------------------------------------

// One set-up row per report column 1.. of the grid; the array titles
// (row 0, columns 1..cols) name the array columns.
QList<SetupRow> readGrid(const ReportGrid& grd, const ReportArray& data, int cols);

struct RebuildInput {
    const ReportArray* data = nullptr;
    int rows = 0; // records 1..rows
    int cols = 0; // array columns 1..cols
    MarcFill fill = marcFillFromDatabase;
};

// The OK rebuild: one column per set-up row (unticked ones hidden), records
// in array order, sorted by the columns' sort settings; row numbers when
// addOrder is 1.
void applyGrid(ReportGrid& grd, const QList<SetupRow>& setup, const RebuildInput& in, int addOrder);

// The template rebuild: only ticked rows with a definition make columns;
// an array column is found by its definition among the array titles, and a
// row whose title is no longer in the array is left out. Row numbers by
// addOrder (1 on).
void drawGrid(ReportGrid& grd, const QList<SetupRow>& setup, const RebuildInput& in, int addOrder);

// ---- the dialog's row editing -------------------------------------------

// The set-up rows as the output-columns dialog edits them: a chosen row moves
// up and down; only rows of no array column can be deleted.
class ColumnSetupEditor {
public:
    QList<SetupRow> rows;
    bool addOrder = false;

    int chosen() const { return chosen_; }
    // A press on a row header (1-based row); 0 or a right press clears.
    void choose(int row, bool leftButton = true);
    void clearChoice() { chosen_ = 0; }
    bool canMove() const { return chosen_ > 0; }
    bool canDelete() const;
    bool moveUp();
    bool moveDown();
    bool deleteChosen();
    // Appends an empty MARC row (ticked, no sort, width 900); returns its row.
    int addMarcRow();
    // Sets a MARC row's definition; false when the row has no editor.
    bool setMarcDefinition(int row, const QString& cn, const QString& us);

private:
    int chosen_ = 0;
};

} // namespace report
