#pragma once
// cProfile: one INI file read and written key by key.
//
// Bind the object to a file with ReadFile(path) (which also tells whether the
// file exists) or setFile(); then GetValueS / GetValueI / SetValue any number
// of times. KeyName is the section, ValueName the key. Every call reads or
// writes the file anew, so changes by others are seen at once.
//
// Values travel through a 255-byte buffer: a value read is at most 254 GBK
// bytes long. A missing file, section or key and an empty value all give the
// default. GetValueI reads a 16-bit integer: a fraction goes to the nearest
// integer (a half to the even one); a text that is not a number, or one out
// of -32768..32767, gives 0, not the default. An object whose file was never
// set reads only defaults and writes nothing. Nothing is reported or logged.

#include <QString>

class cProfile {
public:
    QString File() const { return file_; }
    void setFile(const QString& path) { file_ = path; }

    // Nonzero when the value was written, 0 when not. The fourth argument is
    // accepted for callers that pass one; it changes nothing.
    int SetValue(const QString& KeyName, const QString& ValueName, const QString& Value,
                 bool unused = false);
    // Binds the object to the path; true when a file exists there.
    bool ReadFile(const QString& path);
    // True when the bound file exists.
    bool Read() const;
    QString GetValueS(const QString& KeyName, const QString& ValueName,
                      const QString& DefaultValue) const;
    int GetValueI(const QString& KeyName, const QString& ValueName, int DefaultValue) const;

private:
    QString file_;
};
