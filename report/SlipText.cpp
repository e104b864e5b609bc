#include "report/SlipText.h"

#include "common/basEnv.h"
#include "common/basMsg.h"
#include "platform/text/AnsiFile.h"
#include "report/ReportArray.h"

#include <QFileInfo>
#include <QScopeGuard>

namespace report {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kColon = QStringLiteral("：");

// ---- numbers ------------------------------------------------------------

struct Decimal {
    bool negative = false;
    QString whole; // digits, no leading zeros ("0" for none)
    QString frac;  // digits as written
};

bool parseDecimal(const QString& text, Decimal* d) {
    const QString t = text.trimmed();
    int i = 0;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) d->negative = t[i++] == u'-';
    QString whole, frac;
    bool point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= u'0' && c <= u'9')
            (point ? frac : whole).append(c);
        else if (c == u'.' && !point)
            point = true;
        else
            return false;
    }
    if (whole.isEmpty() && frac.isEmpty()) return false;
    while (whole.size() > 1 && whole.startsWith(u'0'))
        whole.remove(0, 1);
    if (whole.isEmpty()) whole = QStringLiteral("0");
    if (whole.size() > 18 || frac.size() > 12) return false;
    d->whole = whole;
    d->frac = frac;
    return true;
}

// The decimal as an integer at `scale` fraction digits.
__int128 scaled(const Decimal& d, int scale) {
    __int128 v = 0;
    for (QChar c : d.whole)
        v = v * 10 + (c.unicode() - u'0');
    for (int i = 0; i < scale; ++i)
        v = v * 10 + (i < d.frac.size() ? d.frac[i].unicode() - u'0' : 0);
    return d.negative ? -v : v;
}

QString digits(__int128 v) {
    if (v == 0) return QStringLiteral("0");
    QString s;
    while (v > 0) {
        s.prepend(QChar(char16_t(u'0' + int(v % 10))));
        v /= 10;
    }
    return s;
}

// Without trailing zeros: "12.50" -> "12.5", "3.0" -> "3".
QString plain(bool negative, const QString& whole, QString frac) {
    while (frac.endsWith(u'0'))
        frac.chop(1);
    QString s = whole;
    if (!frac.isEmpty()) s += u'.' + frac;
    if (negative && s != QStringLiteral("0")) s.prepend(u'-');
    return s;
}

// ---- where values come from ---------------------------------------------

SlipSources programSources() {
    SlipSources s;
    s.library = [] { return varGetSysPara(1).toString(); };
    s.serverDate = [] { return varGetSysInfo(1).toString(); };
    s.configFolder = [] { return varGetSysInfo(14).toString(); };
    return s;
}

struct Record {
    const ReportArray& a;
    int k;
    SlipKind kind;

    QString col(int c) const {
        const int have = a.lastCol(k + 1);
        if (c > have)
            throw SlipError{QStringLiteral("第 %1 条记录只有 %2 列，%3需要第 %4 列，单据无法生成。")
                                .arg(k + 1)
                                .arg(std::max(0, have))
                                .arg(slipKindName(kind))
                                .arg(c)};
        return a.cell(k + 1, c);
    }
    [[noreturn]] void notNumber(int c) const {
        throw SlipError{QStringLiteral("第 %1 条记录第 %2 列“%3”不是数字，%4无法生成。")
                            .arg(k + 1)
                            .arg(c)
                            .arg(a.cell(k + 1, c), slipKindName(kind))};
    }
    Decimal number(int c) const {
        Decimal d;
        if (!parseDecimal(col(c), &d)) notNumber(c);
        return d;
    }
    // Payment: column 5 minus column 6, "0.00".
    QString amount() const {
        number(5);
        number(6);
        QString out;
        strDecimalDifference(col(5), col(6), &out);
        return out;
    }
    // Loss: the absolute value of column 18.
    QString total() const {
        const Decimal d = number(18);
        return plain(false, d.whole, d.frac);
    }
    QString mode() const {
        const QString m = col(14);
        if (m == u"1") return QStringLiteral("赔书");
        if (m == u"2") return QStringLiteral("赔钱");
        if (m == u"3") return QStringLiteral("赔退");
        return QString();
    }
    QString detail() const {
        return col(19) + QStringLiteral(" + ") + col(16) + QStringLiteral(" + ") + col(17) +
               QStringLiteral(" + ") + col(20);
    }
};

// ---- templates ----------------------------------------------------------

using Value = std::function<QString(const Record&)>;

struct Holder {
    const char16_t* label;
    bool bare; // the value alone, without "label："
    Value value;
};

