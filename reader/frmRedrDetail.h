#pragma once
// The desk's reader detail pop-up: the reader and card record of one card bar
// code (the desk passes the one it keeps in g_strRedrBarcode), with the
// reader's photo. Read-only; any key closes it.

#include "common/DBResultSet.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

// The card bar code the desk last opened the detail window on.
extern QString g_strRedrBarcode;

class frmRedrDetail : public QDialog {
    Q_OBJECT
public:
    explicit frmRedrDetail(QWidget* parent = nullptr);

    // Reads the record of the card strBarcode and fills the boxes: 0 done, -1
    // the query failed (reported).
    int Form_Load();
    // Loads the window on a card bar code, used as given, and shows it
    // modally through the dialog service; a window whose query failed is not
    // shown.
    static void showModal(QWidget* parent, const QString& barcode);

    QString strBarcode;
    DBResultSet m_varRedr;
    QLineEdit* txtRedrField[28] = {};
    QLineEdit* txtRedrCertField[8] = {};
    QLineEdit* txtSex = nullptr;
    QPlainTextEdit* txtRemark = nullptr; // the taller box of field 24
    QLabel* imgRedr = nullptr;

    // Double-click on a field box: the password box shows or masks its text.
    void txtRedrField_DblClick(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void subClearFields();
};
