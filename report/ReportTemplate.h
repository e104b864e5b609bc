#pragma once
// User templates of a report: a report's arrangement kept under its title in
// the configuration folder and applied to a later report of that title.
//
//   CFG/打印配置1/T      the grid's look (colours, lines, font)
//   CFG/打印配置2/T      the set-up grid: row keys, widths, new-field marks,
//                        the row-number option, the page-setting text and the
//                        label styles
//   CFG/打印配置2/T.txt  the set-up grid's texts, one line per row
//
// The two grid files are JSON documents of our own, marked with their kind
// and a version. The text file is GB18030 with CRLF line ends: every field is
// followed by "|"; "\", "|", CR and LF inside a text are written "\\", "\|",
// "\r" and "\n". Its rows: the title row (列内容|列名|是否输出|是否排序|title|),
// then one row per set-up row and at least six, each holding definition,
// title, "-1" (output) or "0", sort and the label-style text of label i
// (its caption, or 隐藏 for a hidden label).
//
// The three files are checked together before anything is applied, and
// written aside and put in place together. Saving and reading hold the lock
// file CFG/打印配置.lock, so that a program reading a template while another
// saves it sees the old three files or the new three, never a mix.

#include "report/ColumnSetup.h"
#include "report/PageSettings.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>

namespace report {

class LabelSet;

// The style of one of labels 0..6.
struct LabelStyle {
    QString text; // the caption, or "隐藏"
    QFont font;
    QColor color = Qt::black;
};

// The set-up grid as a template keeps it.
struct SetupGrid {
    QList<SetupRow> rows;
    int addOrder = 0;
    QString pageText;
    QList<LabelStyle> labels; // 0..6
};

// The grid settings the style dialog and the font command change.
struct GridLook {
    QColor backColor, foreColor, backColorFixed, foreColorFixed;
    QColor gridColor, gridColorFixed, borderColor;
    int gridLines = 1;
    int gridLinesFixed = 1;
    int gridLineWidth = 1;
    QFont font;

    static GridLook of(const ReportGrid& grd);
    void applyTo(ReportGrid& grd) const;
};

// "orientation;paper;left;right;top;bottom" (1;9;680;680;1440;1440).
QString pageSettingText(const PageSettings& page);
// False (the page untouched) when the text does not hold six numbers or
// names an orientation other than 1 or 2.
bool readPageSettingText(const QString& text, PageSettings* page);

// Label styles of labels 0..6, and back (fonts, colours, hidden marks and the
// title's caption; the captions of 1..6 stay).
QList<LabelStyle> labelStyles(const LabelSet& labels);
void applyLabelStyles(const QList<LabelStyle>& styles, LabelSet& labels);

// The grid text file's bytes, and back; false when a line or field is
// missing or left over.
QByteArray gridTextBytes(const SetupGrid& setup);
bool readGridText(const QByteArray& bytes, SetupGrid* setup);

// The template's file name: "/" and control characters become "_", and so
// do the names "." and ".." (one "_" per character).
QString templateFileName(const QString& title);

class TemplateStore {
public:
    // `configFolder` is the configuration folder (CFG/).
    explicit TemplateStore(QString configFolder) : cfg_(std::move(configFolder)) {}

    QString lookPath(const QString& title) const;
    QString setupPath(const QString& title) const;
    QString textPath(const QString& title) const { return setupPath(title) + QStringLiteral(".txt"); }

    // Writes the three files; false with the reason, the old trio then kept.
    bool save(const QString& title, const GridLook& look, const SetupGrid& setup, QString* error) const;
    // Reads and checks the three files; false when one is missing, short or
    // damaged.
    bool load(const QString& title, GridLook* look, SetupGrid* setup) const;

private:
    QString lockPath() const;
    QString cfg_;
};

} // namespace report