Value C(int c) {
    return [c](const Record& r) { return r.col(c); };
}
Value library() {
    return [](const Record&) { return slipSources().library(); };
}
// The server's date, read once for a whole batch while one is built.
const QString* batchDate = nullptr;

QString serverDate() {
    return batchDate ? *batchDate : slipSources().serverDate();
}

Value today() {
    return [](const Record&) { return serverDate(); };
}

QList<Holder> holders(SlipKind kind) {
    switch (kind) {
    case SlipKind::ForceAsb:
        return {{u"单位", false, C(9)},       {u"姓名", false, C(1)},       {u"证件号", false, C(11)},
                {u"题名", false, C(4)},       {u"责任者", false, C(5)},     {u"索书号", false, C(2)},
                {u"条码号", false, C(3)},     {u"原还书日期", false, C(6)}, {u"要求还书日期", false, C(7)},
                {u"图书馆", true, library()}, {u"催还日期", true, today()}, {u"馆藏地", true, C(8)}};
    case SlipKind::OverAsb:
    case SlipKind::RetAsb:
        return {{u"单位", false, C(8)},       {u"姓名", false, C(1)},       {u"证件号", false, C(10)},
                {u"题名", false, C(4)},       {u"责任者", false, C(5)},     {u"索书号", false, C(2)},
                {u"条码号", false, C(3)},     {u"应还书日期", false, C(6)}, {u"图书馆", true, library()},
                {u"催还日期", true, today()}, {u"馆藏地", true, C(7)}};
    case SlipKind::ExceedFine:
        return {{u"姓名", false, C(12)},    {u"证件号", false, C(13)},    {u"题名", false, C(3)},
                {u"财产号", false, C(1)},   {u"借书日期", false, C(4)},   {u"还书日期", false, C(5)},
                {u"应还日期", false, C(9)}, {u"应罚款额", false, C(7)},   {u"实罚款额", false, C(11)},
                {u"票据号", false, C(14)},  {u"明细", false, C(10)},      {u"图书馆", true, library()},
                {u"经手人", true, C(15)},   {u"单据日期", true, today()}, {u"馆藏地", false, C(8)}};
    case SlipKind::Lend:
        return {{u"单位", false, C(1)},      {u"姓名", false, C(2)},       {u"证件号", false, C(3)},
                {u"索书号", false, C(4)},    {u"条码号", false, C(5)},     {u"题名", false, C(6)},
                {u"责任者", false, C(7)},    {u"借阅日期", false, C(8)},   {u"应还日期", false, C(9)},
                {u"附件", false, C(10)},     {u"图书馆", true, library()}, {u"经手人", true, C(11)},
                {u"单据日期", true, today()}};
    case SlipKind::Ret:
        return {{u"单位", false, C(1)},
                {u"姓名", false, C(2)},
                {u"证件号", false, C(3)},
                {u"索书号", false, C(4)},
                {u"条码号", false, C(5)},
                {u"题名", false, C(6)},
                {u"责任者", false, C(7)},
                {u"借阅日期", false, C(8)},
                {u"应还日期", false, C(9)},
                {u"还书日期", false, C(10)},
                {u"超期天数", false, [](const Record& r) { return strLeadingNumber(r.col(11)); }},
                {u"附件", false, C(12)},
                {u"图书馆", true, library()},
                {u"经手人", true, C(13)},
                {u"单据日期", true, today()}};
    case SlipKind::Money:
        return {{u"缴费项目", false, C(10)},  {u"单位", false, C(3)},
                {u"姓名", false, C(2)},       {u"证件号", false, C(1)},
                {u"缴费方式", false, C(4)},   {u"金额", false, [](const Record& r) { return r.amount(); }},
                {u"缴费时间", false, C(7)},   {u"票据号", false, C(8)},
                {u"图书馆", true, library()}, {u"经手人", true, C(9)},
                {u"单据日期", true, today()}};
    case SlipKind::Recp:
        break;
    }
    return {{u"方式", true,
             [](const Record& r) {
                 const QString m = r.mode();
                 return m.isEmpty() ? m : QStringLiteral("方式：") + m;
             }},
            {u"姓名", false, C(9)},
            {u"证件号", false, C(10)},
            {u"题名", false, C(1)},
            {u"责任者", false, C(2)},
            {u"索书号", false, C(6)},
            {u"出版社", false, C(3)},
            {u"出版年", false, C(4)},
            {u"馆藏地", false, C(5)},
            {u"财产号", false, C(7)},
            {u"条码号", false, C(8)},
            {u"总额", false, [](const Record& r) { return r.total(); }},
            {u"明细", true,
             [](const Record& r) {
                 return QStringLiteral("明细：赔偿额") + r.col(19) + QStringLiteral(" + 技术费") + r.col(16) +
                        QStringLiteral(" + 人工费") + r.col(17) + QStringLiteral(" + 超期额") + r.col(20);
             }},
            {u"票据号", false, C(15)},
            {u"备注", false, C(13)},
            {u"图书馆", true, library()},
            {u"经手人", true, C(11)},
            {u"单据日期", true, today()}};
}

