#include "report/ReportTemplate.h"

#include "platform/text/CodePage.h"
#include "platform/text/FileSet.h"
#include "report/ReportLabels.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace report {

namespace {
const QString kHidden = QStringLiteral("隐藏");
const QString kLookKind = QStringLiteral("report-grid-look");
const QString kSetupKind = QStringLiteral("report-setup-grid");
constexpr int kVersion = 1;
constexpr int kLabelRows = 7;
const QStringList kTitles = {QStringLiteral("列内容"), QStringLiteral("列名"), QStringLiteral("是否输出"),
                             QStringLiteral("是否排序")};

QString escapeField(const QString& s) {
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        switch (c.unicode()) {
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        case u'|':
            out += QStringLiteral("\\|");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        default:
            out += c;
        }
    }
    return out;
}

// Splits a line into its "|"-ended fields; false when the line does not end
// with "|" or holds a broken escape.
bool splitFields(const QString& line, QStringList* fields) {
    fields->clear();
    QString cur;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'|') {
            fields->append(cur);
            cur.clear();
        } else if (c == u'\\') {
            if (++i >= line.size()) return false;
            switch (line[i].unicode()) {
            case u'\\':
                cur += u'\\';
                break;
            case u'|':
                cur += u'|';
                break;
            case u'r':
                cur += u'\r';
                break;
            case u'n':
                cur += u'\n';
                break;
            default:
                return false;
            }
        } else {
            cur += c;
        }
    }
    return cur.isEmpty();
}

QString colorText(const QColor& c) {
    return c.isValid() ? c.name(QColor::HexArgb) : QString();
}
QColor colorOf(const QJsonValue& v) {
    const QString s = v.toString();
    return s.isEmpty() ? QColor() : QColor(s);
}

bool readJson(const QString& path, const QString& kind, QJsonObject* out) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject()) return false;
    *out = doc.object();
    return out->value(QStringLiteral("kind")).toString() == kind &&
           out->value(QStringLiteral("version")).toInt() == kVersion;
}

QByteArray jsonBytes(QJsonObject o, const QString& kind) {
    o.insert(QStringLiteral("kind"), kind);
    o.insert(QStringLiteral("version"), kVersion);
    return QJsonDocument(o).toJson();
}

bool fontOf(const QJsonValue& v, QFont* f) {
    return v.isString() && f->fromString(v.toString());
}
} // namespace

// ---- grid look -------------------------------------------------------------

GridLook GridLook::of(const ReportGrid& g) {
    return {g.backColor,   g.foreColor, g.backColorFixed, g.foreColorFixed, g.gridColor, g.gridColorFixed,
            g.borderColor, g.gridLines, g.gridLinesFixed, g.gridLineWidth,  g.font()};
}

void GridLook::applyTo(ReportGrid& g) const {
    g.backColor = backColor;
    g.foreColor = foreColor;
    g.backColorFixed = backColorFixed;
    g.foreColorFixed = foreColorFixed;
    g.gridColor = gridColor;
    g.gridColorFixed = gridColorFixed;
    g.borderColor = borderColor;
    g.gridLines = gridLines;
    g.gridLinesFixed = gridLinesFixed;
    g.gridLineWidth = gridLineWidth;
    g.setFont(font);
}

// ---- page settings and labels ----------------------------------------------

QString pageSettingText(const PageSettings& p) {
    return QStringLiteral("%1;%2;%3;%4;%5;%6")
        .arg(p.orientationCode())
        .arg(p.paperCode())
        .arg(p.leftMargin)
        .arg(p.rightMargin)
        .arg(p.topMargin)
        .arg(p.bottomMargin);
}

bool readPageSettingText(const QString& text, PageSettings* page) {
    const QStringList f = text.split(u';');
    if (f.size() != 6) return false;
    int v[6];
    for (int i = 0; i < 6; ++i) {
        bool ok = false;
        v[i] = int(f[i].trimmed().toDouble(&ok));
        if (!ok) return false;
    }
    if (v[0] != 1 && v[0] != 2) return false;
    page->setOrientationCode(v[0]);
    page->setPaperCode(v[1]);
    page->leftMargin = v[2];
    page->rightMargin = v[3];
    page->topMargin = v[4];
    page->bottomMargin = v[5];
    return true;
}

QList<LabelStyle> labelStyles(const LabelSet& labels) {
    QList<LabelStyle> out;
    for (int i = 0; i < kLabelRows && i < labels.count(); ++i) {
        const ReportLabel& l = labels.at(i);
        out.append({l.hidden() ? kHidden : l.caption, l.font, l.color});
    }
    return out;
}

