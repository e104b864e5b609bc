#include "desk/frmFindList.h"

#include "common/basCodeFunc.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/Grid.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

frmFindList::frmFindList(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFindList"));
    setWindowTitle(QStringLiteral("委托到书列表"));
    setModal(true);
    setMinimumSize(600, 220);
    resize(860, 300);

    spdFindList = new ui::SpreadGrid(QStringLiteral("spdFindList"), this);
    spdFindList->setOperationMode(1);
    spdFindList->setMaxCols(8);
    const char* const titles[] = {"索书号", "财产号", "馆藏地", "到书日期", "到书保留截止日期", "题名", "责任者", "出版社"};
    for (int c = 0; c < 8; ++c)
        spdFindList->setText(c + 1, 0, QString::fromUtf8(titles[c]));
    spdFindList->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    cmdOK = new QPushButton(QStringLiteral("确定(&O)"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    auto* box = new QVBoxLayout(this);
    box->addWidget(spdFindList);
    box->addLayout(buttons);
}

void frmFindList::fill(const QVector<desk::ArrivedRow>& rows)
{
    spdFindList->setRedraw(false);
    spdFindList->setMaxRows(0);
    spdFindList->setMaxRows(int(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        const desk::ArrivedRow& a = rows[i];
        const QString cells[] = {a.callNo, a.propNo, strLocationName(a.relegateLocation), a.arriDate,
                                 a.keepEndDate, a.title, a.author, a.publisher};
        for (int c = 0; c < 8; ++c)
            spdFindList->setText(c + 1, i + 1, cells[c]);
    }
    spdFindList->setRedraw(true);
}

void frmFindList::showList(QWidget* parent, const QVector<desk::ArrivedRow>& rows)
{
    frmFindList dialog(parent);
    dialog.fill(rows);
    ui::DialogService::current().execDialog(&dialog);
}
