#pragma once
// The export columns of a result set, as the chooser edits them: one row per
// export column with its name, its content (0 "MARC信息", k + 1 the source
// column k), the MARC item (0 "自定义", n the n-th named item) and the CN and
// US subfield codes of a custom MARC item.
//
// The shared export state: the chosen file and table, the export columns and
// the source columns a caller offers.

#include "report/ReportExport.h"

#include <QList>
#include <QString>
#include <QStringList>

extern QString g_strExpFile;
extern QString g_strExpTable;
extern qint32 g_lngExpColCount;
extern QList<report::ExportColumn> g_arrExpCols;
extern qint32 g_lngExpSrcCount;
extern QList<report::ExportColumn> g_arrExpSrcCols;

namespace report {

struct ChooserRow {
    QString name;
    int content = 0;  // 0 MARC, k + 1 source column k
    int marcItem = 0; // 0 custom subfields
    QString cn, us;
    bool marcItemOpen() const { return content == 0; }
    bool subfieldsOpen() const { return content == 0 && marcItem == 0; }
};

// The named MARC items offered: the group names of the display parameters
// (first format) that have one, in parameter order.
QStringList namedMarcItems();

class ExportFieldChooser {
public:
    QList<ChooserRow> rows;
    int active = 0; // 0-based

    // One row per source column, named after it.
    void load(const QList<ExportColumn>& sources);
    // A blank MARC row at the active row; false when the list is full.
    bool newRow();
    void deleteRow();
    bool moveUp();
    bool moveDown();
    // Choosing a source blanks the row's MARC choices.
    void setContent(int row, int content);

    // Checks every row, then gives the export columns; false with the
    // message when a custom row's code is not four characters long.
    bool ok(const QList<ExportColumn>& sources, QList<ExportColumn>* out, QString* message) const;
};

} // namespace report
