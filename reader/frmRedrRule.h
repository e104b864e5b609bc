#pragma once
// The desk's pop-up of the lending rule that applies to the current reader for
// a chosen reader type, location and circulation type.

#include "common/DBResultSet.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

class frmRedrRule : public QDialog {
    Q_OBJECT
public:
    explicit frmRedrRule(QWidget* parent = nullptr);

    // Fills the three lists and selects the reader's type and this desk's
    // location; no rule is shown yet.
    void Form_Load();
    static void showModal(QWidget* parent);
    // Reads the circulation rules and their mapping rows into the rule caches
    // again (the rules with the log-in's columns, the mapping rows with the
    // five the rule matching reads); 0, or -1 with the error shown and both
    // caches as they were.
    static int subLoadCircRule();

    // The rule of the chosen combination, or ELT119 and an empty display.
    void cmdSearch_Click();
    // Index of the rule in the rule cache for a location, a circulation type
    // and a reader type; -1 when no mapping row matches or the rule is missing.
    int intGetRuleIndex(const QString& location, const QString& circType, const QString& redrType) const;
    void subShowRule(const DBResultSet& rules, int row);

    QString strCertId;
    QComboBox* cmbRedrType = nullptr;
    QComboBox* cmbLocation = nullptr;
    QListWidget* lstBookType = nullptr;
    QPushButton* cmdSearch = nullptr;
    QPushButton* cmdExit = nullptr;
    QLineEdit* txtField[32] = {};
    QCheckBox* chkPreg = nullptr;
    QCheckBox* chkRenew = nullptr;

private:
    void subClearRule();
    QStringList m_redrTypeCodes, m_locationCodes, m_circTypeCodes;
};
