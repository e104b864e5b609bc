#include "consign/ManageBar.h"

#include "platform/ui/Grid.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolBar>

namespace consign {

ui::CommandBar* buildManageBar(QWidget* owner, const QString& name, std::initializer_list<BarItem> items,
                               QComboBox** chooser) {
    auto* bar = new ui::CommandBar(ui::CommandBar::Kind::ToolBar, name, owner);
    bar->setRedraw(false);
    ui::CommandMenu* standard = bar->addMenu(QStringLiteral("Standard"), QStringLiteral("工具栏"));
    for (const BarItem& it : items) {
        const QString key = QString::fromLatin1(it.key);
        const QString caption = QString::fromUtf8(it.caption);
        ui::CommandItem* item = bar->addItem(key, key, caption, it.style, caption);
        if (it.style == ui::ItemStyle::Control) {
            auto* holder = new QWidget;
            auto* row = new QHBoxLayout(holder);
            row->setContentsMargins(2, 0, 2, 0);
            row->addWidget(new QLabel(QStringLiteral("馆藏地："), holder));
            auto* cmb = new QComboBox(holder);
            cmb->setObjectName(QStringLiteral("cmbLocation"));
            row->addWidget(cmb, 1);
            item->setControl(holder, 176);
            *chooser = cmb;
        }
        standard->append(item);
    }
    bar->setActiveMenu(standard);
    bar->setRedraw(true);
    if (bar->toolBar()) bar->toolBar()->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return bar;
}

ui::SpreadGrid* makeManageGrid(const QString& name, const QStringList& titles, QWidget* parent) {
    auto* g = new ui::SpreadGrid(name, parent);
    g->setMaxCols(int(titles.size()));
    for (int c = 0; c < titles.size(); ++c)
        g->setText(c + 1, 0, titles[c]);
    g->setOperationMode(2);
    g->setMaxRows(0);
    return g;
}

void setManageRow(ui::SpreadGrid* grid, int row, const QStringList& cells, bool red) {
    for (int c = 0; c < cells.size(); ++c)
        grid->setText(c + 1, row, cells[c]);
    if (red) grid->setRowForeColor(row, QColor(255, 0, 0));
}

} // namespace consign
