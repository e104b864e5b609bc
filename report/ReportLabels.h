#pragma once
// The information labels of a report page, as data.
//
//   0       the title (also the page header of the print)
//   1..4    lines above the grid
//   5, 6    lines below the grid
//   7..     labels the worker adds
//
// Each label has its caption, font, colour, place and size on the page (in
// twips; a label sizes itself to its text) and a hidden mark ("Hide" in
// `tag`): a hidden label still shows on the page but is left out of the print.
//
// The editing box opens on the title and on labels 6 and up, or anywhere on
// the page for a new label; Enter commits it: a new label for a text that is
// not blank, or the edited label's new text, place and size.

#include "report/ReportGrid.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QRect>
#include <QString>

namespace report {

struct ReportLabel {
    QString caption;
    QFont font;
    QColor color = Qt::black;
    QRect rect;  // twips on the page
    QString tag; // "Hide" or empty
    bool hidden() const { return !tag.isEmpty(); }
};

struct LabelBox {
    bool visible = false;
    QString text;
    QFont font;
    QColor color = Qt::black;
    QRect rect;
};

// What the label pop-up offers for a label.
struct LabelMenuState {
    bool hideChecked = false;
    bool hideEnabled = true;
    bool deleteEnabled = false;
};

class LabelSet {
public:
    static constexpr int kFirstUser = 7;

    LabelSet();

    // The design texts and fonts of labels 0..6; no user labels, none current.
    void reset();

    int count() const { return int(labels_.size()); }
    ReportLabel& at(int i) { return labels_[i]; }
    const ReportLabel& at(int i) const { return labels_[i]; }
    const QList<ReportLabel>& all() const { return labels_; }

    // The highest user label index, 0 while none was ever added.
    int lastIndex() const { return last_; }
    int current() const { return current_; }

    // Sets the caption and sizes the label to it.
    void setCaption(int i, const QString& text);
    void fitSize(int i);
    void setMeasure(TextMeasure m) { measure_ = std::move(m); }

    // A left press on a label: it becomes current; on 0 and 6 up the box opens
    // over it. Returns whether the box opened.
    bool pressLeft(int i);
    // A right press: the pop-up's state; closing the pop-up ends it.
    LabelMenuState pressRight(int i);
    void popupClosed() { current_ = -1; }

    // A double-click on the page at `at`: an empty box for a new label.
    void beginAdd(const QPoint& at, const QFont& windowFont);

    // Enter in the box: returns the index of the label added or changed, or
    // -1 when nothing was added. The box hides in every case.
    int commit();

    // The pop-up commands on the current label. Fonts lose underline and
    // strike-out; a null optional (a cancelled dialog) changes nothing.
    void setFont(const QFont& font);
    void setColor(const QColor& color);
    void toggleHide();
    // Deletes the current user label; the labels after it move down one index.
    bool deleteCurrent();

    LabelBox box;

private:
    QList<ReportLabel> labels_;
    int last_ = 0;
    int current_ = -1;
    TextMeasure measure_;
};

} // namespace report
