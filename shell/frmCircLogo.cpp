#include "shell/frmCircLogo.h"

#include "common/basAuth.h"
#include "common/basEnv.h"
#include "common/basMsg.h"
#include "shell/ShellServices.h"
#include "shell/basMain.h"
#include "shell/basVersion.h"
#include "shell/frmMain.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace {

constexpr int kWidth = 520;
constexpr int kHeight = 330;
const QColor kLinkColour(27, 164, 24);

QPixmap splashPicture()
{
    QPixmap pm(kWidth, kHeight);
    QPainter p(&pm);
    QLinearGradient top(0, 0, 0, 118);
    top.setColorAt(0, QColor(22, 64, 128));
    top.setColorAt(1, QColor(40, 100, 170));
    p.fillRect(0, 0, kWidth, 118, top);
    QLinearGradient mid(0, 118, 0, kHeight - 30);
    mid.setColorAt(0, QColor(236, 243, 250));
    mid.setColorAt(1, QColor(214, 228, 242));
    p.fillRect(0, 118, kWidth, kHeight - 148, mid);
    p.fillRect(0, kHeight - 30, kWidth, 30, QColor(22, 64, 128));
    p.setPen(Qt::white);
    QFont big = QApplication::font();
    big.setPointSize(26);
    big.setBold(true);
    p.setFont(big);
    p.drawText(QRect(28, 18, kWidth - 56, 50), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Qorlan 3.5"));
    QFont sub = QApplication::font();
    sub.setPointSize(16);
    p.setFont(sub);
    p.drawText(QRect(30, 68, kWidth - 60, 36), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("流通委托"));
    p.setPen(QColor(120, 150, 190));
    p.drawLine(0, 118, kWidth, 118);
    return pm;
}

} // namespace

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setCursor(Qt::PointingHandCursor);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, kLinkColour);
    setPalette(pal);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (isEnabled() && rect().contains(event->position().toPoint()))
        emit clicked();
}

frmCircLogo* frmCircLogo::create(QWidget* owner)
{
    return new frmCircLogo(owner);
}

frmCircLogo::frmCircLogo(QWidget* owner) : QDialog(owner, Qt::FramelessWindowHint | Qt::Dialog)
{
    setObjectName(QStringLiteral("frmCircLogo"));
    setWindowTitle(QStringLiteral("Qorlan3.5登录 - 流通委托"));
    buildControls();
    setFixedSize(kWidth, kHeight);
    subCenterForm(this, false);
    m_blnBusy = false;
    subSetLogoMode(QString());
}

frmCircLogo::~frmCircLogo() = default;

