#pragma once
// The attachment dialog of a lending: shows the lending window's attachment
// text, lets the worker edit it and confirms it ("包含") or drops it ("不包含").
// Closing the dialog otherwise leaves the text as the lending window set it.

#include "desk/DeskLending.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class frmAttachment : public QDialog {
    Q_OBJECT
public:
    explicit frmAttachment(QWidget* parent = nullptr);

    // The lending window whose attachment text the dialog shows and sets;
    // set before the dialog is shown.
    desk::LendingWindow* m_frmLend = nullptr;

    QLabel* lblSubject = nullptr; // the copy and reader asked about; hidden when not given
    QLabel* lblTitle = nullptr;
    QLineEdit* txtAttachment = nullptr;
    QPushButton* cmdYes = nullptr;
    QPushButton* cmdNO = nullptr;

    // Shows the dialog modally over a lending window (through the dialog
    // service); `subject` names the copy and the reader it asks about.
    static void showFor(QWidget* parent, desk::LendingWindow& lending, const QString& subject = {});

protected:
    void showEvent(QShowEvent* event) override;

private:
    void cmdYes_Click();
    void cmdNO_Click();
};
