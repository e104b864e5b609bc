#include "common/basRuleEdit.h"

#include "common/basAuth.h"
#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basEnv.h"
#include "common/basFile.h"
#include "common/basMsg.h"

#include "platform/oradb/SqlText.h"
#include "platform/text/AnsiFile.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

const char* const kCaptions[kRuleBoxes] = {
    "借阅规则代码：", "借阅规则名称：", "", "正常借期：", "限借册数：", "本地最大册数：", "", "",
    "最大续借次数：", "到期前续借天数：", "首次续借时间：", "附加续借时间：", "预约(委托)到书保留天数：",
    "最小使用天数：", "到期前免催天数： ", "催还后使用天数：", "允许过期次数：", "首次催还时间：",
    "二次催还时间：", "三次催还时间：", "免罚宽限期：", "首次罚款天数：", "首次罚款单价：", "其他罚款单价：",
    "技术处理费：", "人工服务费：", "", "", "", "", "保留本数："};

const QString kColon = QStringLiteral("：");

bool allDigits(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

QString dropLeadingZeros(const QString& digits)
{
    qsizetype i = 0;
    while (i + 1 < digits.size() && digits.at(i) == QLatin1Char('0'))
        ++i;
    return digits.mid(i);
}

// Runs one of the editor's SELECTs; a failure is shown.
bool select(const QString& sql, DBResultSet& rs, bool* unload)
{
    if (unload)
        *unload = false;
    g_strSQL = sql;
    g_intSQLRet = LIB_DB_Select(g_strSQL, rs);
    if (g_intSQLRet < 0) {
        const int shown = intShowDBError();
        if (unload)
            *unload = shown != 0;
        return false;
    }
    return true;
}

bool anyRow(const QString& sql, bool* unload)
{
    DBResultSet rs;
    return select(sql, rs, unload) && rs.rowCount() > 0;
}

QString ruleRowSQL(const QString& ruleNo)
{
    return QStringLiteral("SELECT rule_no, rule_name, time_unit, norm_term, limt_lend_qty, max_lend_qty, perg_ysno, "
                          "renew_ysno, max_renew_times, renew_bef_exp_days, fst_renew_days, add_renew_days, "
                          "preg_keep_days, min_use_days, use_bef_exp_days, use_aft_asback_days, max_excd_times, "
                          "fst_notice, snd_notice, thd_notice, unfine_ext_days, fst_fine_days, fst_fine_price, "
                          "other_fine_price, tech_fee, serv_fee, fst_notice_no, snd_notice_no, thd_notice_no, "
                          "preg_notice_no, keep_book_qty, renew_calc_flag, rule_flag, reg_day, upt_day, resp_wkr "
                          "FROM CIRC_RULE WHERE circ_rule.rule_no = ")
           + strSQLQuote(ruleNo) + QStringLiteral(" ORDER BY rule_no");
}

// Text of a loaded number: whole numbers without a point.
QString numberText(const QVariant& v)
{
    if (v.typeId() == QMetaType::Double)
        return strPlainNumber(v.toDouble());
    return v.toString();
}

QString checkValue(int state)
{
    return state == 1 ? QStringLiteral("'1'") : QStringLiteral("'0'");
}

// Every column of a rule row as text; empty when there is no row.
QStringList rowTexts(const DBResultSet& rs)
{
    QStringList row;
    if (rs.rowCount() < 1)
        return row;
    for (int c = 0; c < rs.fieldCount(); ++c)
        row << rs.text(0, c);
    return row;
}

const QString kRuleChanged = QStringLiteral(
    "E该借阅规则已被其他工作站修改，本次修改没有保存！\n窗口已重新读出该规则，请重新修改后再保存。");
const QString kRuleGone = QStringLiteral("E该借阅规则已被其他工作站删除，本次修改没有保存！");

// Takes the transaction's lock on a rule code: a save of a rule that had no
// row yet waits here for another desk's save of the same code.
bool lockRuleCode(const QString& code)
{
    DBResultSet lock;
    g_strSQL = QStringLiteral("SELECT pg_advisory_xact_lock(hashtext(")
               + strSQLQuote(QStringLiteral("circ_rule|") + code) + QStringLiteral("))");
    g_intSQLRet = LIB_DB_Select(g_strSQL, lock);
    return g_intSQLRet >= 0;
}

bool failSave(bool inTrans)
{
    if (inTrans)
        LIB_DB_Rollback();
    intShowDBError();
    return false;
}

} // namespace

