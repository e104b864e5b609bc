#include "platform/ui/ButtonRow.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace ui {

QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* b : buttons)
        row->addWidget(b);
    return row;
}

QHBoxLayout* okCancelRow(QWidget* dialog, QPushButton*& ok, QPushButton*& cancel, const QString& okText,
                         const QString& cancelText) {
    ok = new QPushButton(okText, dialog);
    ok->setObjectName(QStringLiteral("cmdOk"));
    ok->setDefault(true);
    cancel = new QPushButton(cancelText, dialog);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    return buttonRow({ok, cancel});
}

} // namespace ui
