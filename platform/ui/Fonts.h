#pragma once
// Chinese font names the windows ask for ("宋体", "黑体", ...) exist only on the
// desks they were designed on; here they all fall back on the installed CJK
// font. Every font a window builds from a stored or designed name goes through
// mapFontFamily / makeFont.

#include <QFont>
#include <QString>

namespace ui {

// The family actually used for a requested name: a known Chinese family (by its
// Chinese or Latin name, any case) becomes the installed CJK family; any other
// name is returned as given.
QString mapFontFamily(const QString& requested);

// The installed CJK family ("WenQuanYi Micro Hei" when present).
QString cjkFamily();

// A font from a name, a point size and a weight, the name mapped as above.
// A size <= 0 keeps the application's default size.
QFont makeFont(const QString& name, double pointSize, bool bold = false);

// Registers the Chinese names as substitutes of the CJK family with QFont, so
// that fonts set by name anywhere (style sheets included) resolve too. Safe to
// call more than once.
void installFontSubstitutions();

} // namespace ui
