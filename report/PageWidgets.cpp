#include "report/PageWidgets.h"

#include "platform/ui/Units.h"

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPrintPreviewWidget>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace report::pageui {

int px(int twips) {
    return ui::units::twipsToPixels(twips);
}
int tw(int pixels) {
    return ui::units::pixelsToTwips(pixels);
}
QRect pxRect(const QRect& r) {
    return QRect(px(r.left()), px(r.top()), px(r.width()), px(r.height()));
}
QRect twRect(const QRect& r) {
    return QRect(tw(r.left()), tw(r.top()), tw(r.width()), tw(r.height()));
}

PagePanel buildPagePanel(QDialog* window, QMenuBar* menuBar, QPrinter* printer) {
    PagePanel p;
    const auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    p.pageArea = named(new QWidget(window), "pageArea");
    p.pageArea->installEventFilter(window);
    auto* lay = new QVBoxLayout(window);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    lay->setMenuBar(menuBar);
    lay->addWidget(p.pageArea, 1);

    p.frame1 = new QFrame(p.pageArea);
    named(p.frame1, "frame1")->setAutoFillBackground(true);
    p.frame1->installEventFilter(window);
    p.lineScope = new QFrame(p.frame1);
    named(p.lineScope, "lineScope")->setStyleSheet(QStringLiteral("background: #ff0000;"));
    p.txtAdd = new QLineEdit(p.frame1);
    named(p.txtAdd, "txtAdd")->hide();
    p.txtAdd->setFrame(false);
    p.txtAdd->installEventFilter(window);

    p.vpOrder = new QPrintPreviewWidget(printer, p.pageArea);
    named(p.vpOrder, "vpOrder")->hide();
    p.vsb = new QScrollBar(Qt::Vertical, p.pageArea);
    named(p.vsb, "vsb")->hide();
    p.hsb = new QScrollBar(Qt::Horizontal, p.pageArea);
    named(p.hsb, "hsb")->hide();
    return p;
}

void showLabel(QLabel* w, const ReportLabel& l) {
    w->setText(l.caption);
    w->setFont(l.font);
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, l.color);
    w->setPalette(pal);
    w->setGeometry(pxRect(l.rect));
    w->show();
}

void showBox(QLineEdit* box, const LabelBox& b) {
    box->setVisible(b.visible);
    if (!b.visible) return;
    box->setText(b.text);
    box->setFont(b.font);
    QPalette pal = box->palette();
    pal.setColor(QPalette::Text, b.color);
    box->setPalette(pal);
    box->setGeometry(pxRect(b.rect));
    box->raise();
    box->setFocus();
}

void showScrollBar(QScrollBar* sb, const ScrollBarState& s) {
    sb->setVisible(s.visible);
    if (!s.visible) return;
    sb->setGeometry(pxRect(s.rect));
    sb->setRange(s.min, s.max);
    sb->setSingleStep(s.smallChange);
    sb->setPageStep(s.largeChange);
    sb->raise();
}

void placeRedLine(QFrame* line, int x, const QRect& frame) {
    line->setGeometry(px(x), px(frame.top()), 1, std::max(1, px(frame.height())));
    line->raise();
}

} // namespace report::pageui
