// Grids: the spreadsheet grid addressed (col, row) from 1 with titles in row 0,
// and the flexible grid addressed (row, col) from 0 with fixed rows.
#include "platform/ui/Grid.h"
#include "platform/ui/Units.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace ui;

namespace {

const QColor kCyan(192, 255, 255);

// Texts of one column, rows 1..maxRows.
QStringList column(const SpreadGrid& g, int col) {
    QStringList out;
    for (int r = 1; r <= g.maxRows(); ++r) out << g.getText(col, r);
    return out;
}

} // namespace

TEST(SpreadGrid, AddressesCellsFromOneWithTitlesInRowAndColumnZero) {
    SpreadGrid g("spdJob");
    EXPECT_EQ(g.objectName(), "spdJob");
    EXPECT_EQ(g.typeName(), "fpSpread");
    g.setMaxCols(3);
    g.setMaxRows(2);
    g.setText(1, 0, "种数");
    g.setText(0, 1, "借书");
    g.setText(3, 2, "12.50");
    EXPECT_EQ(g.getText(1, 0), "种数");
    EXPECT_EQ(g.horizontalHeaderItem(0)->text(), "种数");
    EXPECT_EQ(g.getText(0, 1), "借书");
    EXPECT_EQ(g.getText(3, 2), "12.50");
    EXPECT_EQ(g.item(1, 2)->text(), "12.50");
    // Outside the sheet: nothing read, nothing written.
    g.setText(4, 1, "x");
    g.setText(1, 3, "x");
    EXPECT_EQ(g.getText(4, 1), "");
    EXPECT_EQ(g.getText(1, 3), "");
    EXPECT_EQ(g.columnCount(), 3);

    // The cell pointer, -1 addressing every row and column: the titles stay.
    g.setRow(2);
    g.setCol(3);
    EXPECT_EQ(g.text(), "12.50");
    g.setRow(-1);
    g.setCol(-1);
    g.setText(QString());
    EXPECT_EQ(g.getText(3, 2), "");
    EXPECT_EQ(g.getText(1, 0), "种数");
    EXPECT_EQ(g.getText(0, 1), "借书");
}

TEST(SpreadGrid, NewestRowOnTopKeepsRowCountAndColours) {
    // The desk's pattern: grow by one, clear the old top row's mark, insert a
    // new row 1 and mark it.
    SpreadGrid g;
    g.setMaxCols(2);
    for (const char* code : {"A", "B"}) {
        g.setMaxRows(g.maxRows() + 1);
        if (g.maxRows() > 1) g.setRowBackColor(1, QColor());
        g.insertRows(1, 1);
        g.setRowBackColor(1, kCyan);
        g.setText(1, 1, code);
    }
    EXPECT_EQ(g.maxRows(), 2);
    EXPECT_EQ(column(g, 1), QStringList({"B", "A"}));
    EXPECT_EQ(g.rowBackColor(1), kCyan);
    EXPECT_FALSE(g.rowBackColor(2).isValid());

    // A red row reads back as colour number 255.
    g.setRowForeColor(2, units::colorFromNumber(255));
    EXPECT_EQ(units::colorToNumber(g.foreColor(2, 2)), 255);
    EXPECT_EQ(g.foreColor(1, 1), g.defaultForeColor());

    // Insert pushes the last row out; delete brings an empty one in.
    g.insertRows(1, 1);
    EXPECT_EQ(column(g, 1), QStringList({"", "B"}));
    g.deleteRows(1, 1);
    EXPECT_EQ(column(g, 1), QStringList({"B", ""}));
    EXPECT_EQ(g.maxRows(), 2);
}

