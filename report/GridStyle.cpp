#include "report/GridStyle.h"

namespace report {

namespace {
const struct {
    const char16_t* text;
    int code;
} kStyles[] = {{u"正常显示", 1}, {u"不显示", 0}, {u"只显示水平线", 4}, {u"只显示垂直线", 8}};
} // namespace

QStringList lineStyleTexts() {
    QStringList out;
    for (const auto& s : kStyles)
        out << QString::fromUtf16(s.text);
    return out;
}

int lineStyleCode(const QString& text) {
    for (const auto& s : kStyles)
        if (text == QString::fromUtf16(s.text)) return s.code;
    return -1;
}

QString lineStyleText(int code) {
    for (const auto& s : kStyles)
        if (s.code == code) return QString::fromUtf16(s.text);
    return QString();
}

void readGridStyle(const ReportGrid& grid, GridStyleValues& v) {
    v.back = grid.backColor;
    v.fore = grid.foreColor;
    v.gridLine = grid.gridColor;
    v.border = grid.borderColor;
    const QString text = lineStyleText(grid.gridLines);
    if (!text.isEmpty()) v.lineStyle = text;
    v.lineWidth = QString::number(grid.gridLineWidth);
}

void applyGridStyle(ReportGrid& grid, const GridStyleValues& v) {
    const auto paint = [&](CellStyle& s) {
        s.back = v.back;
        s.fore = v.fore;
    };
    if (grid.highLight == 1) {
        grid.forRange(grid.row, grid.col, grid.rowSel, grid.colSel, paint);
    } else {
        grid.backColor = grid.backColorFixed = v.back;
        grid.foreColor = grid.foreColorFixed = v.fore;
        grid.forRange(grid.row, grid.col, grid.rowSel, grid.colSel, paint);
    }
    grid.gridColor = grid.gridColorFixed = v.gridLine;
    grid.borderColor = v.border;
    const int code = lineStyleCode(v.lineStyle);
    if (code >= 0) grid.gridLines = code;
    grid.gridLinesFixed = grid.gridLines;
    const QString w = v.lineWidth.trimmed();
    if (w.size() == 1 && w.at(0).isDigit() && w.at(0).unicode() < 128) grid.gridLineWidth = w.toInt();
}

} // namespace report
