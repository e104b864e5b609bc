#pragma once
// The colours and grid lines of a report grid as the style dialog shows them:
// read from the grid, edited, written back.
//
// Line styles by their texts: "正常显示" 1 (all lines), "不显示" 0,
// "只显示水平线" 4 (horizontal only), "只显示垂直线" 8 (vertical only).

#include "report/ReportGrid.h"

#include <QColor>
#include <QString>
#include <QStringList>

namespace report {

struct GridStyleValues {
    QColor back, fore, gridLine, border;
    QString lineStyle; // one of the four texts, or what the cell held before
    QString lineWidth; // one digit
};

// The four line-style texts in the order the list offers them.
QStringList lineStyleTexts();
// The code of a text, -1 for any other text.
int lineStyleCode(const QString& text);
// The text of a code, the empty text for any other code.
QString lineStyleText(int code);

// Fills the values from the grid; a line-style code without a text keeps
// `values.lineStyle` as it was.
void readGridStyle(const ReportGrid& grid, GridStyleValues& values);

// OK of the dialog, whichever rows it showed: the colours go to the selected
// cells in range mode, else to the grid (and its current cells); line colour,
// border, line style and width to the grid. A line-style text not in the list
// keeps the style; a width that is not one digit keeps the width.
void applyGridStyle(ReportGrid& grid, const GridStyleValues& values);

} // namespace report