QString fromTemplate(SlipKind kind, const ReportArray& records, int k) {
    const QString path = slipSources().configFolder() + QStringLiteral("LT/") + slipTemplateFile(kind);
    const QFileInfo info(path);
    if (!info.exists() || info.isDir()) return QString();
    QString text;
    if (!text::readAnsiFile(path, &text))
        throw SlipError{QStringLiteral("第 %1 条记录：单据模板文件“%2”无法读取，%3无法生成。")
                            .arg(k + 1)
                            .arg(info.fileName(), slipKindName(kind))};
    const Record r{records, k, kind};
    for (const Holder& h : holders(kind)) {
        const QString label = QString::fromUtf16(h.label);
        const QString value = h.value(r);
        text.replace(u'[' + label + u']', h.bare ? value : label + kColon + value);
    }
    return text;
}

// ---- built-in layouts ---------------------------------------------------

struct Line {
    const char16_t* label;
    Value value; // none: fixed text
    bool gap;    // an empty line after it
};

struct Layout {
    const char16_t* heading;
    int breaks;
    QList<Line> lines;
    int closing;
};

const Value kNone;

Layout layout(SlipKind kind) {
    const Line unit9{u"【单    位】：", C(9), false};
    switch (kind) {
    case SlipKind::ForceAsb:
        return {u"催还通知单",
                2,
                {unit9,
                 {u"【姓    名】：", C(1), false},
                 {u"【证 件 号】：", C(11), true},
                 {u"您所借阅的书刊：", kNone, true},
                 {u"【索 书 号】：", C(2), false},
                 {u"【条 码 号】：", C(3), false},
                 {u"【题    名】：", C(4), false},
                 {u"【责 任 者】：", C(5), false},
                 {u"【原还书日期】：", C(6), false},
                 {u"【要求还书日期】：", C(7), true},
                 {u"请在指定还书日期前将图书归还本馆！", kNone, true}},
                8};
    case SlipKind::OverAsb:
    case SlipKind::RetAsb:
        return {kind == SlipKind::OverAsb ? u"催还通知单" : u"到期提醒通知单",
                3,
                {{u"【单    位】：", C(8), false},
                 {u"【姓    名】：", C(1), false},
                 {u"【证 件 号】：", C(10), true},
                 {u"您所借阅的书刊：", kNone, true},
                 {u"【索 书 号】：", C(2), false},
                 {u"【条 码 号】：", C(3), false},
                 {u"【题    名】：", C(4), false},
                 {u"【责 任 者】：", C(5), false},
                 {u"【应还书日期】：", C(6), true},
                 {u"请尽快将图书归还本馆！", kNone, true}},
                7};
    case SlipKind::ExceedFine:
        return {u"超期罚款",
                3,
                {{u"【题    名】：", C(3), false},
                 {u"【财 产 号】：", C(1), false},
                 {u"【馆 藏 地】：", C(8), false},
                 {u"【借书日期】：", C(4), false},
                 {u"【应还日期】：", C(9), false},
                 {u"【还书日期】：", C(5), true},
                 {u"【姓    名】：", C(12), false},
                 {u"【证 件 号】：", C(13), false},
                 {u"【应罚款额】：", C(7), false},
                 {u"【实罚款额】：", C(11), false},
                 {u"【票 据 号】：", C(14), false},
                 {u"【明    细】：", C(10), true}},
                15};
    case SlipKind::Lend:
    case SlipKind::Ret: {
        const bool lend = kind == SlipKind::Lend;
        Layout l{lend ? u"读者借阅单" : u"读者还书单",
                 2,
                 {{u"【单    位】：", C(1), false},
                  {u"【姓    名】：", C(2), false},
                  {u"【证 件 号】：", C(3), true},
                  {lend ? u"您所借阅的书刊：" : u"您所归还的书刊：", kNone, true},
                  {u"【索 书 号】：", C(4), false},
                  {u"【条 码 号】：", C(5), false},
                  {u"【题    名】：", C(6), false},
                  {u"【责 任 者】：", C(7), false},
                  {u"【借阅日期】：", C(8), false},
                  {u"【应还日期】：", C(9), false}},
                 lend ? 11 : 13};
        if (lend) {
            l.lines.append({u"【附    件】：", C(10), true});
        } else {
            l.lines.append({u"【还书日期】：", C(10), false});
            l.lines.append(
                {u"【超期天数】：", [](const Record& r) { return strLeadingNumber(r.col(11)); }, false});
            l.lines.append({u"【附    件】：", C(12), true});
        }
        return l;
    }
    case SlipKind::Money:
        return {u"读者缴费单",
                2,
                {{u"【单    位】：", C(3), false},
                 {u"【姓    名】：", C(2), false},
                 {u"【证 件 号】：", C(1), true},
                 {u"【缴费项目】：", C(10), false},
                 {u"【金    额】：", [](const Record& r) { return r.amount(); }, false},
                 {u"【缴费时间】：", C(7), false},
                 {u"【缴费方式】：", C(4), false},
                 {u"【票 据 号】：", C(8), true}},
                9};
    case SlipKind::Recp:
        break;
    }
    return {u"遗失赔偿单",
            3,
            {{u"【题    名】：", C(1), false},
             {u"【责 任 者】：", C(2), false},
             {u"【出 版 社】：", C(3), false},
             {u"【出 版 年】：", C(4), false},
             {u"【馆 藏 地】：", C(5), false},
             {u"【索 书 号】：", C(6), false},
             {u"【财 产 号】：", C(7), false},
             {u"【条 码 号】：", C(8), true},
             {u"【姓    名】：", C(9), false},
             {u"【证 件 号】：", C(10), false},
             {u"【总    额】：", [](const Record& r) { return r.total(); }, false},
             {u"【赔偿额 + 技术费 + 人工费 + 超期额】：", [](const Record& r) { return r.detail(); }, false},
             {u"【票 据 号】：", C(15), false},
             {u"【备    注】：", C(13), true}},
            11};
}

} // namespace