TEST(SpreadGrid, ButtonCellsReportTheirRowAfterRowsMove) {
    SpreadGrid g("spdApplyBook");
    g.setMaxCols(10);
    g.setMaxRows(3);
    g.setButtonCell(9, 2, "提交");
    g.setCellType(9, 3, CellType::Static);
    g.setLocked(9, 3, true);
    EXPECT_EQ(g.getText(9, 2), "提交");
    EXPECT_EQ(g.cellType(9, 3), CellType::Static);
    EXPECT_TRUE(g.isLocked(9, 3));
    EXPECT_EQ(g.cellWidgetAt(9, 3), nullptr);

    g.setMaxRows(4);
    g.insertRows(2, 1);   // the button row moves down to row 3
    QSignalSpy spy(&g, &SpreadGrid::buttonClicked);
    auto* button = qobject_cast<QPushButton*>(g.cellWidgetAt(9, 3));
    ASSERT_NE(button, nullptr);
    button->click();
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 9);
    EXPECT_EQ(spy.at(0).at(1).toInt(), 3);
    EXPECT_EQ(g.activeRow(), 3);   // the pressed button's row is the active row

    g.setText(9, 3, "提交成功");
    EXPECT_EQ(button->text(), "提交成功");
    // Made a locked plain cell, the button goes.
    g.setCellType(9, 3, CellType::Static);
    EXPECT_EQ(g.cellWidgetAt(9, 3), nullptr);
    EXPECT_EQ(g.getText(9, 3), "提交成功");
}

TEST(SpreadGrid, ButtonCellsAnswerSpaceAndEnter) {
    SpreadGrid g("spdApplyList");
    g.setMaxCols(3);
    g.setMaxRows(3);
    g.setButtonCell(1, 2, "删除");
    g.setButtonCell(1, 3, "删除");
    g.setLocked(1, 3, true); // a disabled button is not pressed
    QSignalSpy spy(&g, &SpreadGrid::buttonClicked);
    const struct {
        int row;
        Qt::Key key;
        int presses;
    } cases[] = {{2, Qt::Key_Space, 1}, {2, Qt::Key_Return, 1}, {2, Qt::Key_Enter, 1},
                 {1, Qt::Key_Space, 0}, {3, Qt::Key_Return, 0}};
    for (const auto& c : cases) {
        spy.clear();
        g.setActiveCell(1, c.row);
        QTest::keyClick(&g, c.key);
        EXPECT_EQ(spy.count(), c.presses) << c.row << " " << c.key;
        if (c.presses > 0)
            EXPECT_EQ(spy.at(0).at(1).toInt(), c.row);
    }
}

TEST(SpreadGrid, DropDownAndCheckBoxCells) {
    SpreadGrid g;
    g.setMaxCols(2);
    g.setMaxRows(1);
    g.setComboCell(1, 1, "TP311/1\tTP311/2\tTP311/3", false, 0);
    EXPECT_EQ(g.comboCount(1, 1), 3);
    EXPECT_EQ(g.getText(1, 1), "TP311/1");
    g.setText(1, 1, "TP311/3");
    EXPECT_EQ(g.comboIndex(1, 1), 2);
    g.setComboIndex(1, 1, -1);
    EXPECT_EQ(g.getText(1, 1), "");

    // A user choice is a change of the cell; program writes are not.
    QSignalSpy changes(&g, &SpreadGrid::cellChange);
    auto* cb = qobject_cast<QComboBox*>(g.cellWidgetAt(1, 1));
    ASSERT_NE(cb, nullptr);
    cb->setCurrentIndex(1);
    emit cb->activated(1);
    EXPECT_EQ(g.getText(1, 1), "TP311/2");
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.at(0).at(0).toInt(), 1);

    // Column-wide check boxes (row -1) reach rows added later.
    g.setCheckCell(2, -1);
    g.setMaxRows(3);
    EXPECT_EQ(g.cellType(2, 3), CellType::CheckBox);
    EXPECT_EQ(g.getText(2, 3), "0");
    g.setText(2, 3, "1");
    EXPECT_EQ(g.getText(2, 3), "1");
    EXPECT_EQ(g.item(2, 1)->checkState(), Qt::Checked);
    g.setText(1, 2, "typed by the program");
    EXPECT_EQ(changes.count(), 1);
    // A user edit of a plain cell is a change.
    g.item(1, 0)->setText("typed");
    EXPECT_EQ(changes.count(), 2);
}