void frmCircLogo::buildControls()
{
    imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(splashPicture());
    imgLogo->setGeometry(0, 0, kWidth, kHeight);

    auto* shpBorder = new QFrame(this);
    shpBorder->setObjectName(QStringLiteral("shpBorder"));
    shpBorder->setFrameShape(QFrame::Box);
    shpBorder->setGeometry(0, 0, kWidth, kHeight);
    shpBorder->setAttribute(Qt::WA_TransparentForMouseEvents);

    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    QPalette white = lblStatus->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    lblStatus->setPalette(white);
    lblStatus->setGeometry(12, kHeight - 26, kWidth - 24, 22);

    auto label = [this](const char* name, const QString& text, int x, int y, int w) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(x, y, w, 26);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };
    auto edit = [this](const char* name, int x, int y) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setEchoMode(QLineEdit::Password);
        e->setGeometry(x, y, 170, 26);
        return e;
    };

    lblUser = label("lblUser", QStringLiteral("名称："), 110, 150, 90);
    cboUser = new QComboBox(this);
    cboUser->setObjectName(QStringLiteral("cboUser"));
    cboUser->setEditable(true);
    cboUser->setInsertPolicy(QComboBox::NoInsert);
    cboUser->setGeometry(205, 150, 170, 26);
    cboUser->lineEdit()->installEventFilter(this);

    lblPwd = label("lblPwd", QStringLiteral("口令："), 110, 186, 90);
    txtPwd = edit("txtPwd", 205, 186);
    txtPwd->installEventFilter(this);

    cmdLogin = new QPushButton(QStringLiteral("登录"), this);
    cmdLogin->setObjectName(QStringLiteral("cmdLogin"));
    cmdLogin->setGeometry(205, 226, 80, 30);
    cmdLogin->setAutoDefault(false);

    lblUpdate = new LinkLabel(QStringLiteral("修改密码[F1]"), this);
    lblUpdate->setObjectName(QStringLiteral("lblUpdate"));
    lblUpdate->setGeometry(298, 230, 110, 22);

    lblExit = new LinkLabel(QStringLiteral("退出"), this);
    lblExit->setObjectName(QStringLiteral("lblExit"));
    lblExit->setGeometry(kWidth - 70, 8, 60, 22);
    lblExit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    lblNewPwd = label("lblNewPwd", QStringLiteral("新口令："), 100, 150, 100);
    txtNewPwd = edit("txtNewPwd", 205, 150);
    lblPwdConfirm = label("lblPwdConfirm", QStringLiteral("确认口令："), 100, 186, 100);
    txtPwdConfirm = edit("txtPwdConfirm", 205, 186);

    cmdSave = new QPushButton(QStringLiteral("确定"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdSave->setGeometry(205, 226, 80, 30);
    cmdSave->setAutoDefault(false);
    cmdCancel = new QPushButton(QStringLiteral("取消"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(295, 226, 80, 30);
    cmdCancel->setAutoDefault(false);

    const QStringList aboutCaptions = {QStringLiteral("授权用户："), QStringLiteral("模块名称："),
                                       QStringLiteral("版本信息：")};
    for (int i = 0; i < aboutCaptions.size(); ++i) {
        auto* l = label("lblAbout", aboutCaptions[i], 80, 138 + 30 * i, 100);
        lblAbout.append(l);
    }
    auto value = [this](const char* name, int y) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(185, y, kWidth - 205, 26);
        return l;
    };
    lblLib = value("lblLib", 138);
    lblModule = value("lblModule", 168);
    lblVersion = value("lblVersion", 198);
    lblViewLicense = new LinkLabel(QStringLiteral("查看最终用户许可协议"), this);
    lblViewLicense->setObjectName(QStringLiteral("lblViewLicense"));
    lblViewLicense->setGeometry(100, 244, 170, 22);
    lblViewUpdate = new LinkLabel(QStringLiteral("查看最新更新"), this);
    lblViewUpdate->setObjectName(QStringLiteral("lblViewUpdate"));
    lblViewUpdate->setGeometry(290, 244, 120, 22);

    connect(cmdLogin, &QPushButton::clicked, this, &frmCircLogo::cmdLogin_Click);
    connect(lblUpdate, &LinkLabel::clicked, this, &frmCircLogo::lblUpdate_Click);
    connect(lblExit, &LinkLabel::clicked, this, &frmCircLogo::lblExit_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmCircLogo::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmCircLogo::cmdCancel_Click);
    connect(lblViewLicense, &LinkLabel::clicked, this, &frmCircLogo::lblViewLicense_Click);
    connect(lblViewUpdate, &LinkLabel::clicked, this, &frmCircLogo::lblViewUpdate_Click);
    connect(txtPwd, &QLineEdit::textChanged, this, [this] { cmdLogin->setDefault(true); });
    connect(txtPwdConfirm, &QLineEdit::textChanged, this, [this] { cmdSave->setDefault(true); });

    // The window sees every key before its controls do (F1).
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
}

QString frmCircLogo::strVersionText(int major, int minor, int revision)
{
    return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(revision, 4, 10, QLatin1Char('0'));
}

void frmCircLogo::subSetLogoMode(const QString& mode)
{
    m_strMode = mode;
    const bool login = mode == QStringLiteral("登录");
    const bool change = mode == QStringLiteral("修改密码");
    const bool about = mode == QStringLiteral("关于");

    txtNewPwd->clear();
    txtPwdConfirm->clear();

    lblUpdate->setVisible(login);
    lblExit->setVisible(login || about);
    lblExit->setText(about ? QStringLiteral("关闭") : QStringLiteral("退出"));
    for (QWidget* w : {static_cast<QWidget*>(lblUser), static_cast<QWidget*>(lblPwd), static_cast<QWidget*>(cboUser),
                       static_cast<QWidget*>(txtPwd), static_cast<QWidget*>(cmdLogin)})
        w->setVisible(login);
    for (QWidget* w : {static_cast<QWidget*>(lblNewPwd), static_cast<QWidget*>(lblPwdConfirm),
                       static_cast<QWidget*>(txtNewPwd), static_cast<QWidget*>(txtPwdConfirm),
                       static_cast<QWidget*>(cmdSave), static_cast<QWidget*>(cmdCancel)})
        w->setVisible(change);
    for (QLabel* l : lblAbout)
        l->setVisible(about);
    for (QWidget* w : {static_cast<QWidget*>(lblLib), static_cast<QWidget*>(lblModule),
                       static_cast<QWidget*>(lblVersion), static_cast<QWidget*>(lblViewLicense),
                       static_cast<QWidget*>(lblViewUpdate)})
        w->setVisible(about);
    m_blnCloseOnLostFocus = about;

    if (about) {
        lblModule->setText(QStringLiteral("流通委托"));
        lblVersion->setText(strVersionText(kVersionMajor, kVersionMinor, kVersionRevision));
        lblLib->setText(varGetSysPara(1).toString());
        lblViewLicense->setEnabled(shell::Services::tools().provides(shell::ToolsService::CommonView));
        lblViewUpdate->setEnabled(shell::Services::infoCenter().provides(shell::InfoCenterService::LastUpdating));
    }
    if (login) {
        cmdLogin->setDefault(true);
        if (cboUser->currentText().isEmpty())
            cboUser->setFocus();
        else
            txtPwd->setFocus();
    }
    if (change) {
        cmdSave->setDefault(true);
        txtNewPwd->setFocus();
    }
}

void frmCircLogo::subShowStatus(const QString& text)
{
    lblStatus->setText(text);
    lblStatus->repaint();
}

bool frmCircLogo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtPwd && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, txtPwd, [edit = txtPwd] { edit->selectAll(); });
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_F1) {
        onF1();
        return true;
    }
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == cboUser->lineEdit()) {
        if (enter) {
            if (!cboUser->currentText().isEmpty())
                txtPwd->setFocus();
            return true;
        }
        const QString t = key->text();
        if (t.isEmpty() || key->key() == Qt::Key_Backspace || t == QLatin1String("."))
            return false;
        if (!t.at(0).isPrint())
            return false;
        QLineEdit* le = cboUser->lineEdit();
        return le->text().trimmed().size() >= 4 && !le->hasSelectedText();
    }
    if (watched == txtPwd && enter) {
        cmdLogin_Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmCircLogo::keyPressEvent(QKeyEvent* event)
{
    // Escape does not close the window: only the exit link does.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_F1) {
        event->accept();
        onF1();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmCircLogo::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && m_blnCloseOnLostFocus && !isActiveWindow() && isVisible())
        unloadWindow();
}

