#include "shell/RtfReader.h"

#include "platform/text/CodePage.h"

#include <QColor>
#include <QTextCharFormat>
#include <QHash>
#include <QList>
#include <QStringDecoder>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cctype>

namespace shell {

namespace {

// Destinations whose text is never shown.
bool skippedDestination(const QByteArray& word) {
    static const char* const words[] = {
        "pict",      "info",       "stylesheet", "header",    "headerl",  "headerr",    "headerf",
        "footer",    "footerl",    "footerr",    "footerf",   "object",   "themedata",  "colorschememapping",
        "latentstyles", "datastore", "xmlnstbl", "listtable", "listoverridetable", "rsidtbl", "generator",
        "filetbl",   "revtbl",     "fldinst",    "footnote",  "annotation", "private",  "xe",
        "tc",        "txe",        "bkmkstart",  "bkmkend",   "nonshppict", "shpinst",  "author",
        "operator",  "title",      "subject",    "keywords",  "comment",  "doccomm",    "pgdsctbl"};
    for (const char* w : words)
        if (word == w) return true;
    return false;
}

// The code page of an RTF character set.
int codePageOfCharset(int charset) {
    switch (charset) {
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 204: return 1251;
    case 238: return 1250;
    default: return 1252;
    }
}

QString decode(const QByteArray& bytes, int codePage) {
    if (bytes.isEmpty()) return {};
    if (codePage == 936 || codePage == 54936) return text::fromGb18030(bytes);
    const char* name = nullptr;
    switch (codePage) {
    case 65001: return QString::fromUtf8(bytes);
    case 950: name = "Big5"; break;
    case 932: name = "Shift_JIS"; break;
    case 949: name = "EUC-KR"; break;
    case 1250: name = "windows-1250"; break;
    case 1251: name = "windows-1251"; break;
    case 1253: name = "windows-1253"; break;
    case 1254: name = "windows-1254"; break;
    default: name = "windows-1252"; break;
    }
    QStringDecoder d(name);
    return d.isValid() ? d.decode(bytes) : QString::fromLatin1(bytes);
}

struct State {
    QTextCharFormat format;
    bool skip = false;
    int uc = 1;
    int font = -1;
    enum Table { None, Fonts, Colors } table = None;
};

class Reader {
public:
    Reader(const QByteArray& in, QTextDocument* doc) : in_(in), cursor_(doc) {}

    void run() {
        State base;
        base.format = cursor_.charFormat();
        plain_ = base.format;
        states_.append(base);
        while (pos_ < in_.size()) {
            const char c = in_.at(pos_);
            if (c == '{') {
                flush();
                ++pos_;
                states_.append(states_.last());
                continue;
            }
            if (c == '}') {
                flush();
                ++pos_;
                closeGroup();
                if (states_.size() <= 1) break; // the document's group has ended
                continue;
            }
            if (c == '\\') {
                controlWord();
                continue;
            }
            ++pos_;
            if (c == '\r' || c == '\n') continue;
            if (skipCount_ > 0) {
                --skipCount_;
                continue;
            }
            if (cur().table == State::Fonts) {
                if (c == ';') fontCharsets_.insert(cur().font, fontCharset_);
                continue;
            }
            if (cur().table == State::Colors) {
                if (c == ';') {
                    colors_.append(colorSet_ ? color_ : QColor());
                    color_ = QColor(0, 0, 0);
                    colorSet_ = false;
                }
                continue;
            }
            if (cur().skip) continue;
            pending_.append(c);
        }
        flush();
    }

private:
    State& cur() { return states_.last(); }

    void closeGroup() {
        if (states_.size() > 1) states_.removeLast();
    }

    int codePage() const {
        const int font = states_.last().font;
        if (fontCharsets_.contains(font)) {
            const int charset = fontCharsets_.value(font);
            if (charset != 0 && charset != 1) return codePageOfCharset(charset);
        }
        return codePage_;
    }

    // Decodes the bytes gathered (plain characters and \'hh escapes together,
    // so a double-byte character split over two escapes stays whole).
    void flush() {
        if (pending_.isEmpty()) return;
        const QString text = decode(pending_, codePage());
        pending_.clear();
        write(text);
    }

    void write(const QString& text) {
        if (text.isEmpty() || states_.last().skip || states_.last().table != State::None) return;
        cursor_.insertText(text, states_.last().format);
    }

