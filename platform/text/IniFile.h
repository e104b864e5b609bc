#pragma once
// Windows-style INI files and the per-user settings store.
//
// The rules are those of the Windows private-profile services:
// - "[name]" starts a section; "key=value" lines belong to the last section;
//   lines starting with ";" are comments; other lines are keys without value.
// - Section and key names are matched without regard to case, after trimming
//   blanks and tabs (in the file and in the request); the first matching
//   section is the one used, and in it the first matching key.
// - A value is trimmed; a value wholly enclosed in a pair of double or a pair
//   of single quotes loses them.
// - A missing file, section or key, or a key line without "=", gives the
//   default (its trailing blanks removed).
// - Reading through a caller's buffer of `bufferSize` bytes gives at most
//   bufferSize - 1 GBK bytes, never half a double-byte character.
// - Writing replaces the value of the first matching key (keeping its name as
//   spelt in the file), appends a new key after the section's last entry, or
//   appends a new section at the end; every other line stays as it was.
//
// INI files beside the program are "ANSI" files (see AnsiFile.h): read as
// GB18030 unless they carry a UTF-8 mark, written back in the encoding they
// were read in, new files as GB18030, always with CRLF.
//
// The per-user settings store (getSetting/saveSetting, by application name,
// section and key) uses the same rules over one UTF-8 file per application
// name, "<application name in lower case>.ini", in settingsFolder(): the
// folder named by the environment variable CONSIGN_SETTINGS_DIR, else
// "consign-desk" under the user's XDG configuration folder. Folder and files
// are private to the user (0700 / 0600). The store gives back exactly the text
// saved: a value with blanks at either end, or wholly quoted, is written inside
// a pair of double quotes. A line break in any value written is stored as a
// blank, so a value can never add lines (sections, keys) to a file.

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace text {

// An INI text held line by line, so that writing changes only what it must.
class IniDocument {
public:
    IniDocument() = default;
    explicit IniDocument(const QString& text) { setText(text); }

    void setText(const QString& text);
    // Lines joined with "\n" and ended with one (empty document: "").
    QString text() const;
    bool isEmpty() const { return lines_.isEmpty(); }

    // The value of the key, or nothing when the section, the key or its "=" is missing.
    std::optional<QString> value(const QString& section, const QString& key) const;
    // Sets the key's value, creating the key and the section as needed. A
    // section or key name holding a line break, "=" or "]", or a key name
    // starting with "[" or ";", is refused (false, nothing changed): it could
    // not be read back and would add or hide lines.
    bool setValue(const QString& section, const QString& key, const QString& value);

private:
    QStringList lines_;
};

enum class IniEncoding { Ansi, Utf8 };

// Loads an INI file; false when it cannot be read (a missing file is not read).
bool loadIniFile(const QString& path, IniDocument* doc, IniEncoding encoding = IniEncoding::Ansi);

// The value of `key` in `section` of the file, or `defaultValue`, cut to the
// buffer as described above. `copied` (optional) receives the GBK byte count
// of the result, which is 0 for an empty result.
QString getPrivateProfileString(const QString& section, const QString& key,
                                const QString& defaultValue, int bufferSize, const QString& path,
                                int* copied = nullptr);
// Writes `value` for `key` in `section` of the file, creating the file, the
// section and the key as needed. False when the file cannot be written or a
// name is refused (see IniDocument::setValue); the file then stays as it was.
bool writePrivateProfileString(const QString& section, const QString& key, const QString& value,
                               const QString& path);

// The per-user settings store.
QString settingsFolder();
QString settingsFile(const QString& appName);
QString getSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& defaultValue = QString());
bool saveSetting(const QString& appName, const QString& section, const QString& key,
                 const QString& value);
// Several keys of one section in one write: all are stored or none.
bool saveSettings(const QString& appName, const QString& section,
                  const QList<std::pair<QString, QString>>& values);
// A stored truth value: "True" or "False" in any case, or a number (true when
// not zero), blanks around it ignored. False when the text is neither (*value
// then stays as it was).
bool parseSettingBool(const QString& text, bool* value);

} // namespace text
