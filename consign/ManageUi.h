#pragma once
// Pieces the windows of consignment management share: the page command bar,
// the eleven-box copy display, the choosers and the list grids.

#include "consign/FindDesk.h"

#include <QList>
#include <QString>
#include <QStringList>

class QComboBox;
class QPushButton;
class QRadioButton;
class QGridLayout;
class QLineEdit;
class QStackedWidget;
class QWidget;
namespace ui {
class CommandBar;
class ImageList;
class SpreadGrid;
class DatePicker;
} // namespace ui

namespace consign {

// One page toggle of a management window's bar: key (also the image key) and caption.
struct PageItem {
    QString key, caption;
};

// The bar of a management window: "Split1", the page toggles, "Split2", all
// on the toolbar "Standard" ("工具栏").
ui::CommandBar* initCommandBar(QWidget* parent, const QString& name, const QList<PageItem>& pages,
                               ui::ImageList* images);
// Presses the page item of `key`, releases the others and brings its frame to
// the front; false for a key that names no page.
bool selectPage(ui::CommandBar* bar, QStackedWidget* frames, const QList<PageItem>& pages,
                const QString& key);

// The copy display: eleven read-only boxes with their captions, laid out in a grid.
struct CopyBoxes {
    QLineEdit *txtBookName, *txtPropno, *txtBarCode, *txtLocation, *txtState, *txtCallno, *txtAuthor,
        *txtPubl, *txtPrice, *txtInDate, *txtAttach;
    void build(QWidget* parent, QGridLayout* layout, int firstRow);
    void show(const CopyDisplay& d);
};

// A chooser's entries into a combo box, with its chosen entry.
void subFillCombo(QComboBox* combo, const Chooser& chooser);
// A list grid with its column titles.
ui::SpreadGrid* makeGrid(QWidget* parent, const QString& name, const QStringList& titles);
// Fills a grid with rows of cells (columns from 1).
void subFillGrid(ui::SpreadGrid* grid, const QVector<QStringList>& rows);
// Puts a row on top of a grid in the highlight colour; the previous top row
// loses the highlight.
void subAddOnTop(ui::SpreadGrid* grid, const QStringList& cells);

// Small makers of the management windows' controls.
void labelled(QGridLayout* grid, int row, int col, const QString& caption, QWidget* w);
QComboBox* combo(QWidget* parent, const char* name);
QPushButton* button(QWidget* parent, const char* name, const QString& caption);
ui::DatePicker* picker(QWidget* parent, const char* name);
// The three options optType(0..2) in a row of a form, the first chosen.
void makeOptions(QRadioButton* (&options)[3], QWidget* parent, QGridLayout* grid, int row,
                 const QStringList& captions);
// The grid titles of a found copy (spdFind, spdFindList).
QStringList foundTitles();

} // namespace consign
