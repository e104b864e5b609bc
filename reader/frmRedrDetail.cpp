#include "reader/frmRedrDetail.h"

#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basLTFunc.h"
#include "platform/ui/DialogService.h"

#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

QString g_strRedrBarcode;

namespace {

// Caption and box of each shown field, in reading order: index >= 0 a reader
// field, -1 - n the card field n, -100 the sex box.
struct Place {
    const char* caption;
    int box;
};
constexpr int kSex = -100;
constexpr int card(int n) { return -1 - n; }

const Place kPlaces[] = {
    {"条 码 号", card(0)}, {"姓    名", 4},       {"读者类型", 1},       {"证 件 号", 0},
    {"生    日", 6},       {"借阅等级", 2},       {"身份证号", 3},       {"性    别", kSex},
    {"文化程度", 19},      {"职    业", 8},       {"职    称", 9},       {"职    位", 10},
    {"单    位", 7},       {"电    话", 12},      {"邮    编", 13},      {"手 续 费", card(5)},
    {"押    金", 27},      {"住    址", 11},      {"密    码", 20},      {"经 手 人", card(7)},
    {"EMail", 14},         {"办证日期", card(2)}, {"生效日期", card(3)}, {"违章状态", 17},
    {"累计借书", 15},      {"失效日期", card(4)}, {"注销日期", 26},      {"欠款状态", 18},
    {"当年借书", 16},      {"注册日期", 25},      {"年 级 组", 21},      {"CODE2", 22},
};

const char* const kSelect =
    "SELECT reader.cert_id, reader_type.redr_type_name, lend_grd.remark, reader.id_card, reader.name, reader.sex, "
    "reader.birthday, reader.dept, reader.occupation, reader.duty, reader.position, reader.address, reader.tele, "
    "reader.postcode, reader.email, reader.total_lend_qty, reader.year_lend_qty, reader.volt_flag, "
    "reader.debt_flag, reader.education, reader.password, reader.code01, reader.code02, reader.code02, "
    "reader.remark, reader.redr_reg_day, reader.redr_del_day, reader.deposit, reader.redr_flag, "
    "reader_cert.redr_cert_id, reader_cert.cert_id, reader_cert.oper_date, reader_cert.bgn_date, "
    "reader_cert.end_date, reader_cert.charge, reader_cert.cert_flag, reader_cert.resp_wkr "
    "FROM reader, reader_cert, reader_type, lend_grd WHERE reader_cert.redr_cert_id = ";

} // namespace

