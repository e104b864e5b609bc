#include "consign/basEmailOption.h"

#include "common/basEnv.h"
#include "common/basFile.h"
#include "consign/basManage.h"
#include "shell/basLT4Add.h"
#include "shell/basShellIni.h"

#include "platform/text/AnsiFile.h"
#include "platform/text/CodePage.h"
#include "platform/text/FileSet.h"
#include "platform/text/IniFile.h"

#include <QDir>
#include <QFileInfo>

namespace consign {

namespace {

const QString kDefault = QStringLiteral("默认签名");

void errorBox(const QString& text) {
    subManageBox(text, true);
}

} // namespace

QString strMailFile(const QString& name) {
    return strResolvePath(varGetSysInfo(14).toString(), QStringLiteral("Lt/") + name);
}

QVector<SignatureRow> readSignatureFile(const QString& path) {
    QVector<SignatureRow> rows;
    QStringList lines;
    if (!QFileInfo::exists(path) || !text::readAnsiLines(path, &lines)) return rows;
    QString acc;
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1Char('['))) {
            acc.clear();
            SignatureRow r;
            r.isDefault = line.endsWith(QLatin1Char('*'));
            r.name = r.isDefault ? line.mid(1, line.size() - 3) : line.mid(1, line.size() - 2);
            rows << r;
        } else if (line == QLatin1String("*")) {
            if (!rows.isEmpty()) {
                if (acc.endsWith(QLatin1String("\r\n"))) acc.chop(2);
                rows.last().text = acc;
            }
        } else {
            acc += line + QStringLiteral("\r\n");
        }
    }
    return rows;
}

QString strSignatureFileText(const QVector<SignatureRow>& rows) {
    QString out;
    for (const SignatureRow& r : rows) {
        QString t = r.text;
        t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        t.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        out +=
            QLatin1Char('[') + r.name + (r.isDefault ? QStringLiteral("]*") : QStringLiteral("]")) + "\r\n";
        out += t + "\r\n*\r\n";
    }
    return out;
}

void EmailOption::subShowEmailOption() {
    rows.clear();
    activeRow = editedRow = -1;
    editText.clear();
    smtpAddress = g_strSmtpAddress;
    emailAddress = g_strEmailAddress;
    user = g_strSmtpUser;
    password = g_strSmtpPassword;
    smtpAuth = g_intSmtpAuth == 1;
    bak = g_intEmailBak == 1;
    {
        const text::FileLock lock(strEmailOptionLock());
        if (!lock.busy()) rows = readSignatureFile(strMailFile(QStringLiteral("LT4_Email_Name.ini")));
    }
    if (!rows.isEmpty()) spdName_Click(0);
    body = g_strEmailBody;
}

void EmailOption::spdName_Click(int row) {
    if (editedRow >= 0 && editedRow < rows.size()) rows[editedRow].text = editText.trimmed();
    if (row < 0 || row >= rows.size()) return;
    activeRow = row;
    editText = rows.at(row).text;
    editedRow = row;
}

void EmailOption::cmdNew() {
    if (activeRow >= 0 && activeRow < rows.size()) rows[activeRow].text = editText.trimmed();
    SignatureRow r;
    r.name = QStringLiteral("新增签名");
    r.isDefault = rows.isEmpty();
    rows << r;
    activeRow = editedRow = int(rows.size()) - 1;
    editText.clear();
}

void EmailOption::cmdDelete() {
    if (rows.isEmpty() || activeRow < 0) return;
    const bool wasDefault = rows.at(activeRow).isDefault;
    rows.remove(activeRow);
    if (activeRow >= rows.size()) activeRow = int(rows.size()) - 1;
    if (wasDefault && !rows.isEmpty()) rows[activeRow].isDefault = true;
    editedRow = -1;
    if (!rows.isEmpty())
        spdName_Click(activeRow);
    else
        editText.clear();
}

