#pragma once
// The command bar and grids of the two management windows: the bar's items in
// one toolbar "Standard", the item "Search" holding the location chooser with
// its label "馆藏地：" (no "all" entry, nothing chosen at load).

#include "platform/ui/CommandBar.h"

#include <QStringList>

#include <initializer_list>

class QComboBox;
namespace ui {
class SpreadGrid;
}

namespace consign {

struct BarItem {
    const char* key;
    ui::ItemStyle style;
    const char* caption;
};

// Builds the bar `name` with its items; `chooser` receives the location chooser.
ui::CommandBar* buildManageBar(QWidget* owner, const QString& name, std::initializer_list<BarItem> items,
                               QComboBox** chooser);
// A read-only grid with the column titles.
ui::SpreadGrid* makeManageGrid(const QString& name, const QStringList& titles, QWidget* parent);
// Writes one row of a grid, red when `red` (a passed date).
void setManageRow(ui::SpreadGrid* grid, int row, const QStringList& cells, bool red);

} // namespace consign