void frmCircLogo::unloadWindow()
{
    m_blnCloseOnLostFocus = false;
    if (result() != QDialog::Accepted)
        setResult(QDialog::Rejected);
    done(result());
    deleteLater();
}

void frmCircLogo::applyFocus(int focus)
{
    switch (static_cast<LoginFocus>(focus)) {
    case LoginFocus::User:
        cboUser->setFocus();
        break;
    case LoginFocus::Password:
        txtPwd->setFocus();
        txtPwd->selectAll();
        break;
    case LoginFocus::None:
        break;
    }
}

void frmCircLogo::cmdLogin_Click()
{
    if (m_blnBusy)
        return;
    m_blnBusy = true;
    QPointer<frmCircLogo> self(this);
    QApplication::processEvents();
    if (!self)
        return;

    setCursor(Qt::WaitCursor);
    LoginFocus focus = LoginFocus::None;
    const LoginOutcome outcome =
        intLoginAction(cboUser->currentText(), txtPwd->text(), m_bReLogin,
                       [this](const QString& text) { subShowStatus(text); }, &focus);
    if (outcome == LoginOutcome::Refused) {
        m_blnBusy = false;
        subShowStatus(QStringLiteral("用户登录"));
        unsetCursor();
        applyFocus(int(focus));
        return;
    }
    if (outcome == LoginOutcome::ExitProgram) {
        unsetCursor();
        subEndProgram();
        return;
    }
    if (!m_bReLogin) {
        subShowStatus(QStringLiteral("初始化主窗体..."));
        frmMain* main = frmMain::load();
        unsetCursor();
        if (!main) {
            // The failure has been shown; a half-loaded main window is of no use.
            subEndProgram();
            return;
        }
        // The frame takes the screen: the desk windows inside it are large.
        subShowFillingScreen(main);
    } else {
        unsetCursor();
    }
    setResult(QDialog::Accepted);
    unloadWindow();
}

void frmCircLogo::onF1()
{
    if (m_strMode == QStringLiteral("登录"))
        lblUpdate_Click();
}

void frmCircLogo::lblUpdate_Click()
{
    if (m_blnBusy)
        return;
    LoginFocus focus = LoginFocus::None;
    if (intCheckPasswordChange(cboUser->currentText(), txtPwd->text(), &focus) == 0)
        subSetLogoMode(QStringLiteral("修改密码"));
    else
        applyFocus(int(focus));
}

void frmCircLogo::lblExit_Click()
{
    if (m_strMode == QStringLiteral("关于")) {
        unloadWindow();
        return;
    }
    if (m_blnBusy)
        return;
    if (intShowMsg(QStringLiteral("QCM501")) == 2)
        return;
    const bool reLogin = m_bReLogin;
    unloadWindow();
    if (!reLogin)
        subEndProgram();
}

void frmCircLogo::cmdSave_Click()
{
    if (!blnSaveNewPassword(cboUser->currentText(), txtNewPwd->text(), txtPwdConfirm->text()))
        return;
    txtPwd->setText(txtNewPwd->text().trimmed());
    subSetLogoMode(QStringLiteral("登录"));
}

void frmCircLogo::cmdCancel_Click()
{
    subSetLogoMode(QStringLiteral("登录"));
}

void frmCircLogo::lblViewLicense_Click()
{
    m_blnCloseOnLostFocus = false;
    shell::Services::tools().showCommonView(this, QString());
    m_blnCloseOnLostFocus = true;
}

void frmCircLogo::lblViewUpdate_Click()
{
    m_blnCloseOnLostFocus = false;
    shell::Services::infoCenter().showLastUpdating(this, QStringLiteral("qn.qorlan.lt4"),
                                                   g_strPath[0] + QStringLiteral("Update/流通委托"));
    m_blnCloseOnLostFocus = true;
}