// ---- the fields ---------------------------------------------------------------

QString strRuleFieldCaption(int i)
{
    return i >= 0 && i < kRuleBoxes ? QString::fromUtf8(kCaptions[i]) : QString();
}

bool blnRuleWholeNumberBox(int i)
{
    return (i >= 3 && i <= 5) || (i >= 8 && i <= 21) || i == 30;
}

int intRuleMoneyDigits(int i)
{
    if (i == 22)
        return 5;
    if (i >= 23 && i <= 25)
        return 3;
    return 0;
}

int intRuleBoxLength(int i)
{
    if (i == 0)
        return kRuleCodeLength;
    if (i == 1)
        return 50;
    if (const int digits = intRuleMoneyDigits(i))
        return digits + 5;
    if (blnRuleWholeNumberBox(i))
        return 9;
    return 32767;
}

bool blnRuleBoxTextValid(int i, const QString& text)
{
    if (text.size() > intRuleBoxLength(i))
        return false;
    if (blnRuleWholeNumberBox(i))
        return text.isEmpty() || allDigits(text);
    if (const int digits = intRuleMoneyDigits(i)) {
        static const QRegularExpression money(QStringLiteral("^(\\d*)(\\.(\\d*))?$"));
        const QRegularExpressionMatch m = money.match(text);
        return m.hasMatch() && m.capturedLength(1) <= digits && m.capturedLength(3) <= 2;
    }
    return true;
}

QString strFormatRuleCode(const QString& code)
{
    if (!allDigits(code) || code.size() >= kRuleCodeLength)
        return code;
    return QString(kRuleCodeLength - code.size(), QLatin1Char('0')) + code;
}

QString strCopyRuleCode(const QString& code)
{
    if (code.startsWith(QLatin1String("COPY")))
        return code;
    if (!allDigits(code))
        return QStringLiteral("COPY") + code;
    const QString digits = dropLeadingZeros(code);
    return QStringLiteral("COPY") + QString(std::max<qsizetype>(0, 6 - digits.size()), QLatin1Char('0')) + digits;
}

QString strValText(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    QString whole;
    while (i < text.size() && text.at(i).isDigit() && text.at(i).unicode() < 128)
        whole += text.at(i++);
    QString fraction;
    if (i < text.size() && text.at(i) == QLatin1Char('.')) {
        ++i;
        while (i < text.size() && text.at(i).isDigit() && text.at(i).unicode() < 128)
            fraction += text.at(i++);
    }
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    whole = whole.isEmpty() ? QStringLiteral("0") : dropLeadingZeros(whole);
    return fraction.isEmpty() ? whole : whole + QLatin1Char('.') + fraction;
}

QString strFormatMoneyBox(const QString& text)
{
    if (text.isEmpty())
        return text;
    const QString value = strValText(text);
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || !(trimmed.at(0).isDigit() || trimmed.at(0) == QLatin1Char('.')))
        return text;
    const qsizetype point = value.indexOf(QLatin1Char('.'));
    QString whole = point < 0 ? value : value.left(point);
    QString fraction = point < 0 ? QString() : value.mid(point + 1);
    if (fraction.size() > 2) {
        // Half away from zero on the third decimal, in decimal digits.
        const bool up = fraction.at(2) >= QLatin1Char('5');
        fraction.truncate(2);
        if (up) {
            QString digits = whole + fraction;
            int k = int(digits.size()) - 1;
            while (k >= 0 && digits.at(k) == QLatin1Char('9'))
                digits[k--] = QLatin1Char('0');
            if (k < 0)
                digits.prepend(QLatin1Char('1'));
            else
                digits[k] = QChar(digits.at(k).unicode() + 1);
            whole = digits.left(digits.size() - 2);
            fraction = digits.right(2);
        }
    }
    while (fraction.size() < 2)
        fraction += QLatin1Char('0');
    return whole + QLatin1Char('.') + fraction;
}

