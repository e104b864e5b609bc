#pragma once
// The MARC column editor: two boxes for the CN and the US subfield subfield.
// Enter accepts when neither box is bad and one is good, else asks
// "Marc子字段格式错误!" (OK empties the box Enter was pressed in, Cancel
// closes); Esc, or the editor losing the focus, closes without acceptance.

#include <QDialog>

class QLineEdit;

class frmFlexPrtNode : public QDialog {
    Q_OBJECT
public:
    explicit frmFlexPrtNode(QWidget* parent = nullptr);

    QLineEdit* txtCN = nullptr;
    QLineEdit* txtUS = nullptr;

    // Enter in a box; true when the subfields were accepted.
    bool pressEnter(QLineEdit* box);
    bool accepted() const { return accepted_; }
    QString cn() const;
    QString us() const;

    // Places the editor by a cell (global pixels) and runs it through the
    // dialog service; true when a definition was accepted.
    bool ShowNote(const QPoint& cellTopLeft);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool accepted_ = false;
    bool asking_ = false;
};
