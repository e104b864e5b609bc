#include "platform/text/IniFile.h"

#include "platform/text/AnsiFile.h"
#include "platform/text/CodePage.h"
#include "platform/text/FileSet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace text {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView trimBlanks(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.sliced(b, e - b);
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Section name of a header line, or nothing for any other line.
std::optional<QStringView> sectionOf(QStringView line)
{
    const QStringView t = trimBlanks(line);
    if (!t.startsWith(u'['))
        return std::nullopt;
    qsizetype end = t.indexOf(u']');
    if (end < 0)
        end = t.size();
    return trimBlanks(t.sliced(1, end - 1));
}

struct Entry {
    QStringView name;
    std::optional<QStringView> value;
};

// Key line (not a header, comment or blank line): its name and raw value.
std::optional<Entry> entryOf(QStringView line)
{
    const QStringView t = trimBlanks(line);
    if (t.isEmpty() || t.startsWith(u'[') || t.startsWith(u';'))
        return std::nullopt;
    const qsizetype eq = t.indexOf(u'=');
    if (eq < 0)
        return Entry{t, std::nullopt};
    return Entry{trimBlanks(t.first(eq)), trimBlanks(t.sliced(eq + 1))};
}

QString unquote(QStringView v)
{
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        return v.sliced(1, v.size() - 2).toString();
    return v.toString();
}

// Index range [first, end) of the first section with that name: first is the
// header line; nothing when the section is absent.
std::optional<std::pair<qsizetype, qsizetype>> findSection(const QStringList& lines,
                                                           QStringView section)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto name = sectionOf(lines[i]);
        if (!name || !sameName(*name, section))
            continue;
        qsizetype end = i + 1;
        while (end < lines.size() && !sectionOf(lines[end]))
            ++end;
        return std::make_pair(i, end);
    }
    return std::nullopt;
}

// A section or key name that would change the shape of the file: a line
// break, "=" or "]" in it, or a key that would read as a header or a comment.
bool unwritableName(QStringView name, bool key)
{
    for (const QChar c : name) {
        if (c == u'\r' || c == u'\n' || c == u'=' || c == u']')
            return true;
    }
    const QStringView t = trimBlanks(name);
    return key && (t.startsWith(u'[') || t.startsWith(u';'));
}

// A value must stay on its own line.
QString oneLine(const QString& v)
{
    QString out = v;
    out.replace(u'\r', u' ').replace(u'\n', u' ');
    return out;
}

bool saveDocument(const QString& path, const IniDocument& doc, IniEncoding encoding,
                  FileEncoding ansiEncoding, bool privateFile)
{
    QByteArray bytes;
    if (encoding == IniEncoding::Utf8)
        bytes = toCrlf(doc.text()).toUtf8();
    else if (ansiEncoding == FileEncoding::Utf8Bom)
        bytes = QByteArray("\xEF\xBB\xBF") + toCrlf(doc.text()).toUtf8();
    else
        bytes = toGb18030(toCrlf(doc.text()));
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    if (privateFile)
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (f.write(bytes) != bytes.size())
        return false;
    if (!f.commit())
        return false;
    if (privateFile)
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return true;
}

bool loadDocument(const QString& path, IniDocument* doc, IniEncoding encoding,
                  FileEncoding* ansiEncoding)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = f.readAll();
    if (encoding == IniEncoding::Utf8) {
        QByteArrayView v(bytes);
        if (v.startsWith("\xEF\xBB\xBF"))
            v = v.sliced(3);
        doc->setText(QString::fromUtf8(v));
    } else {
        doc->setText(decodeAnsi(bytes, ansiEncoding));
    }
    return true;
}

} // namespace

void IniDocument::setText(const QString& text)
{
    lines_ = text.split(u'\n');
    if (!lines_.isEmpty() && lines_.last().isEmpty())
        lines_.removeLast();
    for (QString& l : lines_) {
        if (l.endsWith(u'\r'))
            l.chop(1);
    }
}