SlipKind slipKind(const QString& w) {
    if (w == u"RedrAsback" || w == u"BookAsback" || w == u"PregAsback" || w == u"StopAsback")
        return SlipKind::ForceAsb;
    if (w == u"OverAsback") return SlipKind::OverAsb;
    if (w == u"RetAsback") return SlipKind::RetAsb;
    if (w == u"ExceedFine") return SlipKind::ExceedFine;
    if (w == u"Lend") return SlipKind::Lend;
    if (w == u"Ret") return SlipKind::Ret;
    if (w == u"money") return SlipKind::Money;
    return SlipKind::Recp;
}

QString slipTemplateFile(SlipKind kind) {
    static const char* const files[] = {"LT_ForceAsb.ini",   "LT_ExceedAsb.ini", "LT_RetAsb.ini",
                                        "LT_ExceedFine.ini", "LT_PrtLend.ini",   "LT_PrtRet.ini",
                                        "LT_PrtMoney.ini",   "LT_PrtRecp.ini"};
    return QString::fromLatin1(files[int(kind)]);
}

QString slipKindName(SlipKind kind) {
    static const char16_t* const names[] = {u"催还通知单", u"催还通知单", u"到期提醒通知单", u"超期罚款单",
                                            u"借阅单",     u"还书单",     u"缴费单",         u"遗失赔偿单"};
    return QString::fromUtf16(names[int(kind)]);
}

SlipSources& slipSources() {
    static SlipSources s = programSources();
    return s;
}

void resetSlipSources() {
    slipSources() = programSources();
}

QString strForceAsbSlip(const ReportArray& records, int k) {
    return fromTemplate(SlipKind::ForceAsb, records, k);
}
QString strRetAsbSlip(const ReportArray& records, int k) {
    const QString word = records.cell(1, std::max(0, records.lastCol(1)));
    return fromTemplate(word == u"OverAsback" ? SlipKind::OverAsb : SlipKind::RetAsb, records, k);
}
QString strExceedFineSlip(const ReportArray& records, int k) {
    return fromTemplate(SlipKind::ExceedFine, records, k);
}
QString strLendSlip(const ReportArray& records, int k) {
    return fromTemplate(SlipKind::Lend, records, k);
}
QString strRetSlip(const ReportArray& records, int k) {
    return fromTemplate(SlipKind::Ret, records, k);
}
QString strMoneySlip(const ReportArray& records, int k) {
    return fromTemplate(SlipKind::Money, records, k);
}
QString strRecpSlip(const ReportArray& records, int k) {
    return fromTemplate(SlipKind::Recp, records, k);
}

