#pragma once
// The return management window (委托回库): the Check page accepts returned
// copies home by bar code; ReturnList lists the copies to send home;
// CheckList lists the copies coming home by acceptance state. The logic is
// ReturnManage.

#include "consign/ManageUi.h"
#include "consign/ReturnManage.h"

#include <QPointer>
#include <QWidget>

class QComboBox;
class QPushButton;
class QRadioButton;
namespace ui {
class DatePicker;
}

class frmReturnManage : public QWidget {
    Q_OBJECT
public:
    explicit frmReturnManage(QWidget* parent = nullptr);
    ~frmReturnManage() override;

    static frmReturnManage* instance();

    // Chooses a page by the key of a bar item ("Check", "ReturnList", "CheckList").
    void tbReturnManage_ButtonClick(const QString& key);

    consign::ReturnManage& logic() { return m_home; }

    ui::CommandBar* tbReturnManage = nullptr;
    QStackedWidget* fraBack = nullptr;
    QLineEdit* txtCheckBook = nullptr;
    consign::CopyBoxes copy{};
    ui::SpreadGrid* spdCheck = nullptr;
    ui::DatePicker *dtpBegin = nullptr, *dtpEnd = nullptr;
    QPushButton *cmdCheck = nullptr, *cmdUnCheck = nullptr;
    QComboBox *cmbReturnTeam = nullptr, *cmbReturnLocation = nullptr;
    ui::DatePicker *dtpReturnBegin = nullptr, *dtpReturnEnd = nullptr;
    QPushButton *cmdReturnSearch = nullptr, *cmdReturnPrint = nullptr;
    ui::SpreadGrid* spdReturnList = nullptr;
    QRadioButton* optType[3] = {};
    QComboBox *cmbCheckTeam = nullptr, *cmbCheckLocation = nullptr;
    ui::DatePicker *dtpCheckBegin = nullptr, *dtpCheckEnd = nullptr;
    QPushButton *cmdCheckSearch = nullptr, *cmdCheckPrint = nullptr;
    ui::SpreadGrid* spdCheckList = nullptr;

    void txtCheckBook_Enter();
    void cmdReturnSearch_Click();
    void cmdCheckSearch_Click();

private:
    void buildCheckPage(QWidget* page);
    void buildReturnPage(QWidget* page);
    void buildCheckListPage(QWidget* page);
    void showLocationColumns();
    void syncCheckDates();

    consign::ReturnManage m_home;
    ui::ImageList* m_images;
    static QPointer<frmReturnManage> s_instance;
};
