#pragma once
// The page set-up dialog of the report window: paper, orientation and the
// four margins (in millimetres on screen, kept in twips). OK refuses margins
// the paper cannot hold, with a message, and stays open.

#include "report/PageSettings.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QRadioButton;

namespace report {

class PageSetupDialog : public QDialog {
    Q_OBJECT
public:
    explicit PageSetupDialog(const PageSettings& settings, QWidget* parent = nullptr);

    // What the dialog shows now.
    PageSettings settings() const;
    void setSettings(const PageSettings& settings);

    // Accepts when the margins fit the paper; otherwise says so and stays.
    void cmdOK_Click();

    QComboBox* cboPaper = nullptr;
    QRadioButton* optPortrait = nullptr;
    QRadioButton* optLandscape = nullptr;
    QDoubleSpinBox* txtMargin[4] = {}; // left, right, top, bottom

private:
    PageSettings base_;
    double shown_[4] = {};
};

} // namespace report
