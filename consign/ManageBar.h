#pragma once
// The command bar of the two management windows: the find desk's bar (see
// consign/ManageUi.h) without pages, the item "Search" between its first two
// separators holding the location chooser with its label "馆藏地：" (no "all"
// entry, nothing chosen at load), then the window's own items.

#include "platform/ui/CommandBar.h"

#include <QStringList>
#include <QVector>

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

// Builds the bar `name` with the chooser and the items after "Split2";
// `chooser` receives the location chooser.
ui::CommandBar* buildManageBar(QWidget* owner, const QString& name, std::initializer_list<BarItem> items,
                               QComboBox** chooser);
// Fills a list grid; the rows flagged in `red` are written in red (a passed date).
void subFillManageGrid(ui::SpreadGrid* grid, const QVector<QStringList>& rows, const QVector<bool>& red);

} // namespace consign