TEST(SpreadGrid, RowSelectionHiddenColumnsAndSort) {
    SpreadGrid g("spdFine");
    g.setMaxCols(3);
    g.setMaxRows(4);
    g.setColHidden(3, true);
    EXPECT_TRUE(g.colHidden(3));
    EXPECT_FALSE(g.colHidden(2));
    g.setOperationMode(4);   // a click toggles a row
    g.setRowSelected(1, true);
    g.setRowSelected(3, true);
    EXPECT_EQ(g.selectedRowCount(), 2);
    g.show();
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.visualRect(g.model()->index(2, 0)).center());
    EXPECT_EQ(g.selectedRowCount(), 1);   // row 3 toggled off
    EXPECT_TRUE(g.isRowSelected(1));
    EXPECT_FALSE(g.isRowSelected(3));
    g.clearSelection();
    EXPECT_EQ(g.selectedRowCount(), 0);

    // A released key reports the active cell.
    QSignalSpy keys(&g, &SpreadGrid::keyUp);
    g.setActiveCell(2, 4);
    QTest::keyRelease(&g, Qt::Key_Down);
    ASSERT_EQ(keys.count(), 1);
    EXPECT_EQ(keys.at(0), QVariantList({int(Qt::Key_Down), 2, 4}));

    const char* values[] = {"10", "9", "100", "abc"};
    for (int r = 1; r <= 4; ++r) g.setText(1, r, values[r - 1]);
    g.setRowForeColor(2, Qt::red);   // "9" is red
    g.sort(1);
    EXPECT_EQ(column(g, 1), QStringList({"9", "10", "100", "abc"}));
    EXPECT_EQ(g.rowForeColor(1), QColor(Qt::red));   // the colour moved with its row
    g.sort(1, false);
    EXPECT_EQ(column(g, 1), QStringList({"abc", "100", "10", "9"}));
}

TEST(FlexGrid, ZeroBasedCellsWithFixedRows) {
    FlexGrid g("vsInfo");
    EXPECT_EQ(g.typeName(), "VSFlexGrid");
    g.setCols(4);
    g.setRows(1);
    for (int c = 1; c < 4; ++c) g.setTextMatrix(0, c, QStringLiteral("H%1").arg(c));
    g.setRows(4);
    EXPECT_EQ(g.rows(), 4);
    EXPECT_EQ(g.fixedRows(), 1);
    EXPECT_EQ(g.textMatrix(0, 2), "H2");   // the fixed row is an ordinary cell

    // Current cell: Row/Col then Text.
    g.setRow(2);
    g.setCol(3);
    g.setText("x");
    EXPECT_EQ(g.textMatrix(2, 3), "x");
    EXPECT_EQ(g.row(), 2);
    EXPECT_EQ(g.currentRow(), 2);

    // Colours of a range, corners in any order.
    g.setCellForeColor(3, 3, 1, 1, units::colorFromNumber(8388608));
    EXPECT_EQ(units::colorToNumber(g.cellForeColor(2, 2)), 8388608);
    EXPECT_EQ(g.cellForeColor(2, 0), g.defaultForeColor());
    g.setCellBackColor(1, 0, 1, 3, units::colorFromNumber(15780518));
    EXPECT_EQ(units::colorToNumber(g.cellBackColor(1, 3)), 15780518);
    EXPECT_FALSE(g.cellBackColor(2, 3).isValid());

    g.setColHidden(3, true);
    g.setRowHidden(2, true);
    EXPECT_TRUE(g.colHidden(3));
    EXPECT_TRUE(g.rowHidden(2));

    // One fixed row stays in view as the header; it is still row 0 of the cells.
    EXPECT_FALSE(g.horizontalHeader()->isHidden());
    EXPECT_EQ(g.horizontalHeaderItem(2)->text(), "H2");
    EXPECT_FALSE(g.rowHidden(0));
    g.setTextMatrix(0, 2, "H2'");
    EXPECT_EQ(g.horizontalHeaderItem(2)->text(), "H2'");
    g.setRowHidden(0, true);   // hidden by the program: no header either
    EXPECT_TRUE(g.rowHidden(0));
    EXPECT_TRUE(g.horizontalHeader()->isHidden());
    g.setRowHidden(0, false);
    g.setFixedRows(2);
    EXPECT_TRUE(g.horizontalHeader()->isHidden());
    EXPECT_FALSE(g.isRowHidden(0));
    g.setFixedRows(1);

    g.setCellChecked(1, 1, CheckMark::Checked);
    EXPECT_EQ(g.cellChecked(1, 1), CheckMark::Checked);
    g.setCellChecked(1, 1, CheckMark::None);
    EXPECT_EQ(g.cellChecked(1, 1), CheckMark::None);

    g.setColWidth(1, 1300);
    EXPECT_EQ(g.colWidth(1), 1305);   // whole pixels: 87 px
}