// ---- load, checks and save ------------------------------------------------------

int subLoadRuleData(const QString& ruleNo, int dealType, RuleForm& form, bool* unload)
{
    DBResultSet rs;
    if (!select(ruleRowSQL(ruleNo), rs, unload))
        return -1;
    form.readRow = rowTexts(rs);
    if (rs.rowCount() < 1)
        return 0;
    for (int c = 0; c < rs.fieldCount() && c < kRuleColumns; ++c) {
        const QVariant v = rs.value(0, c);
        if (!v.isValid() || v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isNull()))
            continue;
        const QString text = numberText(v);
        switch (c) {
        case circrule::RuleNo:
        case circrule::RuleName:
            if (dealType == 1)
                form.txtField[c] = text;
            break;
        case circrule::TimeUnit:
            form.hours = text == QLatin1String("H");
            break;
        case circrule::PergYsno:
            form.preg = text == QLatin1String("1") ? 1 : 0;
            break;
        case circrule::RenewYsno:
            form.renew = text == QLatin1String("1") ? 1 : 0;
            break;
        case circrule::FstFinePrice:
        case circrule::OtherFinePrice:
        case circrule::TechFee:
        case circrule::ServFee:
            form.txtField[c] = QString::number(v.toDouble(), 'f', 2);
            break;
        case circrule::RenewCalcFlag:
            form.renewFromDue = text != QLatin1String("0");
            break;
        case circrule::RuleFlag:
            form.enabled = text == QLatin1String("1") ? 1 : 0;
            break;
        case circrule::RegDay:
        case circrule::UptDay:
        case circrule::RespWkr:
            break;
        default:
            form.txtField[c] = text;
            break;
        }
    }
    return 0;
}

bool blnRuleExists(const QString& code, bool* unload)
{
    return anyRow(QStringLiteral("SELECT circ_rule.rule_no ") + QStringLiteral("FROM circ_rule ")
                      + QStringLiteral("where rule_no=") + strSQLQuote(code),
                  unload);
}

bool blnRuleInComp(const QString& code, bool* unload)
{
    return anyRow(QStringLiteral("SELECT rule_comp.rule_no ") + QStringLiteral("FROM rule_comp  where rule_no=")
                      + strSQLQuote(code),
                  unload);
}

bool blnRuleInLend(const QString& code, bool* unload)
{
    return anyRow(QStringLiteral("SELECT lend_lst.rule_no_f ") + QStringLiteral("FROM lend_lst where rule_no_f=")
                      + strSQLQuote(code),
                  unload);
}

QString strRuleCallText(const RuleForm& form, const QString& worker)
{
    QStringList args;
    for (int c = 0; c < kRuleColumns; ++c) {
        switch (c) {
        case circrule::RuleNo:
        case circrule::RuleName:
        case circrule::FstNoticeNo:
        case circrule::SndNoticeNo:
        case circrule::ThdNoticeNo:
        case circrule::PregNoticeNo:
            args << strSQLQuote(form.txtField[c]);
            break;
        case circrule::TimeUnit:
            args << (form.hours ? QStringLiteral("'H'") : QStringLiteral("'D'"));
            break;
        case circrule::PergYsno:
            args << checkValue(form.preg);
            break;
        case circrule::RenewYsno:
            args << checkValue(form.renew);
            break;
        case circrule::RenewCalcFlag:
            args << (form.renewFromDue ? QStringLiteral("'1'") : QStringLiteral("'0'"));
            break;
        case circrule::RuleFlag:
            args << checkValue(form.enabled);
            break;
        case circrule::RegDay:
        case circrule::UptDay:
            break;
        case circrule::RespWkr:
            args << strSQLQuote(worker);
            break;
        default:
            args << strValText(form.txtField[c]);
            break;
        }
    }
    return QStringLiteral("LT_circ_rule ") + args.join(QLatin1Char(','));
}

