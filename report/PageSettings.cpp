#include "report/PageSettings.h"

#include <QPrinter>

#include <cmath>

namespace report {

const QList<PaperKind>& paperKinds() {
    static const QList<PaperKind> all = {{9, QPageSize::A4, u"A4"},      {8, QPageSize::A3, u"A3"},
                                         {11, QPageSize::A5, u"A5"},     {12, QPageSize::JisB4, u"B4"},
                                         {13, QPageSize::JisB5, u"B5"},  {1, QPageSize::Letter, u"Letter"},
                                         {5, QPageSize::Legal, u"Legal"}};
    return all;
}

namespace {

int toTwips(double points) {
    return int(std::lround(points * 20));
}
int mmToTwips(double mm) {
    return int(std::lround(mm * 1440 / 25.4));
}
} // namespace

int PageSettings::pageWidth() const {
    const QSizeF s = QPageSize(paper).size(QPageSize::Millimeter);
    return mmToTwips(orientation == QPageLayout::Landscape ? s.height() : s.width());
}

int PageSettings::pageHeight() const {
    const QSizeF s = QPageSize(paper).size(QPageSize::Millimeter);
    return mmToTwips(orientation == QPageLayout::Landscape ? s.width() : s.height());
}

void PageSettings::setOrientationCode(int code) {
    orientation = code == 2 ? QPageLayout::Landscape : QPageLayout::Portrait;
}

int PageSettings::paperCode() const {
    for (const PaperKind& p : paperKinds())
        if (p.id == paper) return p.code;
    return 9;
}

void PageSettings::setPaperCode(int code) {
    for (const PaperKind& p : paperKinds())
        if (p.code == code) paper = p.id;
}

bool PageSettings::fits() const {
    if (leftMargin < 0 || rightMargin < 0 || topMargin < 0 || bottomMargin < 0) return false;
    return pageWidth() - leftMargin - rightMargin >= 1440 && pageHeight() - topMargin - bottomMargin >= 1440;
}

PageSettings PageSettings::fromPrinter(const QPrinter& printer) {
    PageSettings s;
    const QPageLayout layout = printer.pageLayout();
    s.paper = layout.pageSize().id();
    if (s.paper == QPageSize::Custom) s.paper = QPageSize::A4;
    s.orientation = layout.orientation();
    const QMarginsF m = layout.margins(QPageLayout::Point);
    s.leftMargin = toTwips(m.left());
    s.rightMargin = toTwips(m.right());
    s.topMargin = toTwips(m.top());
    s.bottomMargin = toTwips(m.bottom());
    return s;
}

void PageSettings::applyTo(QPrinter& printer) const {
    QPageLayout layout(
        QPageSize(paper), orientation,
        QMarginsF(leftMargin / 20.0, topMargin / 20.0, rightMargin / 20.0, bottomMargin / 20.0),
        QPageLayout::Point);
    layout.setMode(QPageLayout::FullPageMode);
    printer.setPageLayout(layout);
}

} // namespace report
