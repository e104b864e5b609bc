#include "common/basDB.h"
#include "common/basText.h"

#include "platform/ui/Fonts.h"
#include "platform/ui/Grid.h"
#include "platform/ui/Units.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPalette>
#include <QStyledItemDelegate>

QString g_strFontName = QStringLiteral("宋体");
QString g_strFontSize = QStringLiteral("9");
bool g_blnFontBold = false;

namespace {

// Editor of the search-text cell: at most as many characters as a search key holds.
class MaxLengthDelegate : public QStyledItemDelegate {
public:
    MaxLengthDelegate(int maxLength, QObject* parent)
        : QStyledItemDelegate(parent), maxLength_(maxLength)
    {
    }
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        QWidget* w = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* edit = qobject_cast<QLineEdit*>(w); edit && maxLength_ > 0)
            edit->setMaxLength(maxLength_);
        return w;
    }

private:
    int maxLength_;
};

} // namespace

void subSetFont(QWidget* control)
{
    bool ok = false;
    const double size = g_strFontSize.trimmed().toDouble(&ok);
    control->setFont(ui::makeFont(g_strFontName, ok ? size : 0, g_blnFontBold));
}

void subInitTextGrid(ui::FlexGrid* grid)
{
    subSetFont(grid);
    grid->setEditable(true);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid->setCols(2);
    grid->setRows(2);
    grid->setColHidden(0, true);
    grid->setRowHidden(0, true);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->setRowHeight(1, ui::units::pixelsToTwips(grid->height()));
    grid->setTextMatrix(1, 1, grid->textMatrix(1, 1));
    if (QTableWidgetItem* cell = grid->item(1, 1))
        cell->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
    grid->setRow(1);
    grid->setCol(1);
    QPalette pal = grid->palette();
    pal.setColor(QPalette::Highlight, pal.color(QPalette::Base));
    pal.setColor(QPalette::HighlightedText, pal.color(QPalette::Text));
    grid->setPalette(pal);
    grid->setFocusPolicy(Qt::StrongFocus);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setItemDelegate(new MaxLengthDelegate(g_intIdxContLen, grid));
    subSetFont(grid);
}
