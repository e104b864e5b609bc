#include "report/frmFlexPrtNode.h"

#include "common/basMsg.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/Units.h"
#include "report/ColumnSetup.h"

#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

frmFlexPrtNode::frmFlexPrtNode(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmFlexPrtNode"));
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("frmCnt"));
    frame->setFrameShape(QFrame::Box);
    auto* grid = new QGridLayout(frame);
    auto* prompt = new QLabel(QStringLiteral("在此输入Marc子字段名："), frame);
    prompt->setObjectName(QStringLiteral("lbl_1"));
    grid->addWidget(prompt, 0, 0, 1, 2);
    const auto row = [&](int r, const QString& name, const QString& caption) {
        auto* l = new QLabel(caption, frame);
        l->setObjectName(name);
        auto* box = new QLineEdit(frame);
        box->setMaxLength(4);
        box->installEventFilter(this);
        grid->addWidget(l, r, 0);
        grid->addWidget(box, r, 1);
        return box;
    };
    txtCN = row(1, QStringLiteral("lbl_0"), QStringLiteral("CN_Marc："));
    txtCN->setObjectName(QStringLiteral("txtCN"));
    txtUS = row(2, QStringLiteral("lbl_2"), QStringLiteral("US_Marc："));
    txtUS->setObjectName(QStringLiteral("txtUS"));
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(frame);
    txtCN->setFocus();
}

QString frmFlexPrtNode::cn() const {
    return txtCN->text();
}
QString frmFlexPrtNode::us() const {
    return txtUS->text();
}

bool frmFlexPrtNode::pressEnter(QLineEdit* box) {
    const int sum =
        report::intCheckSubfield(txtCN->text().trimmed()) + report::intCheckSubfield(txtUS->text().trimmed());
    // Each box counts 1 valid, 0 empty, -1 bad: a sum above 0 has no bad box.
    if (sum > 0) {
        accepted_ = true;
        accept();
        return true;
    }
    ui::BoxRequest req;
    req.icon = ui::BoxIcon::Error;
    req.buttons = ui::BoxButtons::OkCancel;
    req.title = varGetSysPara(1).toString();
    req.text = QStringLiteral("Marc子字段格式错误!");
    req.beep = true;
    // The box takes the focus for a moment: that is no leaving of the editor.
    asking_ = true;
    const ui::BoxAnswer answer = ui::DialogService::current().showBox(req);
    asking_ = false;
    if (answer == ui::BoxAnswer::Ok) {
        box->clear();
        box->setFocus();
    } else {
        reject();
    }
    return false;
}

bool frmFlexPrtNode::ShowNote(const QPoint& cellTopLeft) {
    move(cellTopLeft + QPoint(ui::units::twipsToPixels(200), ui::units::twipsToPixels(400)));
    ui::DialogService::current().execDialog(this);
    return accepted_;
}

bool frmFlexPrtNode::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == txtCN || watched == txtUS)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            pressEnter(static_cast<QLineEdit*>(watched));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmFlexPrtNode::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow() && !accepted_ &&
        !asking_)
        reject();
}
