#pragma once
// The desk's pop-up of the current reader's type: its name, attributes and
// limits. Read-only; any key closes it.

#include <QDialog>

class QLineEdit;

class frmRedrAuth : public QDialog {
    Q_OBJECT
public:
    explicit frmRedrAuth(QWidget* parent = nullptr);

    // Reads the reader type of g_strCertID and fills the boxes.
    void Form_Load();
    static void showModal(QWidget* parent);

    QString strCertId;
    QLineEdit* txtRedrTypeName = nullptr;
    QLineEdit* txtRedrAttr1 = nullptr;
    QLineEdit* txtRedrAttr2 = nullptr;
    QLineEdit* txtRedrAttr3 = nullptr;
    QLineEdit* txtMaxLendQty = nullptr;
    QLineEdit* txtMaxDebtAmt = nullptr;
    QLineEdit* txtMaxPregQty = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
