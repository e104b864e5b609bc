#pragma once
// The arrival-notice window (委托到书通知邮件): a range of notice dates for the
// found copies of one location, and the sending (consign::intSendNotices).

#include <QDialog>

class QDateEdit;
class QPushButton;

class frmEmail : public QDialog {
    Q_OBJECT
public:
    explicit frmEmail(QWidget* parent = nullptr);

    QString m_strLocation; // set by the caller before showing

    QDateEdit* dtpBeginDate = nullptr;
    QDateEdit* dtpEndDate = nullptr;
    QPushButton* cmdSend = nullptr;
    QPushButton* cmdCancel = nullptr;

    void cmdSend_Click();
};
