#include "report/ReportLabels.h"

#include "platform/ui/Fonts.h"

namespace report {

namespace {
const QString kHide = QStringLiteral("Hide");
}

LabelSet::LabelSet() : measure_(measureText) {
    reset();
}

void LabelSet::reset() {
    labels_.clear();
    ReportLabel title;
    title.font = ui::makeFont(QStringLiteral("黑体"), 14.25, true);
    title.caption = QStringLiteral("     标题    ");
    title.rect = QRect(0, 300, 0, 0);
    labels_.append(title);
    for (int i = 1; i <= 6; ++i) {
        ReportLabel l;
        l.font = ui::makeFont(QStringLiteral("Tahoma"), 9.75);
        l.caption = QStringLiteral("label%1 ").arg(i);
        l.rect = QRect(0, i <= 4 ? 900 : 0, 0, 0);
        labels_.append(l);
    }
    for (int i = 0; i < labels_.size(); ++i)
        fitSize(i);
    last_ = 0;
    current_ = -1;
    box = LabelBox();
}

void LabelSet::fitSize(int i) {
    if (i < 0 || i >= labels_.size()) return;
    ReportLabel& l = labels_[i];
    l.rect.setSize(measure_(l.font, l.caption.isEmpty() ? QStringLiteral(" ") : l.caption, 0));
    if (l.caption.isEmpty()) l.rect.setWidth(0);
}

void LabelSet::setCaption(int i, const QString& text) {
    if (i < 0 || i >= labels_.size()) return;
    labels_[i].caption = text;
    fitSize(i);
}

bool LabelSet::pressLeft(int i) {
    if (i < 0 || i >= labels_.size()) return false;
    current_ = i;
    if (i != 0 && i < 6) return false;
    const ReportLabel& l = labels_[i];
    box.visible = true;
    box.text = l.caption;
    box.font = l.font;
    box.color = l.color;
    box.rect = l.rect;
    return true;
}

LabelMenuState LabelSet::pressRight(int i) {
    current_ = i;
    LabelMenuState s;
    if (i < 0 || i >= labels_.size()) return s;
    s.deleteEnabled = i >= kFirstUser;
    s.hideChecked = labels_[i].hidden();
    s.hideEnabled = i != 0;
    return s;
}

void LabelSet::beginAdd(const QPoint& at, const QFont& windowFont) {
    current_ = -1;
    box.visible = true;
    box.text = QStringLiteral("在这里插入文本");
    box.font = windowFont;
    box.color = Qt::black;
    box.rect = QRect(at, QSize(2000, 255));
}

int LabelSet::commit() {
    if (last_ == 0) last_ = kFirstUser - 1;
    int changed = -1;
    if (current_ < 0 || current_ >= labels_.size()) {
        if (!box.text.trimmed().isEmpty()) {
            ++last_;
            ReportLabel l;
            l.font = box.font;
            l.color = box.color;
            l.caption = box.text;
            l.rect = box.rect;
            while (labels_.size() <= last_)
                labels_.append(ReportLabel());
            labels_[last_] = l;
            fitSize(last_);
            changed = last_;
        }
    } else {
        ReportLabel& l = labels_[current_];
        l.caption = box.text;
        l.rect = box.rect;
        fitSize(current_);
        changed = current_;
        current_ = -1;
    }
    box.visible = false;
    return changed;
}

void LabelSet::setFont(const QFont& font) {
    if (current_ < 0 || current_ >= labels_.size()) return;
    QFont f(font);
    f.setUnderline(false);
    f.setStrikeOut(false);
    labels_[current_].font = f;
    fitSize(current_);
}

void LabelSet::setColor(const QColor& color) {
    if (current_ >= 0 && current_ < labels_.size()) labels_[current_].color = color;
}

void LabelSet::toggleHide() {
    if (current_ < 0 || current_ >= labels_.size()) return;
    ReportLabel& l = labels_[current_];
    l.tag = l.hidden() ? QString() : kHide;
}

bool LabelSet::deleteCurrent() {
    const int k = current_;
    if (k < kFirstUser || k > last_ || k >= labels_.size()) return false;
    labels_.removeAt(k);
    --last_;
    return true;
}

} // namespace report
