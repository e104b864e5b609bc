#pragma once
// The found-copy management window (委托划到管理): the found copies of a
// chosen location that wait for their readers. The actions are those of
// consign::FindManage; "Email" opens the notices for the location.

#include "consign/basFindManage.h"

#include <QWidget>

#include <functional>

class QComboBox;
namespace ui {
class CommandBar;
class CommandItem;
class SpreadGrid;
} // namespace ui

class frmFindManage : public QWidget {
    Q_OBJECT
public:
    explicit frmFindManage(QWidget* parent = nullptr);
    ~frmFindManage() override;
    static frmFindManage* instance();

    // Handed to and from frmFindEdit.
    QString m_strBeginDate, m_strKeepDay, m_strEndDate;

    ui::CommandBar* tbFindManage = nullptr;
    QComboBox* cmbLocation = nullptr;
    ui::SpreadGrid* spdBook = nullptr;

    void cmbLocation_Click(int index);
    void spdBook_DblClick(int row);
    void tbFindManage_ButtonClick(const QString& key);

    consign::FindManage logic;

private:
    void fillGrid();
};
