#pragma once
// The reader's consignment copies that have arrived and wait for collection,
// shown when the reader loads.

#include "desk/ConsignDesk.h"

#include <QDialog>

class QPushButton;
namespace ui { class SpreadGrid; }

class frmFindList : public QDialog {
    Q_OBJECT
public:
    explicit frmFindList(QWidget* parent = nullptr);

    ui::SpreadGrid* spdFindList = nullptr;
    QPushButton* cmdOK = nullptr;

    void fill(const QVector<desk::ArrivedRow>& rows);

    // Fills a dialog and shows it modally through the dialog service.
    static void showList(QWidget* parent, const QVector<desk::ArrivedRow>& rows);
};
