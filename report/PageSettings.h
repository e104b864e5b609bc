#pragma once
// The page a report prints on: paper, orientation and the four margins in
// twips. The page size follows paper and orientation.

#include <QList>
#include <QPageLayout>
#include <QPageSize>

class QPrinter;

namespace report {

// The papers offered: the number the stored page settings use, the size and
// the name shown.
struct PaperKind {
    int code;
    QPageSize::PageSizeId id;
    const char16_t* name;
};
const QList<PaperKind>& paperKinds();

struct PageSettings {
    QPageSize::PageSizeId paper = QPageSize::A4;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    int leftMargin = 680;
    int rightMargin = 680;
    int topMargin = 1440;
    int bottomMargin = 1440;

    int pageWidth() const;
    int pageHeight() const;

    // Orientation as stored: 1 portrait, 2 landscape; paper by the numbers
    // the stored page settings use (9 A4, 8 A3, 11 A5, 1 Letter, 5 Legal,
    // 12 B4, 13 B5); an unknown number keeps the paper.
    int orientationCode() const { return orientation == QPageLayout::Landscape ? 2 : 1; }
    void setOrientationCode(int code);
    int paperCode() const;
    void setPaperCode(int code);

    // Margins the paper can hold: each at least 0, and the printable area
    // left over at least an inch wide and high.
    bool fits() const;

    // Reads paper, orientation and margins from a printer, or gives them to it.
    static PageSettings fromPrinter(const QPrinter& printer);
    void applyTo(QPrinter& printer) const;
};

} // namespace report