QString IniDocument::text() const
{
    if (lines_.isEmpty())
        return {};
    return lines_.join(u'\n') + u'\n';
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const
{
    if (unwritableName(section, false) || unwritableName(key, true))
        return std::nullopt;
    const QStringView wantSection = trimBlanks(section);
    const QStringView wantKey = trimBlanks(key);
    const auto range = findSection(lines_, wantSection);
    if (!range)
        return std::nullopt;
    for (qsizetype i = range->first + 1; i < range->second; ++i) {
        const auto e = entryOf(lines_[i]);
        if (!e || !sameName(e->name, wantKey))
            continue;
        if (!e->value)
            return std::nullopt;
        return unquote(*e->value);
    }
    return std::nullopt;
}

bool IniDocument::setValue(const QString& section, const QString& key, const QString& value)
{
    if (unwritableName(section, false) || unwritableName(key, true))
        return false;
    const QString wantSection = trimBlanks(section).toString();
    const QString wantKey = trimBlanks(key).toString();
    const QString v = oneLine(value);
    const auto range = findSection(lines_, wantSection);
    if (!range) {
        if (!lines_.isEmpty() && !trimBlanks(lines_.last()).isEmpty())
            lines_.append(QString());
        lines_.append(u'[' + wantSection + u']');
        lines_.append(wantKey + u'=' + v);
        return true;
    }
    qsizetype last = range->first; // last non-blank line of the section
    for (qsizetype i = range->first + 1; i < range->second; ++i) {
        if (!trimBlanks(lines_[i]).isEmpty())
            last = i;
        const auto e = entryOf(lines_[i]);
        if (e && sameName(e->name, wantKey)) {
            lines_[i] = e->name.toString() + u'=' + v;
            return true;
        }
    }
    lines_.insert(last + 1, wantKey + u'=' + v);
    return true;
}

bool loadIniFile(const QString& path, IniDocument* doc, IniEncoding encoding)
{
    return loadDocument(path, doc, encoding, nullptr);
}

QString getPrivateProfileString(const QString& section, const QString& key,
                                const QString& defaultValue, int bufferSize, const QString& path,
                                int* copied)
{
    IniDocument doc;
    std::optional<QString> v;
    if (loadIniFile(path, &doc))
        v = doc.value(section, key);
    QString result;
    if (v) {
        result = *v;
    } else {
        result = defaultValue;
        while (!result.isEmpty() && result.back() == u' ')
            result.chop(1);
    }
    result = bufferSize > 0 ? gbkLeft(result, bufferSize - 1) : QString();
    if (copied)
        *copied = static_cast<int>(gbkLength(result));
    return result;
}

bool writePrivateProfileString(const QString& section, const QString& key, const QString& value,
                               const QString& path)
{
    // Read, change and write back under the file's lock: a key that another
    // program writes meanwhile is not lost.
    const FileLock lock(lockFileFor(path));
    if (!lock.locked())
        return false;
    IniDocument doc;
    FileEncoding enc = FileEncoding::Gb18030;
    if (QFileInfo::exists(path) && !loadDocument(path, &doc, IniEncoding::Ansi, &enc))
        return false;
    if (!doc.setValue(section, key, value))
        return false;
    return saveDocument(path, doc, IniEncoding::Ansi, enc, false);
}

QString settingsFolder()
{
    const QString env = qEnvironmentVariable("CONSIGN_SETTINGS_DIR");
    if (!env.isEmpty())
        return QDir::cleanPath(env);
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/consign-desk");
}

QString settingsFile(const QString& appName)
{
    QString name = appName.trimmed().toLower();
    name.replace(u'/', u'_').replace(u'\\', u'_');
    if (name.isEmpty() || name.startsWith(u'.'))
        name.prepend(u'_');
    return settingsFolder() + u'/' + name + QStringLiteral(".ini");
}

QString getSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& defaultValue)
{
    IniDocument doc;
    if (!loadIniFile(settingsFile(appName), &doc, IniEncoding::Utf8))
        return defaultValue;
    return doc.value(section, key).value_or(defaultValue);
}

bool saveSetting(const QString& appName, const QString& section, const QString& key,
                 const QString& value)
{
    return saveSettings(appName, section, {{key, value}});
}

bool saveSettings(const QString& appName, const QString& section,
                  const QList<std::pair<QString, QString>>& values)
{
    const QString folder = settingsFolder();
    if (!QDir().mkpath(folder))
        return false;
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                      | QFileDevice::ExeOwner);
    const QString path = settingsFile(appName);
    const FileLock lock(lockFileFor(path));
    if (!lock.locked())
        return false;
    IniDocument doc;
    if (QFileInfo::exists(path) && !loadIniFile(path, &doc, IniEncoding::Utf8))
        return false;
    for (const auto& [key, value] : values) {
        // The store gives back exactly what was saved: a value that reading
        // would trim or unquote travels inside a pair of double quotes.
        QString stored = value;
        const bool trimmed = !value.isEmpty() && (isBlank(value.front()) || isBlank(value.back()));
        const bool quoted = value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
                            && value.back() == value.front();
        if (trimmed || quoted)
            stored = u'"' + value + u'"';
        if (!doc.setValue(section, key, stored))
            return false;
    }
    return saveDocument(path, doc, IniEncoding::Utf8, FileEncoding::Gb18030, true);
}

bool parseSettingBool(const QString& text, bool* value)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
        *value = true;
        return true;
    }
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
        *value = false;
        return true;
    }
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (ok)
        *value = d != 0;
    return ok;
}

} // namespace text