QString strBuiltInSlip(SlipKind kind, const ReportArray& records, int k) {
    const Record r{records, k, kind};
    const Layout l = layout(kind);
    QString s = kCrLf + QString(20, u' ') + QString::fromUtf16(l.heading) + kCrLf.repeated(l.breaks);
    const QString indent(8, u' ');
    if (kind == SlipKind::Recp) {
        const QString mode = r.mode();
        if (!mode.isEmpty()) s += indent + QStringLiteral("【方    式】：") + mode + kCrLf + kCrLf;
    }
    for (const Line& line : l.lines) {
        s += indent + QString::fromUtf16(line.label) + (line.value ? line.value(r) : QString()) + kCrLf;
        if (line.gap) s += kCrLf;
    }
    const QString close(26, u' ');
    s += close + slipSources().library() + kCrLf;
    s += close + r.col(l.closing) + kCrLf;
    s += close + serverDate() + kCrLf + kCrLf;
    return s;
}

QString strSlipText(const ReportArray& records, const QString& kindWord, int k) {
    const SlipKind kind = slipKind(kindWord);
    QString text;
    switch (kind) {
    case SlipKind::ForceAsb:
        text = strForceAsbSlip(records, k);
        break;
    case SlipKind::OverAsb:
    case SlipKind::RetAsb:
        text = fromTemplate(kind, records, k);
        break;
    case SlipKind::ExceedFine:
        text = strExceedFineSlip(records, k);
        break;
    case SlipKind::Lend:
        text = strLendSlip(records, k);
        break;
    case SlipKind::Ret:
        text = strRetSlip(records, k);
        break;
    case SlipKind::Money:
        text = strMoneySlip(records, k);
        break;
    case SlipKind::Recp:
        text = strRecpSlip(records, k);
        break;
    }
    return text.isEmpty() ? strBuiltInSlip(kind, records, k) : text;
}

bool subBuildSlips(const ReportArray& records, int cols, ReportArray* grid, int* rows, QString* error) {
    cols = cols == 1 ? 1 : 2; // one slip a row, or two for any other count
    const int n = std::max(0, records.lastRow());
    ReportArray out;
    out.resize(n, cols);
    *rows = cols == 1 ? n : (n + 1) / 2;
    if (n < 1) {
        *grid = out; // no records: nothing to print, and nothing wrong
        return true;
    }
    const QString word = records.cell(1, std::max(0, records.lastCol(1)));
    const QString date = slipSources().serverDate();
    batchDate = &date;
    const auto done = qScopeGuard([] { batchDate = nullptr; });
    try {
        for (int k = 0; k < n; ++k) {
            const QString slip = strSlipText(records, word, k);
            if (cols == 1)
                out.setCell(k + 1, 1, slip);
            else
                out.setCell(k / 2 + 1, 1 + k % 2, slip);
        }
    } catch (const SlipError& e) {
        if (error) *error = e.message;
        out.resize(0, cols);
        *grid = out;
        *rows = 0;
        return false;
    }
    *grid = out;
    return true;
}

bool strDecimalDifference(const QString& a, const QString& b, QString* out) {
    Decimal x, y;
    if (!parseDecimal(a, &x) || !parseDecimal(b, &y)) return false;
    const int scale = int(std::max({x.frac.size(), y.frac.size(), qsizetype(2)}));
    __int128 v = scaled(x, scale) - scaled(y, scale);
    const bool negative = v < 0;
    if (negative) v = -v;
    __int128 div = 1;
    for (int i = 2; i < scale; ++i)
        div *= 10;
    v = (v + div / 2) / div; // half away from zero
    QString frac = digits(v % 100);
    if (frac.size() < 2) frac.prepend(u'0');
    *out = (negative && v != 0 ? QStringLiteral("-") : QString()) + digits(v / 100) + u'.' + frac;
    return true;
}

bool strDecimalAbs(const QString& a, QString* out) {
    Decimal d;
    if (!parseDecimal(a, &d)) return false;
    *out = plain(false, d.whole, d.frac);
    return true;
}

QString strLeadingNumber(const QString& text) {
    int i = 0;
    const auto blanks = [&] {
        while (i < text.size() &&
               (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\n' || text[i] == u'\r'))
            ++i;
    };
    blanks();
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    QString whole, frac;
    bool point = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9')
            (point ? frac : whole).append(c);
        else if (c == u'.' && !point)
            point = true;
        else if (c != u' ' && c != u'\t')
            break;
    }
    while (whole.size() > 1 && whole.startsWith(u'0'))
        whole.remove(0, 1);
    if (whole.isEmpty()) whole = QStringLiteral("0");
    return plain(negative, whole, frac);
}

} // namespace report