RuleSave subSaveRuleData(const RuleForm& form, bool newRule)
{
    const QString code = form.txtField[circrule::RuleNo];
    if (LIB_DB_BeginTrans() < 0) {
        failSave(false);
        return RuleSave::Failed;
    }
    if (!code.isEmpty()) {
        if (newRule) {
            // Under the code's lock another desk's new rule of the same code is
            // either committed (and seen here) or waits for this one.
            if (!lockRuleCode(code)) {
                failSave(true);
                return RuleSave::Failed;
            }
            DBResultSet rs;
            g_strSQL = QStringLiteral("SELECT circ_rule.rule_no FROM circ_rule where rule_no=") + strSQLQuote(code);
            g_intSQLRet = LIB_DB_Select(g_strSQL, rs);
            if (g_intSQLRet < 0) {
                failSave(true);
                return RuleSave::Failed;
            }
            if (rs.rowCount() > 0) {
                LIB_DB_Rollback();
                intShowMsg(QStringLiteral("ELT700"));
                return RuleSave::Exists;
            }
        } else {
            // The row as it is now, locked until the commit; a rule that had
            // no row when read is held by its code's lock as a new one is.
            if (form.readRow.isEmpty()) {
                if (!lockRuleCode(code)) {
                    failSave(true);
                    return RuleSave::Failed;
                }
            }
            DBResultSet now;
            g_strSQL = ruleRowSQL(code) + QStringLiteral(" FOR UPDATE");
            g_intSQLRet = LIB_DB_Select(g_strSQL, now);
            if (g_intSQLRet < 0) {
                failSave(true);
                return RuleSave::Failed;
            }
            const QStringList row = rowTexts(now);
            if (row != form.readRow) {
                LIB_DB_Rollback();
                return row.isEmpty() ? RuleSave::Gone : RuleSave::Changed;
            }
        }
        g_strSQL = strRuleCallText(form, varGetSysInfo(4).toString());
        g_intSQLRet = LIB_DB_CallProc(g_strSQL, 0);
        if (g_intSQLRet < 0) {
            failSave(true);
            return RuleSave::Failed;
        }
    }
    if (LIB_DB_CommitTrans() < 0) {
        failSave(true);
        return RuleSave::Failed;
    }
    DBResultSet rules;
    g_strSQL = strBaseCodeSQL(1);
    g_intSQLRet = LIB_DB_Select(g_strSQL, rules);
    if (g_intSQLRet < 0) {
        failSave(false);
        return RuleSave::CacheFailed;
    }
    g_varCircRule = rules;
    return RuleSave::Saved;
}

RuleOk intRuleEditOk(int& dealType, QString& ruleNo, RuleForm& form)
{
    bool unload = false;
    if (dealType == 0 || dealType == 2) {
        // A NUL is no part of a code (no statement can carry one): a code of
        // NULs alone is no code.
        const QString typed = oradb::sqltext::sendableText(form.txtField[circrule::RuleNo]).trimmed();
        if (typed.isEmpty()) {
            intShowMsg(QStringLiteral("ELT703"));
            return RuleOk::Stay;
        }
        // The code is checked as it will be saved.
        QString code = strFormatRuleCode(typed);
        if (form.read == 1)
            code = strCopyRuleCode(code);
        if (code.size() > kRuleCodeLength) {
            intShowMsg(QStringLiteral("E借阅规则代码“%1”超过%2个字符，不能保存，请重新输入！")
                           .arg(code)
                           .arg(kRuleCodeLength));
            return RuleOk::Stay;
        }
        if (blnRuleExists(code, &unload)) {
            intShowMsg(QStringLiteral("ELT700"));
            return RuleOk::Stay;
        }
        if (g_intSQLRet < 0)
            return unload ? RuleOk::Unload : RuleOk::Stay;
        form.txtField[circrule::RuleNo] = code;
        const RuleSave saved = subSaveRuleData(form, true);
        if (saved == RuleSave::Exists)
            return RuleOk::Stay;
        dealType = 1;
        ruleNo = code;
        return saved == RuleSave::Failed ? RuleOk::Closed : RuleOk::Saved;
    }
    if (dealType == 1) {
        const QString code = form.txtField[circrule::RuleNo];
        // A query that failed (shown) stops OK: the rule may be in use.
        bool used = blnRuleInComp(code, &unload);
        if (g_intSQLRet >= 0 && !used)
            used = blnRuleInLend(code, &unload);
        if (g_intSQLRet < 0)
            return unload ? RuleOk::Unload : RuleOk::Stay;
        if (used && form.enabled != 1) {
            intShowMsg(QStringLiteral("ELT702"));
            form.enabled = 1;
            return RuleOk::Stay;
        }
        switch (subSaveRuleData(form, false)) {
        case RuleSave::Changed: {
            intShowMsg(kRuleChanged);
            RuleForm now;
            now.read = form.read;
            if (subLoadRuleData(code, 1, now, &unload) != 0)
                return unload ? RuleOk::Unload : RuleOk::Closed;
            form = now;
            return RuleOk::Reloaded;
        }
        case RuleSave::Gone:
            intShowMsg(kRuleGone);
            return RuleOk::Closed;
        case RuleSave::Failed:
            return RuleOk::Closed;
        default:
            return RuleOk::Saved;
        }
    }
    return RuleOk::Closed;
}

