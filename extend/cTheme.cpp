#include "extend/cTheme.h"

#include "common/basEnv.h"
#include "common/basFile.h"
#include "extend/basXml.h"
#include "shell/basForms.h"

#include "platform/ui/Units.h"

#include <QAbstractButton>
#include <QDomDocument>
#include <QDomElement>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaProperty>
#include <QWidget>

namespace extend {

namespace {

QList<ThemeParam> readList(const QDomElement& owner, const char* name) {
    QList<ThemeParam> out;
    const QList<QDomElement> lists = childElements(owner, name);
    if (lists.isEmpty()) return out;
    for (QDomNode n = lists.first().firstChild(); !n.isNull(); n = n.nextSibling()) {
        if (!n.isElement()) continue;
        const QString kind = strLocalName(n);
        if (!blnSameText(kind, QStringLiteral("Property")) && !blnSameText(kind, QStringLiteral("Method")))
            continue;
        ThemeParam p;
        p.kind = blnSameText(kind, QStringLiteral("Property")) ? 1 : 2;
        for (const QDomElement& e : childElements(n.toElement(), "Name"))
            p.name = e.text();
        for (const QDomElement& e : childElements(n.toElement(), "Type"))
            p.type = cTheme::intValueType(e.text());
        for (const QDomElement& e : childElements(n.toElement(), "Value"))
            p.values << e.text();
        out << p;
    }
    return out;
}

ThemeEntry readEntry(const QDomElement& e, const QString& form, const QString& control, int index) {
    ThemeEntry t{form, control, index, {}, {}, {}};
    t.before = readList(e, "BeforeParam");
    t.apply = readList(e, "ApplyParam");
    t.after = readList(e, "AfterParam");
    return t;
}

// "True"/"False" as the old runtime reads them, or a number (not 0 is true).
std::optional<bool> toBool(const QString& text) {
    const QString t = text.trimmed();
    if (blnSameText(t, QStringLiteral("True"))) return true;
    if (blnSameText(t, QStringLiteral("False"))) return false;
    bool ok = false;
    const double v = t.toDouble(&ok);
    return ok ? std::optional<bool>(v != 0) : std::nullopt;
}

std::optional<double> toNumber(const QVariant& v) {
    bool ok = false;
    const double d = v.toString().trimmed().toDouble(&ok);
    return ok ? std::optional<double>(d) : std::nullopt;
}

bool setColor(QWidget* w, const QVariant& v, bool background) {
    const std::optional<double> n = toNumber(v);
    if (!n) return false;
    const QColor c = ui::units::colorFromNumber(long(*n));
    QPalette pal = w->palette();
    if (background) {
        pal.setColor(QPalette::Window, c);
        pal.setColor(QPalette::Base, c);
        pal.setColor(QPalette::Button, c);
        w->setAutoFillBackground(true);
    } else {
        pal.setColor(QPalette::WindowText, c);
        pal.setColor(QPalette::Text, c);
        pal.setColor(QPalette::ButtonText, c);
    }
    w->setPalette(pal);
    return true;
}

bool setCaption(QWidget* w, const QString& text) {
    if (w->isWindow())
        w->setWindowTitle(text);
    else if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(text);
    else if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->setText(text);
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        g->setTitle(text);
    else
        return false;
    return true;
}

bool setPicture(QWidget* w, const QImage& image) {
    if (auto* l = qobject_cast<QLabel*>(w))
        l->setPixmap(QPixmap::fromImage(image));
    else if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->setIcon(QIcon(QPixmap::fromImage(image)));
    else if (w->isWindow())
        w->setWindowIcon(QIcon(QPixmap::fromImage(image)));
    else
        return false;
    return true;
}

bool setFont(QWidget* w, const QString& name, const QVariant& v) {
    QFont f = w->font();
    if (blnSameText(name, QStringLiteral("FontName"))) {
        f.setFamily(v.toString());
    } else if (blnSameText(name, QStringLiteral("FontSize"))) {
        const std::optional<double> n = toNumber(v);
        if (!n || *n <= 0) return false;
        f.setPointSizeF(*n);
    } else {
        const std::optional<bool> b = toBool(v.toString());
        if (!b) return false;
        if (blnSameText(name, QStringLiteral("FontBold")))
            f.setBold(*b);
        else if (blnSameText(name, QStringLiteral("FontItalic")))
            f.setItalic(*b);
        else
            f.setUnderline(*b);
    }
    w->setFont(f);
    return true;
}

bool setGeometryPart(QWidget* w, const QString& name, const QVariant& v) {
    const std::optional<double> n = toNumber(v);
    if (!n) return false;
    const int px = ui::units::twipsToPixels(int(*n));
    QRect g = w->geometry();
    if (blnSameText(name, QStringLiteral("Left")))
        g.moveLeft(px);
    else if (blnSameText(name, QStringLiteral("Top")))
        g.moveTop(px);
    else if (blnSameText(name, QStringLiteral("Width")) && px >= 0)
        g.setWidth(px);
    else if (blnSameText(name, QStringLiteral("Height")) && px >= 0)
        g.setHeight(px);
    else
        return false;
    w->setGeometry(g);
    return true;
}

// Properties a theme may set beyond the named ones: they change how a control
// looks, never what it does or what it shows of its content.
bool lookOnly(const QString& name) {
    static const QStringList names = {
        "toolTip",   "statusTip",     "whatsThis",          "placeholderText", "alignment",  "flat",
        "frame",     "frameShape",    "frameShadow",        "lineWidth",       "midLineWidth", "margin",
        "indent",    "wordWrap",      "scaledContents",     "autoFillBackground", "iconSize", "toolButtonStyle",
        "layoutDirection", "windowOpacity"};
    return names.contains(name, Qt::CaseInsensitive);
}

// A writable property the widget's class declares, found without regard to case.
const QMetaProperty* declaredProperty(const QWidget* w, const QString& name, QMetaProperty* out) {
    const QMetaObject* mo = w->metaObject();
    for (int i = 0; i < mo->propertyCount(); ++i) {
        const QMetaProperty p = mo->property(i);
        if (blnSameText(QLatin1String(p.name()), name) && p.isWritable()) {
            *out = p;
            return out;
        }
    }
    return nullptr;
}

bool setDeclared(QWidget* w, const QString& name, const QVariant& v) {
    if (!lookOnly(name)) return false;
    const QMetaObject* mo = w->metaObject();
    for (int i = 0; i < mo->propertyCount(); ++i) {
        const QMetaProperty p = mo->property(i);
        if (blnSameText(QLatin1String(p.name()), name) && p.isWritable()) {
            QVariant value = v;
            if (p.metaType().id() == QMetaType::Bool) {
                const std::optional<bool> b = toBool(v.toString());
                if (!b) return false;
                value = *b;
            }
            return p.write(w, value);
        }
    }
    return false;
}

bool setProperty(QWidget* w, const QString& name, const QVariant& v) {
    if (blnSameText(name, QStringLiteral("BackColor")) || blnSameText(name, QStringLiteral("ForeColor")))
        return setColor(w, v, blnSameText(name, QStringLiteral("BackColor")));
    if (blnSameText(name, QStringLiteral("Caption"))) return setCaption(w, v.toString());
    if (blnSameText(name, QStringLiteral("Picture")))
        return v.typeId() == QMetaType::QImage && setPicture(w, v.value<QImage>());
    static const QStringList fontNames = {"FontName", "FontSize", "FontBold", "FontItalic", "FontUnderline"};
    if (fontNames.contains(name, Qt::CaseInsensitive)) return setFont(w, name, v);
    if (blnSameText(name, QStringLiteral("Visible"))) {
        const std::optional<bool> b = toBool(v.toString());
        if (!b) return false;
        w->setVisible(*b);
        return true;
    }
    static const QStringList geometry = {"Left", "Top", "Width", "Height"};
    if (geometry.contains(name, Qt::CaseInsensitive)) return setGeometryPart(w, name, v);
    return setDeclared(w, name, v);
}

bool callMethod(QWidget* w, const QString& name, const QStringList& args) {
    if (blnSameText(name, QStringLiteral("Refresh")) && args.isEmpty()) {
        w->update();
        return true;
    }
    if (blnSameText(name, QStringLiteral("SetFocus")) && args.isEmpty()) {
        w->setFocus();
        return true;
    }
    if (blnSameText(name, QStringLiteral("ZOrder")) && args.size() <= 1) {
        if (args.isEmpty() || args.first().trimmed() == QLatin1String("0"))
            w->raise();
        else
            w->lower();
        return true;
    }
    if (blnSameText(name, QStringLiteral("Move")) && !args.isEmpty()) {
        static const char* const parts[] = {"Left", "Top", "Width", "Height"};
        bool ok = true;
        for (int i = 0; i < args.size(); ++i)
            ok = setGeometryPart(w, QLatin1String(parts[i]), args.at(i)) && ok;
        return ok;
    }
    return false;
}

QWidget* findForm(const QString& name) {
    for (QWidget* f : shell::loadedForms())
        if (blnSameText(f->objectName(), name)) return f;
    return nullptr;
}

QWidget* findControl(QWidget* form, const QString& name, int index) {
    const QString wanted = index < 0 ? name : name + u'_' + QString::number(index);
    for (QWidget* c : form->findChildren<QWidget*>())
        if (blnSameText(c->objectName(), wanted)) return c;
    return nullptr;
}

} // namespace

QString cTheme::strRefusedProperty(const QWidget* target, const QString& name) {
    static const QStringList behaviour = {"Enabled",   "Locked",      "PasswordChar", "MaxLength",  "TabStop",
                                          "TabIndex",  "Text",        "EchoMode",     "ReadOnly",   "InputMask",
                                          "Validator", "WindowFlags", "WindowModality", "Modal"};
    if (behaviour.contains(name, Qt::CaseInsensitive))
        return QStringLiteral("它改变控件的行为或内容");
    if (blnSameText(name, QStringLiteral("Caption")) && qobject_cast<const QLineEdit*>(target))
        return QStringLiteral("它会改写文本框的内容");
    static const QStringList named = {"BackColor", "ForeColor", "Caption",  "Picture",    "FontName",
                                      "FontSize",  "FontBold",  "FontItalic", "FontUnderline", "Visible",
                                      "Left",      "Top",       "Width",    "Height"};
    if (named.contains(name, Qt::CaseInsensitive) || lookOnly(name)) return {};
    QMetaProperty p;
    if (declaredProperty(target, name, &p)) return QStringLiteral("它改变控件的行为或内容");
    return {};
}

int cTheme::intValueType(const QString& word) {
    static const char* const words[] = {"CBool",   "Integer",  "Long",     "String",   "Double",
                                        "Picture", "RGBColor", "StrColor", "LongColor"};
    for (int i = 0; i < 9; ++i)
        if (blnSameText(word, QLatin1String(words[i]))) return i + 1;
    return tvtNone;
}

long cTheme::lngRGBColor(const QString& text) {
    const QStringList parts = text.split(u',');
    if (parts.size() < 3) return 0;
    long rgb[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const int v = parts.at(i).trimmed().toInt(&ok);
        if (!ok || v < 0 || v > 255) return 0;
        rgb[i] = v;
    }
    return rgb[0] + 256 * rgb[1] + 65536 * rgb[2];
}

long cTheme::lngStrColor(const QString& text) {
    bool ok = false;
    const qlonglong v = text.mid(2).trimmed().toLongLong(&ok, 16);
    return ok && v >= 0 && v <= 0xFFFFFFFFLL ? long(qint32(quint32(v))) : 0;
}

bool cTheme::Initialize(const QString& strConfigFile) {
    const QString file = QString(strConfigFile).replace(u'\\', u'/');
    QDomDocument doc;
    if (!QFileInfo(file).isFile() || !blnLoadXml(file, &doc)) return false;
    const QDomElement root = doc.documentElement();
    m_ID = strAttribute(root, "id");
    ConfigFile = file;
    ThemePath = strFolderOfPath(file);
    if (m_ID.isEmpty()) return false;
    Name = strAttribute(root, "name");
    Description = strAttribute(root, "description");
    Version = strAttribute(root, "version");
    const QString icon = strAttribute(root, "icon");
    const QString pic = strAttribute(root, "pic");
    DemoIcon = icon.isEmpty() ? QImage() : QImage(strResolvePath(ThemePath, icon));
    DemoPic = pic.isEmpty() ? QImage() : QImage(strResolvePath(ThemePath, pic));
    UpgradeURL = strAttribute(root, "url");
    return (icon.isEmpty() || !DemoIcon.isNull()) && (pic.isEmpty() || !DemoPic.isNull());
}

bool cTheme::LoadTheme() {
    QDomDocument doc;
    if (!blnLoadXml(ConfigFile, &doc)) return true;
    for (const QDomElement& form : childElements(doc.documentElement(), "Form")) {
        const QString formName = strAttribute(form, "id");
        if (formName.isEmpty()) continue;
        for (QDomNode n = form.firstChild(); !n.isNull(); n = n.nextSibling()) {
            if (!n.isElement()) continue;
            const QDomElement e = n.toElement();
            if (blnSameText(strLocalName(e), QStringLiteral("FormTheme")) && e.hasChildNodes()) {
                entries_ << readEntry(e, formName, {}, -1);
                continue;
            }
            if (!blnSameText(strLocalName(e), QStringLiteral("Controls"))) continue;
            for (const QDomElement& c : childElements(e, "Control")) {
                const QString indexText = strAttribute(c, "index");
                bool ok = true;
                const int index = indexText.isEmpty() ? -1 : indexText.trimmed().toInt(&ok);
                if (!ok || index < -32768 || index > 32767) return false;
                const QString id = strAttribute(c, "id");
                if (!id.isEmpty() && c.hasChildNodes()) entries_ << readEntry(c, formName, id, index);
            }
        }
    }
    return true;
}

bool cTheme::blnApplyParam(QWidget* target, const ThemeParam& param) const {
    if (param.values.size() > 3) return false;
    if (param.kind == 2) return callMethod(target, param.name, param.values);
    const QString refused = strRefusedProperty(target, param.name);
    if (!refused.isEmpty()) {
        const QWidget* form = target->window();
        const QString where = form && form != target ? form->objectName() + u'.' + target->objectName()
                                                     : target->objectName();
        LIB_WriteLogFile(QStringLiteral("界面主题"),
                         QStringLiteral("界面主题 [%1] 设置 %2 的属性 %3 被拒绝：%4（主题只改变窗口的外观）")
                             .arg(m_ID, where, param.name, refused));
        return false;
    }
    // Only a single value can be assigned: no widget property takes index arguments.
    if (param.type == tvtNone || param.values.size() != 1) return false;
    QVariant value = param.values.first();
    if (param.type == tvtPicture) {
        const QString name = QString(param.values.first()).replace(u'\\', u'/');
        const QImage image(blnIsFullPath(name) ? name : strResolvePath(ThemePath, name));
        if (image.isNull()) return false;
        value = image;
    } else if (param.type == tvtRGBColor) {
        value = qlonglong(lngRGBColor(param.values.first()));
    } else if (param.type == tvtStrColor) {
        value = qlonglong(lngStrColor(param.values.first()));
    }
    return setProperty(target, param.name, value);
}

bool cTheme::ApplyTheme() {
    for (const ThemeEntry& e : entries_) {
        QWidget* form = findForm(e.formName);
        if (!form) continue;
        QWidget* target = e.controlName.isEmpty() ? form : findControl(form, e.controlName, e.controlIndex);
        if (!target) continue;
        for (const QList<ThemeParam>* list : {&e.before, &e.apply, &e.after})
            for (const ThemeParam& p : *list)
                blnApplyParam(target, p);
    }
    return true;
}

} // namespace extend
