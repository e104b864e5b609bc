#pragma once
// The request queue management window (委托申请管理): the titles with waiting
// requests at a chosen location and the queue of the chosen title. The
// actions are those of consign::ApplyManage.

#include "consign/basApplyManage.h"

#include <QWidget>

class QComboBox;
namespace ui {
class CommandBar;
class CommandItem;
class SpreadGrid;
} // namespace ui

class frmApplyManage : public QWidget {
    Q_OBJECT
public:
    explicit frmApplyManage(QWidget* parent = nullptr);
    ~frmApplyManage() override;
    // The one window, while it is open.
    static frmApplyManage* instance();

    // Handed to and from frmApplyEdit.
    QString m_strBeginDate, m_strKeepDay, m_strEndDate;

    ui::CommandBar* tbFindManage = nullptr;
    QComboBox* cmbLocation = nullptr;
    ui::SpreadGrid* spdBook = nullptr;
    ui::SpreadGrid* spdReader = nullptr;

    void cmbLocation_Click(int index);
    void spdBook_Click(int row);
    void spdReader_DblClick(int row);
    void tbFindManage_ButtonClick(const QString& key);

    consign::ApplyManage logic;

private:
    void fillBooks();
    void fillQueue();
};
