#pragma once
// The button row at the foot of a dialog: the buttons pushed to the right end,
// in the order given.

#include <QString>
#include <initializer_list>

class QHBoxLayout;
class QPushButton;
class QWidget;

namespace ui {

// A row that keeps the buttons at its right end, in the order given.
QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons);

// Makes the dialog's default button "cmdOk" and its button "cmdCancel" with
// these captions (empty: set later), and returns the row holding them.
QHBoxLayout* okCancelRow(QWidget* dialog, QPushButton*& ok, QPushButton*& cancel,
                         const QString& okText = QStringLiteral("确认(&O)"),
                         const QString& cancelText = QStringLiteral("取消(&C)"));

} // namespace ui
