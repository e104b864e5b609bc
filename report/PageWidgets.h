#pragma once
// What the report window and the slip window share of their page panels on
// screen: twips to pixels at the edge, and showing a label, the label editor,
// a scroll bar and the red line from their values in twips.

#include "report/ReportLabels.h"
#include "report/ReportLayout.h"

#include <QRect>

class QDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPrintPreviewWidget;
class QPrinter;
class QScrollBar;
class QWidget;

namespace report::pageui {

// The page view of a window: the area under the menu bar (filling the
// window), the white page panel frame1 with the red line lineScope and the
// hidden label editor txtAdd, the hidden preview vpOrder over the printer,
// and the hidden scroll bars. The area, the panel and the editor report
// their events to the window's event filter.
struct PagePanel {
    QWidget* pageArea = nullptr;
    QFrame* frame1 = nullptr;
    QFrame* lineScope = nullptr;
    QLineEdit* txtAdd = nullptr;
    QPrintPreviewWidget* vpOrder = nullptr;
    QScrollBar* vsb = nullptr;
    QScrollBar* hsb = nullptr;
};
PagePanel buildPagePanel(QDialog* window, QMenuBar* menuBar, QPrinter* printer);

// Gives a window's control members of the same names the panel's widgets.
template <class Window> void adoptPagePanel(Window* w, const PagePanel& p) {
    w->pageArea = p.pageArea;
    w->frame1 = p.frame1;
    w->lineScope = p.lineScope;
    w->txtAdd = p.txtAdd;
    w->vpOrder = p.vpOrder;
    w->vsb = p.vsb;
    w->hsb = p.hsb;
}

int px(int twips);
int tw(int pixels);
QRect pxRect(const QRect& twips);
QRect twRect(const QRect& pixels);

// Caption, font, colour and place; the label shows.
void showLabel(QLabel* w, const ReportLabel& label);
// The editor shows over its place with its text, font and colour and takes
// the focus, or hides.
void showBox(QLineEdit* box, const LabelBox& state);
// Visibility, place, range and steps.
void showScrollBar(QScrollBar* bar, const ScrollBarState& state);
// A one-pixel line at x over the panel's height.
void placeRedLine(QFrame* line, int x, const QRect& frame);

} // namespace report::pageui
