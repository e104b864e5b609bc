#include "consign/ManageUi.h"

#include "platform/ui/CommandBar.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/Grid.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QToolBar>

namespace consign {

ui::CommandBar* initCommandBar(QWidget* parent, const QString& name, const QList<PageItem>& pages,
                               ui::ImageList* images) {
    auto* bar = new ui::CommandBar(ui::CommandBar::Kind::ToolBar, name, parent);
    bar->setRedraw(false);
    ui::CommandMenu* standard = bar->addMenu(QStringLiteral("Standard"), QStringLiteral("工具栏"));
    standard->append(
        bar->addItem(QStringLiteral("Split1"), QString(), QString(), ui::ItemStyle::Separator, QString()));
    for (const PageItem& p : pages)
        standard->append(bar->addItem(p.key, p.key, p.caption, ui::ItemStyle::Check, p.caption));
    standard->append(
        bar->addItem(QStringLiteral("Split2"), QString(), QString(), ui::ItemStyle::Separator, QString()));
    bar->setImageList(images);
    bar->setActiveMenu(standard);
    bar->setRedraw(true);
    if (bar->toolBar()) bar->toolBar()->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return bar;
}

bool selectPage(ui::CommandBar* bar, QStackedWidget* frames, const QList<PageItem>& pages,
                const QString& key) {
    int page = -1;
    for (int i = 0; i < pages.size(); ++i)
        if (pages[i].key == key) page = i;
    if (page < 0) return false;
    for (int i = 0; i < pages.size(); ++i)
        bar->setItemChecked(pages[i].key, i == page);
    frames->setCurrentIndex(page);
    return true;
}

void CopyBoxes::build(QWidget* parent, QGridLayout* layout, int firstRow) {
    const struct {
        QLineEdit** box;
        const char* name;
        const char* caption;
    } boxes[] = {
        {&txtBookName, "txtBookName", "题名："}, {&txtPropno, "txtPropno", "财产号："},
        {&txtBarCode, "txtBarCode", "条码号："}, {&txtLocation, "txtLocation", "馆藏地："},
        {&txtState, "txtState", "书刊状态："},   {&txtCallno, "txtCallno", "索书号："},
        {&txtAuthor, "txtAuthor", "责任者："},   {&txtPubl, "txtPubl", "出版社："},
        {&txtPrice, "txtPrice", "价格："},       {&txtInDate, "txtInDate", "入藏日期："},
        {&txtAttach, "txtAttach", "附件："},
    };
    int i = 0;
    for (const auto& b : boxes) {
        *b.box = new QLineEdit(parent);
        (*b.box)->setObjectName(QString::fromLatin1(b.name));
        (*b.box)->setReadOnly(true);
        const int row = firstRow + i / 2, col = (i % 2) * 2;
        layout->addWidget(new QLabel(QString::fromUtf8(b.caption), parent), row, col);
        layout->addWidget(*b.box, row, col + 1);
        ++i;
    }
}

void CopyBoxes::show(const CopyDisplay& d) {
    txtPropno->setText(d.propNo);
    txtBarCode->setText(d.barCode);
    txtLocation->setText(d.location);
    txtState->setText(d.state);
    txtCallno->setText(d.callNo);
    txtBookName->setText(d.bookName);
    txtAuthor->setText(d.author);
    txtPubl->setText(d.publ);
    txtPrice->setText(d.price);
    txtInDate->setText(d.inDate);
    txtAttach->setText(d.attach);
}

void subFillCombo(QComboBox* combo, const Chooser& chooser) {
    const QSignalBlocker quiet(combo);
    combo->clear();
    combo->addItems(chooser.names);
    combo->setCurrentIndex(chooser.index);
}

ui::SpreadGrid* makeGrid(QWidget* parent, const QString& name, const QStringList& titles) {
    auto* grid = new ui::SpreadGrid(name, parent);
    grid->setOperationMode(1);
    grid->setMaxCols(int(titles.size()));
    for (int c = 0; c < titles.size(); ++c)
        grid->setText(c + 1, 0, titles[c]);
    grid->setMaxRows(0);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return grid;
}

void subFillGrid(ui::SpreadGrid* grid, const QVector<QStringList>& rows) {
    grid->setRedraw(false);
    grid->setMaxRows(0);
    grid->setMaxRows(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            grid->setText(c + 1, r + 1, rows[r][c]);
    grid->setRedraw(true);
}

void subAddOnTop(ui::SpreadGrid* grid, const QStringList& cells) {
    grid->setRedraw(false);
    grid->setMaxRows(grid->maxRows() + 1);
    if (grid->maxRows() > 1) grid->setRowBackColor(1, grid->palette().color(QPalette::Base));
    grid->insertRows(1);
    grid->setRowBackColor(1, QColor(192, 255, 255));
    for (int c = 0; c < cells.size(); ++c)
        grid->setText(c + 1, 1, cells[c]);
    grid->setRedraw(true);
}

// A caption and its control in a form row.
void labelled(QGridLayout* grid, int row, int col, const QString& caption, QWidget* w) {
    grid->addWidget(new QLabel(caption, w->parentWidget()), row, col);
    grid->addWidget(w, row, col + 1);
}

QComboBox* combo(QWidget* parent, const char* name) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    return c;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

ui::DatePicker* picker(QWidget* parent, const char* name) {
    auto* p = new ui::DatePicker(QString::fromLatin1(name), parent);
    p->setDate(QDate::currentDate());
    return p;
}

void makeOptions(QRadioButton* (&options)[3], QWidget* parent, QGridLayout* grid, int row,
                 const QStringList& captions) {
    for (int i = 0; i < 3; ++i) {
        options[i] = new QRadioButton(captions.value(i), parent);
        options[i]->setObjectName(QStringLiteral("optType%1").arg(i));
        grid->addWidget(options[i], row, i);
    }
    options[0]->setChecked(true);
}

QStringList foundTitles() {
    return {QStringLiteral("索书号"), QStringLiteral("馆藏地"),     QStringLiteral("财产号"),
            QStringLiteral("题名"),   QStringLiteral("委托馆藏地"), QStringLiteral("证件号"),
            QStringLiteral("姓名"),   QStringLiteral("到书日期"),   QStringLiteral("到书保留截止日期")};
}

} // namespace consign