void applyLabelStyles(const QList<LabelStyle>& styles, LabelSet& labels) {
    for (int i = 0; i < styles.size() && i < labels.count(); ++i) {
        ReportLabel& l = labels.at(i);
        l.font = styles[i].font;
        l.color = styles[i].color;
        l.tag = styles[i].text == kHidden ? QStringLiteral("Hide") : QString();
        labels.fitSize(i);
    }
    if (!styles.isEmpty() && labels.count() > 0) labels.setCaption(0, styles[0].text);
}

// ---- grid text file --------------------------------------------------------

QByteArray gridTextBytes(const SetupGrid& setup) {
    const int lines = std::max(int(setup.rows.size()), kLabelRows - 1) + 1;
    QString out;
    for (int r = 0; r < lines; ++r) {
        QStringList fields;
        if (r == 0) {
            fields = kTitles;
        } else if (r <= setup.rows.size()) {
            const SetupRow& s = setup.rows[r - 1];
            fields << s.definition << s.title << (s.output ? QStringLiteral("-1") : QStringLiteral("0"))
                   << s.sort;
        } else {
            fields << QString() << QString() << QString() << QString();
        }
        fields << (r < setup.labels.size() ? setup.labels[r].text : QString());
        for (const QString& f : fields)
            out += escapeField(f) + u'|';
        out += QStringLiteral("\r\n");
    }
    return text::toGb18030(out);
}

bool readGridText(const QByteArray& bytes, SetupGrid* setup) {
    if (!bytes.endsWith("\r\n")) return false;
    const QStringList lines = text::fromGb18030(bytes.chopped(2)).split(QStringLiteral("\r\n"));
    const int expected = std::max(int(setup->rows.size()), kLabelRows - 1) + 1;
    if (lines.size() != expected) return false;
    QStringList f;
    for (int r = 0; r < lines.size(); ++r) {
        if (!splitFields(lines[r], &f) || f.size() != 5) return false;
        if (r == 0 && f.mid(0, 4) != kTitles) return false;
        if (r < setup->labels.size()) setup->labels[r].text = f[4];
        if (r == 0 || r > setup->rows.size()) continue;
        SetupRow& s = setup->rows[r - 1];
        s.definition = f[0];
        s.title = f[1];
        s.output = f[2] == QLatin1String("-1");
        s.sort = f[3];
    }
    return true;
}

QString templateFileName(const QString& title) {
    if (title == QLatin1String(".") || title == QLatin1String("..")) return QString(title.size(), u'_');
    QString out = title;
    for (QChar& c : out)
        if (c == u'/' || c.unicode() < 0x20 || c.unicode() == 0x7F) c = u'_';
    return out;
}

// ---- the store ---------------------------------------------------------------

QString TemplateStore::lookPath(const QString& title) const {
    return QDir(cfg_).filePath(QStringLiteral("打印配置1/") + templateFileName(title));
}

QString TemplateStore::setupPath(const QString& title) const {
    return QDir(cfg_).filePath(QStringLiteral("打印配置2/") + templateFileName(title));
}