// ---- keys -----------------------------------------------------------------------

int intWholeKeyPress(int key)
{
    return (key >= '0' && key <= '9') || key == kKeyBackspace ? key : 0;
}

int intDecimalKeyPress(const QString& text, int caret, int key, int before, int after)
{
    const bool digit = key >= '0' && key <= '9';
    if (!digit && key != kKeyBackspace)
        return 0;
    const int p = int(text.indexOf(QLatin1Char('.'))) + 1;
    const int len = int(text.size());
    if (p == 0)
        return digit && len >= before ? 0 : key;
    if (key == kKeyBackspace)
        return caret == p && p != 1 && p != len ? 0 : key;
    if ((caret < p && p - 1 >= before) || (caret >= p && len - p >= after))
        return 0;
    return key;
}

int intDecimalKeyDown(const QString& text, int caret, int key, int, int after, bool* insertPoint)
{
    if (insertPoint)
        *insertPoint = false;
    const int p = int(text.indexOf(QLatin1Char('.'))) + 1;
    const int len = int(text.size());
    const bool point = key == kKeyPoint || key == kKeyPadPoint;
    if (p > 0) {
        if (point)
            return 0;
        if (key == kKeyDelete && caret == p - 1 && p != 1 && p != len)
            return 0;
        return key;
    }
    if (!point)
        return key;
    if (len - caret <= after && insertPoint)
        *insertPoint = true;
    return 0;
}

// ---- help -----------------------------------------------------------------------

QString strRuleHelpFile()
{
    return strResolvePath(strProgramFolder(), QStringLiteral("cfg/sys/ruleedit.txt"));
}

int subLoadRuleHelp(const QString& path, QStringList& entries)
{
    while (entries.size() < kRuleHelpEntries)
        entries << QString();
    QStringList lines;
    if (!text::readAnsiLines(path, &lines))
        return 0;
    int taken = 0;
    for (const QString& line : lines) {
        const QString head = line.left(2).trimmed();
        if (!allDigits(head))
            break;
        const int n = head.toInt();
        if (n > kRuleHelpEntries - 1)
            break;
        const qsizetype colon = line.indexOf(kColon);
        entries[n] = colon < 0 ? line : line.mid(colon + 1);
        ++taken;
    }
    return taken;
}

RuleHelpText varRuleGeneralHelp()
{
    return {QStringLiteral("借阅规则："),
            QStringLiteral("用于定义该读者类型，在当前馆藏地，借阅所属图书流通类型书刊的细则。")};
}

RuleHelpText varRuleHelpFor(int i, const QString& currentTitle, const QStringList& entries)
{
    if (currentTitle.isEmpty())
        return varRuleGeneralHelp();
    const QString entry = entries.value(i);
    if (!entry.isEmpty()) {
        const qsizetype colon = entry.indexOf(kColon);
        if (colon < 0)
            return {QString(), entry};
        return {entry.left(colon + 1), entry.mid(colon + 1)};
    }
    const QString caption = strRuleFieldCaption(i);
    return {caption, caption.left(caption.size() - 1)};
}