void EmailOption::cmdDefault() {
    if (rows.isEmpty() || activeRow < 0) return;
    for (SignatureRow& r : rows)
        r.isDefault = false;
    rows[activeRow].isDefault = true;
}

int EmailOption::cmdOk() {
    QVector<SignatureRow> out = rows;
    if (activeRow >= 0 && activeRow < out.size()) out[activeRow].text = editText.trimmed();
    for (const SignatureRow& r : out) {
        const QStringList lines =
            QString(r.text).replace(QLatin1String("\r\n"), QLatin1String("\n")).split('\n');
        for (const QString& line : lines) {
            if (line.startsWith(QLatin1Char('[')) || line == QLatin1String("*")) {
                errorBox(
                    QStringLiteral(
                        "签名“%1”中有以“[”开头的行或只有“*”的行，签名文件不能保存这样的行，请修改后再确定。")
                        .arg(r.name));
                return -1;
            }
        }
    }
    const QString signFile = strMailFile(QStringLiteral("LT4_Email_Name.ini"));
    const QString bodyFile = strMailFile(QStringLiteral("LT4_Email_Body.ini"));
    const QString bodyText = body.trimmed();
    QDir().mkpath(QFileInfo(signFile).absolutePath());
    const QString app = strProgramTitle(), section = QStringLiteral("EmailOption");
    const QString smtp = smtpAddress.trimmed(), from = emailAddress.trimmed(), name = user.trimmed(),
                  pass = password.trimmed();
    const short auth = smtpAuth ? 1 : 0, copy = bak ? 1 : 0;
    {
        // The two files and the settings are one save, under the options'
        // lock: both files or neither, and the files back as they were when
        // the settings cannot be written.
        const text::FileLock lock(strEmailOptionLock());
        if (!lock.locked()) {
            errorBox(QStringLiteral("不能写入文件：%1").arg(QDir::toNativeSeparators(signFile)));
            return -1;
        }
        const text::FileBackup oldSign(signFile), oldBody(bodyFile);
        QString failed;
        if (!text::saveFileSet(
                {{signFile, text::toGb18030(text::toCrlf(strSignatureFileText(out)))},
                 {bodyFile, text::toGb18030(text::toCrlf(bodyText + QStringLiteral("\r\n")))}},
                &failed)) {
            errorBox(QStringLiteral("不能写入文件：%1").arg(QDir::toNativeSeparators(failed)));
            return -1;
        }
        if (!text::saveSettings(app, section,
                                {{QStringLiteral("LT4_strSmtpAddress"), smtp},
                                 {QStringLiteral("LT4_strEmailAddress"), from},
                                 {QStringLiteral("LT4_strSmtp"), QString::number(auth)},
                                 {QStringLiteral("LT4_strUser"), name},
                                 {QStringLiteral("LT4_strPassWord"), pass},
                                 {QStringLiteral("LT4_strBak"), QString::number(copy)}})) {
            oldSign.restore();
            oldBody.restore();
            errorBox(QStringLiteral("不能保存邮件选项的设置：%1")
                         .arg(QDir::toNativeSeparators(text::settingsFile(app))));
            return -1;
        }
    }
    g_strSmtpAddress = smtp;
    g_strEmailAddress = from;
    g_intSmtpAuth = auth;
    g_strSmtpUser = name;
    g_strSmtpPassword = pass;
    g_intEmailBak = copy;
    // What was saved is what the notices use from now on, and what the
    // window shows when it opens again.
    rows = out;
    g_strEmailBody = bodyText;
    g_strEmailSign.clear();
    for (const SignatureRow& r : out) {
        if (r.isDefault) {
            g_strEmailSign = QString(r.text)
                                 .replace(QLatin1String("\r\n"), QLatin1String("\n"))
                                 .replace(QLatin1Char('\n'), QLatin1String("\r\n"));
            break;
        }
    }
    return 0;
}

} // namespace consign
