#include "consign/ManageBar.h"

#include "consign/ManageUi.h"

#include "platform/ui/Grid.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>

namespace consign {

ui::CommandBar* buildManageBar(QWidget* owner, const QString& name, std::initializer_list<BarItem> items,
                               QComboBox** chooser) {
    ui::CommandBar* bar = initCommandBar(owner, name, {}, nullptr);
    ui::CommandMenu* standard = bar->menu(QStringLiteral("Standard"));
    bar->setRedraw(false);
    auto* holder = new QWidget;
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(2, 0, 2, 0);
    row->addWidget(new QLabel(QStringLiteral("馆藏地："), holder));
    *chooser = combo(holder, "cmbLocation");
    row->addWidget(*chooser, 1);
    ui::CommandItem* search = bar->addItem(QStringLiteral("Search"), QStringLiteral("Search"), QString(),
                                           ui::ItemStyle::Control, QString());
    search->setControl(holder, 176);
    standard->insertBefore(search, bar->item(QStringLiteral("Split2")));
    for (const BarItem& it : items) {
        const QString key = QString::fromLatin1(it.key);
        const QString caption = QString::fromUtf8(it.caption);
        // The tooltip names the key too: "修改(M)".
        standard->append(bar->addItem(key, key, caption, it.style, QString(caption).remove(QLatin1Char('&'))));
    }
    bar->setRedraw(true);
    return bar;
}

void subFillManageGrid(ui::SpreadGrid* grid, const QVector<QStringList>& rows, const QVector<bool>& red) {
    subFillGrid(grid, rows);
    for (int r = 0; r < red.size(); ++r)
        if (red[r]) grid->setRowForeColor(r + 1, QColor(255, 0, 0));
}

} // namespace consign
