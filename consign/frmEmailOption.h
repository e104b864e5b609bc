#pragma once
// The mail options window (邮件选项): the SMTP server and the own mailbox, the
// signatures and the notice body. The rules are those of consign::EmailOption.

#include "consign/basEmailOption.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
namespace ui {
class SpreadGrid;
}

class frmEmailOption : public QDialog {
    Q_OBJECT
public:
    explicit frmEmailOption(QWidget* parent = nullptr);
    static frmEmailOption* instance();

    QTabWidget* stEmailOption = nullptr;
    QLineEdit* txtSmtpAddress = nullptr;
    QLineEdit* txtEmailAddress = nullptr;
    QCheckBox* chkSmtp = nullptr;
    QLineEdit* txtUser = nullptr;
    QLineEdit* txtPassword = nullptr;
    QCheckBox* chkBak = nullptr;
    ui::SpreadGrid* spdName = nullptr;
    QPlainTextEdit* txtName = nullptr;
    QPushButton* cmdNew = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdDefault = nullptr;
    QPlainTextEdit* txtBody = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

    void chkSmtp_Click();
    void cmdOk_Click();

    consign::EmailOption logic;

private:
    // Runs a grid rule of the logic with the editor's text, then shows the result.
    template <class F> void gridAction(F action);
    void fillGrid();
};
