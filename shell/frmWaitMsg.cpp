#include "shell/frmWaitMsg.h"

#include "common/basAuth.h"
#include "platform/ui/Fonts.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

frmWaitMsg::frmWaitMsg(QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    setObjectName(QStringLiteral("frmWaitMsg"));
    setWindowTitle(QStringLiteral(" "));
    auto* layout = new QVBoxLayout(this);
    const char* texts[2] = {"strWaitMsg", "strwaitMsg"};
    for (int i = 0; i < 2; ++i) {
        lblMsg[i] = new QLabel(QString::fromLatin1(texts[i]), this);
        lblMsg[i]->setObjectName(QStringLiteral("lblMsg_%1").arg(i));
        lblMsg[i]->setFont(ui::makeFont(QStringLiteral("黑体"), 12));
        lblMsg[i]->setAlignment(Qt::AlignCenter);
        layout->addWidget(lblMsg[i]);
    }
    tmrBlink = new QTimer(this);
    tmrBlink->setInterval(1000);
    connect(tmrBlink, &QTimer::timeout, this, &frmWaitMsg::tmrBlink_Timer);

    // It takes no input; it stands in the middle of the screen.
    setEnabled(false);
    adjustSize();
    subCenterForm(this, false);
    tmrBlink->start();
    g_frmWaitMsg = this;
    QApplication::processEvents();
}

frmWaitMsg::~frmWaitMsg()
{
    if (g_frmWaitMsg == this)
        g_frmWaitMsg = nullptr;
}

void frmWaitMsg::tmrBlink_Timer()
{
    for (QLabel* label : lblMsg)
        label->setVisible(blnBlink);
    blnBlink = !blnBlink;
}