TEST(FlexGrid, AddRemoveAndSortBelowTheFixedRows) {
    FlexGrid g;
    g.setCols(3);
    g.setRows(1);
    g.setTextMatrix(0, 1, "title");
    g.addItem("\t20\tb");
    g.addItem("\t3\ta");
    g.addItem("\t100\tc", 1);   // before the first data row
    g.setRowData(2, 42);
    EXPECT_EQ(g.rows(), 4);
    EXPECT_EQ(g.textMatrix(1, 1), "100");

    g.sort(1);
    EXPECT_EQ(g.textMatrix(0, 1), "title");
    EXPECT_EQ(QStringList({g.textMatrix(1, 1), g.textMatrix(2, 1), g.textMatrix(3, 1)}),
              QStringList({"3", "20", "100"}));
    EXPECT_EQ(g.rowData(2).toInt(), 42);   // row data follows its row ("20")

    g.removeItem(1);
    EXPECT_EQ(g.rows(), 3);
    EXPECT_EQ(g.textMatrix(1, 2), "b");

    // A row added above the fixed row becomes the header; the old one shows.
    g.addItem("\tnew title", 0);
    EXPECT_EQ(g.horizontalHeaderItem(1)->text(), "new title");
    EXPECT_FALSE(g.isRowHidden(1));
    EXPECT_EQ(g.textMatrix(1, 1), "title");
}

TEST(FlexGrid, EditingOnlyWhenEditableAndNeverInFixedCells) {
    FlexGrid g;
    g.setRows(3);
    g.setCols(3);
    g.show();
    g.select(0, 1);
    g.setEditable(true);
    g.editCell();
    EXPECT_EQ(g.indexWidget(g.model()->index(0, 1)), nullptr);   // fixed row
    // Nor by the user's double click (on the fixed column).
    const QRect fixed = g.visualRect(g.model()->index(2, 0));
    QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, fixed.center());
    EXPECT_EQ(g.indexWidget(g.model()->index(2, 0)), nullptr);
    g.select(1, 1);
    EXPECT_EQ(g.row(), 1);
    g.editCell();
    EXPECT_NE(g.indexWidget(g.model()->index(1, 1)), nullptr);
}

// Tab out of a grid: a read-only grid (list modes, a flexible grid that does
// not edit) hands Tab and Shift+Tab on while the arrow keys move inside; a grid
// that edits walks its cells and hands Tab on past its last cell. Button cells
// keep Space.
TEST(GridKeyboard, TabLeavesReadOnlyGridsAndTheLastCellOfOthers) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* before = new QLineEdit(&window);
    auto* list = new SpreadGrid("spdFind", &window);
    auto* flex = new FlexGrid("vsInfo", &window);
    auto* edit = new SpreadGrid("spdName", &window);
    auto* after = new QLineEdit(&window);
    for (QWidget* w : {static_cast<QWidget*>(before), static_cast<QWidget*>(list), static_cast<QWidget*>(flex),
                       static_cast<QWidget*>(edit), static_cast<QWidget*>(after)})
        layout->addWidget(w);
    list->setOperationMode(1);
    list->setMaxCols(3);
    list->setMaxRows(2);
    list->setButtonCell(3, 1, "提交");
    flex->setRows(3);
    flex->setCols(3);
    edit->setMaxCols(2);
    edit->setMaxRows(1);
    QSignalSpy pressed(list, &SpreadGrid::buttonClicked);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    const auto tab = [](Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, mods);
        return QApplication::focusWidget();
    };
    before->setFocus();
    EXPECT_EQ(tab(), list);
    list->setActiveCell(1, 1);
    QTest::keyClick(list, Qt::Key_Right);
    QTest::keyClick(list, Qt::Key_Right);
    EXPECT_EQ(list->activeCol(), 3);
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(pressed.count(), 1);
    EXPECT_EQ(tab(), flex);
    QTest::keyClick(flex, Qt::Key_Down);
    EXPECT_EQ(tab(), edit);
    edit->setActiveCell(1, 1);
    EXPECT_EQ(tab(), edit);   // on to the next cell
    EXPECT_EQ(edit->activeCol(), 2);
    EXPECT_EQ(tab(), after);  // past the last one
    EXPECT_EQ(tab(Qt::ShiftModifier), edit);
    edit->setActiveCell(1, 1);
    EXPECT_EQ(tab(Qt::ShiftModifier), flex);
    EXPECT_EQ(tab(Qt::ShiftModifier), list);
    EXPECT_EQ(tab(Qt::ShiftModifier), before);
}