    void controlWord() {
        ++pos_; // the backslash
        if (pos_ >= in_.size()) return;
        const char c = in_.at(pos_);
        if (!std::isalpha(uchar(c))) {
            ++pos_;
            if (c == '\'') {
                const bool ok = pos_ + 2 <= in_.size();
                const int v = ok ? in_.mid(pos_, 2).toInt(nullptr, 16) : 0;
                pos_ += 2;
                if (skipCount_ > 0) {
                    --skipCount_;
                    return;
                }
                if (cur().table == State::None && !cur().skip) pending_.append(char(v));
                return;
            }
            flush();
            if (skipCount_ > 0) {
                --skipCount_;
                return;
            }
            switch (c) {
            case '\\': case '{': case '}': pending_.append(c); break;
            case '~': write(QString(QChar(0x00A0))); break;
            case '_': write(QStringLiteral("-")); break;
            case '*': cur().skip = true; break;
            case '\r': case '\n': paragraph(); break;
            default: break;
            }
            return;
        }
        const qsizetype start = pos_;
        while (pos_ < in_.size() && std::isalpha(uchar(in_.at(pos_)))) ++pos_;
        const QByteArray word = in_.mid(start, pos_ - start);
        bool hasArg = false;
        int arg = 0;
        const qsizetype numStart = pos_;
        if (pos_ < in_.size() && (in_.at(pos_) == '-' || std::isdigit(uchar(in_.at(pos_))))) {
            ++pos_;
            while (pos_ < in_.size() && std::isdigit(uchar(in_.at(pos_)))) ++pos_;
            arg = in_.mid(numStart, pos_ - numStart).toInt(&hasArg);
        }
        if (pos_ < in_.size() && in_.at(pos_) == ' ') ++pos_; // the delimiter
        if (word == "u") {
            flush();
            if (!cur().skip && cur().table == State::None) write(QString(QChar(ushort(arg < 0 ? arg + 65536 : arg))));
            skipCount_ = cur().uc;
            return;
        }
        if (skipCount_ > 0 && word != "par" && word != "line") {
            --skipCount_;
            return;
        }
        skipCount_ = 0;
        flush();
        apply(word, hasArg, arg);
    }

    void paragraph() {
        if (cur().skip || cur().table != State::None) return;
        cursor_.insertBlock(QTextBlockFormat(), cur().format);
    }

    void apply(const QByteArray& w, bool hasArg, int arg) {
        State& s = cur();
        const bool on = !hasArg || arg != 0;
        if (w == "ansicpg") codePage_ = arg;
        else if (w == "uc") s.uc = std::max(0, arg);
        else if (w == "fonttbl") s.table = State::Fonts;
        else if (w == "colortbl") {
            s.table = State::Colors;
            colors_.clear();
        } else if (skippedDestination(w)) s.skip = true;
        else if (w == "f") {
            s.font = arg;
            if (s.table == State::Fonts) fontCharset_ = 0;
        } else if (w == "fcharset") fontCharset_ = arg;
        else if (w == "red") { color_.setRed(qBound(0, arg, 255)); colorSet_ = true; }
        else if (w == "green") { color_.setGreen(qBound(0, arg, 255)); colorSet_ = true; }
        else if (w == "blue") { color_.setBlue(qBound(0, arg, 255)); colorSet_ = true; }
        else if (w == "par") paragraph();
        else if (w == "line") write(QString(QChar::LineSeparator));
        else if (w == "tab") write(QStringLiteral("\t"));
        else if (w == "cell" || w == "row") write(QStringLiteral("\t"));
        else if (w == "emdash") write(QString(QChar(0x2014)));
        else if (w == "endash") write(QString(QChar(0x2013)));
        else if (w == "lquote") write(QString(QChar(0x2018)));
        else if (w == "rquote") write(QString(QChar(0x2019)));
        else if (w == "ldblquote") write(QString(QChar(0x201C)));
        else if (w == "rdblquote") write(QString(QChar(0x201D)));
        else if (w == "bullet") write(QString(QChar(0x2022)));
        else if (w == "b") s.format.setFontWeight(on ? QFont::Bold : QFont::Normal);
        else if (w == "i") s.format.setFontItalic(on);
        else if (w == "ul") s.format.setFontUnderline(on);
        else if (w == "ulnone") s.format.setFontUnderline(false);
        else if (w == "fs" && hasArg && arg > 0) s.format.setFontPointSize(arg / 2.0);
        else if (w == "cf") {
            if (arg > 0 && arg < colors_.size() && colors_.at(arg).isValid())
                s.format.setForeground(colors_.at(arg));
            else
                s.format.clearForeground();
        } else if (w == "plain") {
            const int font = s.font;
            s.format = plain_;
            s.font = font;
        }
    }

    const QByteArray& in_;
    qsizetype pos_ = 0;
    QTextCursor cursor_;
    QTextCharFormat plain_;
    QList<State> states_;
    QByteArray pending_;
    int skipCount_ = 0;
    int codePage_ = 1252;
    QHash<int, int> fontCharsets_;
    int fontCharset_ = 0;
    QList<QColor> colors_;
    QColor color_ = QColor(0, 0, 0);
    bool colorSet_ = false;
};

} // namespace

bool blnReadRtf(const QByteArray& bytes, QTextDocument* doc) {
    doc->clear();
    if (!bytes.startsWith("{\\rtf")) return false;
    Reader(bytes, doc).run();
    return true;
}

} // namespace shell