frmRedrDetail::frmRedrDetail(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmRedrDetail"));
    setWindowTitle(QStringLiteral("读者详细信息"));
    setModal(true);

    auto makeBox = [this](const QString& name) {
        auto* box = new QLineEdit(this);
        box->setObjectName(name);
        box->setReadOnly(true);
        box->setMinimumWidth(120);
        box->installEventFilter(this);
        return box;
    };
    for (int i = 0; i < 28; ++i)
        txtRedrField[i] = makeBox(QStringLiteral("txtRedrField_%1").arg(i));
    for (int i = 0; i < 8; ++i)
        txtRedrCertField[i] = makeBox(QStringLiteral("txtRedrCertField_%1").arg(i));
    txtSex = makeBox(QStringLiteral("txtSex"));
    txtRedrField[20]->setEchoMode(QLineEdit::Password);
    txtRemark = new QPlainTextEdit(this);
    txtRemark->setObjectName(QStringLiteral("txtRedrField_24_text"));
    txtRemark->setReadOnly(true);
    txtRemark->setFixedHeight(60);
    txtRemark->installEventFilter(this);
    txtRedrField[24]->hide();
    // Filled but never shown.
    txtRedrField[5]->hide();
    txtRedrField[23]->hide();
    txtRedrCertField[1]->hide();
    txtRedrCertField[6]->hide();

    imgRedr = new QLabel(this);
    imgRedr->setObjectName(QStringLiteral("imgRedr"));
    imgRedr->setFixedSize(96, 120);
    imgRedr->setScaledContents(true);
    imgRedr->setFrameShape(QFrame::Box);

    auto* grid = new QGridLayout;
    int n = 0;
    for (const Place& p : kPlaces) {
        QLineEdit* box = p.box == kSex ? txtSex : p.box >= 0 ? txtRedrField[p.box] : txtRedrCertField[-1 - p.box];
        const int row = n / 4, col = (n % 4) * 2;
        grid->addWidget(new QLabel(QString::fromUtf8(p.caption), this), row, col, Qt::AlignRight);
        grid->addWidget(box, row, col + 1);
        ++n;
    }
    const int last = (n + 3) / 4;
    grid->addWidget(new QLabel(QStringLiteral("说    明"), this), last, 0, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(txtRemark, last, 1, 1, 7);
    auto* top = new QHBoxLayout(this);
    top->addLayout(grid, 1);
    auto* photo = new QVBoxLayout;
    photo->addWidget(imgRedr);
    photo->addStretch();
    top->addLayout(photo);
}

void frmRedrDetail::subClearFields()
{
    for (QLineEdit* box : txtRedrField)
        box->clear();
    for (QLineEdit* box : txtRedrCertField)
        box->clear();
    txtSex->clear();
    txtRemark->clear();
    imgRedr->clear();
}

int frmRedrDetail::Form_Load()
{
    subClearFields();
    g_strSQL = QString::fromLatin1(kSelect) + strSQLQuote(strBarcode)
             + QStringLiteral(" AND reader.cert_id = reader_cert.cert_id AND reader.redr_type_code = "
                              "reader_type.redr_type_code AND reader.lend_grd = lend_grd.lend_grd");
    g_intSQLRet = LIB_DB_Select(g_strSQL, m_varRedr);
    if (g_intSQLRet != 0) {
        intShowDBError();
        return -1;
    }
    if (m_varRedr.rowCount() < 1)
        return 0;
    for (int pos = 0; pos <= 27; ++pos) {
        const QString v = m_varRedr.text(0, pos);
        if (pos == 5)
            txtSex->setText(v == QLatin1String("M") ? QStringLiteral("男") : v == QLatin1String("F") ? QStringLiteral("女") : QString());
        else
            txtRedrField[pos]->setText(v);
    }
    txtRemark->setPlainText(txtRedrField[24]->text());
    for (int i = 0; i <= 6; ++i)
        txtRedrCertField[i]->setText(m_varRedr.text(0, 29 + i));
    txtRedrCertField[7]->setText(strWorkerName(m_varRedr.text(0, 36)));
    for (QLineEdit* box : txtRedrField)
        box->setCursorPosition(0);
    // Every value shows whole (an identity card number is 18 characters); the
    // password box keeps its width so the mask tells nothing of the length.
    auto fit = [](QLineEdit* box) {
        const int need = box->fontMetrics().horizontalAdvance(box->text()) + 16;
        if (need > box->minimumWidth())
            box->setMinimumWidth(need);
    };
    for (QLineEdit* box : txtRedrField)
        if (box != txtRedrField[20])
            fit(box);
    for (QLineEdit* box : txtRedrCertField)
        fit(box);
    fit(txtSex);
    intShowPortrait(m_varRedr.text(0, 0), imgRedr, QPixmap());
    return 0;
}

void frmRedrDetail::showModal(QWidget* parent, const QString& barcode)
{
    frmRedrDetail form(parent);
    form.strBarcode = barcode;
    if (form.Form_Load() != 0)
        return;
    ui::DialogService::current().execDialog(&form);
}

void frmRedrDetail::txtRedrField_DblClick(int index)
{
    if (index != 20)
        return;
    QLineEdit* box = txtRedrField[20];
    box->setEchoMode(box->echoMode() == QLineEdit::Password ? QLineEdit::Normal : QLineEdit::Password);
}

bool frmRedrDetail::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        reject();
        return true;
    }
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (int i = 0; i < 28; ++i) {
            if (watched == txtRedrField[i]) {
                txtRedrField_DblClick(i);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmRedrDetail::keyPressEvent(QKeyEvent* event)
{
    event->accept();
    reject();
}
