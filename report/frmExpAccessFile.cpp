#include "report/frmExpAccessFile.h"

#include "common/basEnv.h"
#include "common/basMsg.h"
#include "report/ExportFieldChooser.h"
#include "report/SaveFileDialog.h"

#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace report;

frmExpAccessFile::frmExpAccessFile(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmExpAccessFile"));
    setWindowTitle(QStringLiteral("保存到"));
    optFile0 = new QRadioButton(QStringLiteral("新建Access文件"), this);
    optFile0->setObjectName(QStringLiteral("optFile_0"));
    optFile0->setToolTip(QStringLiteral("SQLite数据库文件"));
    optFile0->setChecked(true);
    optFile1 = new QRadioButton(QStringLiteral("现存Access文件"), this);
    optFile1->setObjectName(QStringLiteral("optFile_1"));
    optFile1->setToolTip(QStringLiteral("SQLite数据库文件"));
    cmdOK = new QPushButton(QStringLiteral("确定(&O)"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* lay = new QHBoxLayout(this);
    options_ = new QVBoxLayout;
    options_->addWidget(optFile0);
    options_->addWidget(optFile1);
    lay->addLayout(options_);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addStretch();
    lay->addLayout(buttons);
}

bool frmExpAccessFile::chooseDatabase() {
    const QString path =
        chooseSaveFile(this, QStringLiteral("保存结果集"), QStringLiteral("SQLite数据库文件 (*.sqlite)"),
                       QStringLiteral("sqlite"), varGetSysInfo(13).toString());
    if (path.isEmpty()) return false;
    QString error;
    const bool fresh = optFile0->isChecked();
    if (fresh && QFile::exists(path)) {
        error = QStringLiteral("文件已经存在：%1").arg(path);
    } else {
        SqliteFile file;
        if (file.open(path, &error)) {
            file.close();
            if (!QFile::exists(path)) {
                QFile empty(path); // an empty file is an empty database
                if (!empty.open(QIODevice::WriteOnly)) error = empty.errorString();
            }
        } else if (fresh) {
            QFile::remove(path);
        }
    }
    if (!error.isEmpty()) {
        LIB_WriteLogFile(QStringLiteral("保存结果集"), error);
        intShowMsg(QStringLiteral("E") + error);
        reject();
        return false;
    }
    g_strExpFile = path;
    accept();
    return true;
}

bool frmExpAccessFile::cmdOK_Click() {
    return chooseDatabase();
}

frmExp2File::frmExp2File(QWidget* parent) : frmExpAccessFile(parent) {
    setObjectName(QStringLiteral("frmExp2File"));
    optFile2 = new QRadioButton(QStringLiteral("文本文件"), this);
    optFile2->setObjectName(QStringLiteral("optFile_2"));
    options_->addWidget(optFile2);
}

bool frmExp2File::cmdOK_Click() {
    if (!optFile2->isChecked()) return chooseDatabase();
    const QString path =
        chooseSaveFile(this, QStringLiteral("保存结果集到文本文件"), QStringLiteral("文本文件 (*.txt)"),
                       QStringLiteral("txt"), varGetSysInfo(13).toString(), false);
    if (path.trimmed().isEmpty()) return false;
    if (QFile::exists(path) && intShowMsg(QStringLiteral("WCF011")) != 1) return false;
    g_strExpFile = path;
    accept();
    return true;
}