bool TemplateStore::save(const QString& title, const GridLook& look, const SetupGrid& setup,
                         QString* error) const {
    QJsonObject lk{{QStringLiteral("backColor"), colorText(look.backColor)},
                   {QStringLiteral("foreColor"), colorText(look.foreColor)},
                   {QStringLiteral("backColorFixed"), colorText(look.backColorFixed)},
                   {QStringLiteral("foreColorFixed"), colorText(look.foreColorFixed)},
                   {QStringLiteral("gridColor"), colorText(look.gridColor)},
                   {QStringLiteral("gridColorFixed"), colorText(look.gridColorFixed)},
                   {QStringLiteral("borderColor"), colorText(look.borderColor)},
                   {QStringLiteral("gridLines"), look.gridLines},
                   {QStringLiteral("gridLinesFixed"), look.gridLinesFixed},
                   {QStringLiteral("gridLineWidth"), look.gridLineWidth},
                   {QStringLiteral("font"), look.font.toString()}};
    QJsonArray rows, labels;
    for (const SetupRow& s : setup.rows)
        rows.append(QJsonObject{{QStringLiteral("arrayCol"), s.arrayCol},
                                {QStringLiteral("width"), s.width},
                                {QStringLiteral("newField"), s.newField}});
    for (const LabelStyle& l : setup.labels)
        labels.append(QJsonObject{{QStringLiteral("font"), l.font.toString()},
                                  {QStringLiteral("color"), colorText(l.color)}});
    QJsonObject st{{QStringLiteral("addOrder"), setup.addOrder},
                   {QStringLiteral("page"), setup.pageText},
                   {QStringLiteral("rows"), rows},
                   {QStringLiteral("labels"), labels}};

    const QString paths[3] = {lookPath(title), setupPath(title), textPath(title)};
    const QByteArray bytes[3] = {jsonBytes(lk, kLookKind), jsonBytes(st, kSetupKind), gridTextBytes(setup)};
    for (const QString& p : paths)
        if (!QDir().mkpath(QFileInfo(p).absolutePath())) {
            if (error) *error = QStringLiteral("无法建立文件夹 %1").arg(QFileInfo(p).absolutePath());
            return false;
        }
    // Under the templates' lock, all three are written aside (unique names)
    // and then put in place; a reader holding the lock sees the old trio or
    // the new one.
    const text::FileLock lock(lockPath());
    if (!lock.locked()) {
        if (error) *error = QStringLiteral("打印模板正被另一程序保存，请稍后再试");
        return false;
    }
    QString failed;
    if (!text::saveFileSet({{paths[0], bytes[0]}, {paths[1], bytes[1]}, {paths[2], bytes[2]}}, &failed)) {
        if (error) *error = QStringLiteral("无法写入文件 %1").arg(failed);
        return false;
    }
    return true;
}

QString TemplateStore::lockPath() const {
    return QDir(cfg_).filePath(QStringLiteral("打印配置.lock"));
}

bool TemplateStore::load(const QString& title, GridLook* look, SetupGrid* setup) const {
    // The three files are read under the lock their save holds.
    QJsonObject lk, st;
    QByteArray textBytes;
    {
        const text::FileLock lock(lockPath());
        if (lock.busy()) return false;
        if (!readJson(lookPath(title), kLookKind, &lk) || !readJson(setupPath(title), kSetupKind, &st))
            return false;
        QFile f(textPath(title));
        if (!f.open(QIODevice::ReadOnly)) return false;
        textBytes = f.readAll();
    }
    GridLook g;
    g.backColor = colorOf(lk.value(QStringLiteral("backColor")));
    g.foreColor = colorOf(lk.value(QStringLiteral("foreColor")));
    g.backColorFixed = colorOf(lk.value(QStringLiteral("backColorFixed")));
    g.foreColorFixed = colorOf(lk.value(QStringLiteral("foreColorFixed")));
    g.gridColor = colorOf(lk.value(QStringLiteral("gridColor")));
    g.gridColorFixed = colorOf(lk.value(QStringLiteral("gridColorFixed")));
    g.borderColor = colorOf(lk.value(QStringLiteral("borderColor")));
    g.gridLines = lk.value(QStringLiteral("gridLines")).toInt(1);
    g.gridLinesFixed = lk.value(QStringLiteral("gridLinesFixed")).toInt(1);
    g.gridLineWidth = lk.value(QStringLiteral("gridLineWidth")).toInt(1);
    if (!fontOf(lk.value(QStringLiteral("font")), &g.font)) return false;

    SetupGrid s;
    s.addOrder = st.value(QStringLiteral("addOrder")).toInt();
    s.pageText = st.value(QStringLiteral("page")).toString();
    PageSettings probe;
    if (!readPageSettingText(s.pageText, &probe)) return false;
    for (const QJsonValue& v : st.value(QStringLiteral("rows")).toArray()) {
        const QJsonObject o = v.toObject();
        SetupRow r;
        r.arrayCol = o.value(QStringLiteral("arrayCol")).toInt();
        r.width = o.value(QStringLiteral("width")).toInt(900);
        r.newField = o.value(QStringLiteral("newField")).toBool();
        s.rows.append(r);
    }
    const QJsonArray labels = st.value(QStringLiteral("labels")).toArray();
    if (labels.size() != kLabelRows) return false;
    for (const QJsonValue& v : labels) {
        LabelStyle l;
        if (!fontOf(v.toObject().value(QStringLiteral("font")), &l.font)) return false;
        l.color = colorOf(v.toObject().value(QStringLiteral("color")));
        s.labels.append(l);
    }
    if (!readGridText(textBytes, &s)) return false;
    *look = g;
    *setup = s;
    return true;
}

} // namespace report
