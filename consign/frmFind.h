#pragma once
// The find desk window (委托划到): the Find page scans copies taken from the
// shelf and hands the found ones over; the ApplyList page lists the waiting
// requests; the FindList page lists the found copies. The logic is FindDesk.

#include "consign/FindDesk.h"
#include "consign/ManageUi.h"

#include <QPointer>
#include <QWidget>

class QComboBox;
class QPushButton;
class QRadioButton;
namespace ui {
class DatePicker;
}

class frmFind : public QWidget {
    Q_OBJECT
public:
    explicit frmFind(QWidget* parent = nullptr);
    ~frmFind() override;

    // The window's one instance while it is open (nullptr otherwise).
    static frmFind* instance();

    // Chooses a page by the key of a bar item ("Find", "ApplyList", "FindList").
    void tbFind_ButtonClick(const QString& key);
    // The buttons of tbConnect ("Connect", "Print").
    void tbConnect_ButtonClick(const QString& key);

    consign::FindDesk& logic() { return m_find; }

    ui::CommandBar* tbFind = nullptr;
    ui::CommandBar* tbConnect = nullptr;
    QStackedWidget* fraBack = nullptr;
    QLineEdit* txtFindBook = nullptr;
    consign::CopyBoxes copy{};
    ui::SpreadGrid* spdFind = nullptr;
    ui::DatePicker *dtpApplyBegin = nullptr, *dtpApplyEnd = nullptr;
    QComboBox *cmbApplyTeam = nullptr, *cmbApplyTeamII = nullptr, *cmbApplyLocation = nullptr;
    QPushButton *cmdApplySearch = nullptr, *cmdApplyPrint = nullptr;
    ui::SpreadGrid* spdApplyList = nullptr;
    ui::DatePicker *dtpFindBegin = nullptr, *dtpFindEnd = nullptr;
    QComboBox *cmbFindTeam = nullptr, *cmbFindTeamII = nullptr;
    QRadioButton* optType[3] = {};
    QPushButton *cmdFindSearch = nullptr, *cmdFindPrint = nullptr, *cmdConnect = nullptr;
    ui::SpreadGrid* spdFindList = nullptr;

    void txtFindBook_Enter();
    void cmdApplySearch_Click();
    void cmdFindSearch_Click();

private:
    void buildFindPage(QWidget* page);
    void buildApplyPage(QWidget* page);
    void buildFindListPage(QWidget* page);
    void fillChoosers();
    void showApplyColumn();

    consign::FindDesk m_find;
    ui::ImageList* m_images;
    static QPointer<frmFind> s_instance;
};
