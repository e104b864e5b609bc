#pragma once
// An interface theme: a folder with "theme.xml" and the pictures it names.
//
// theme.xml (element and attribute names matched by local name, any case):
//   <root id name description version icon pic url>     id required
//     <Form id="frmName">                                 a window by its name
//       <FormTheme> lists </FormTheme>                    the window itself
//       <Controls><Control id="name" index="n"> lists </Control></Controls>
//   lists: <BeforeParam>, <ApplyParam>, <AfterParam> (the first of each), each
//   holding <Property> and <Method> elements with <Name>, <Type> (the last of
//   each counts) and <Value> elements.
//
// Applying sets what the file names, in file order, on the windows loaded at
// that moment (shell::loadedForms()). Properties map to the widgets: BackColor
// and ForeColor (colour numbers 0x00BBGGRR) to the palette, Caption to the
// window title or the control's text, Picture to the icon or pixmap, FontName,
// FontSize, FontBold, FontItalic and FontUnderline to the font, Visible, and
// Left, Top, Width, Height in twips; a few further look-only Qt properties
// (tool tips, placeholder text, alignment, frames, ...) by name. Methods come
// from a short list (Move, Refresh, SetFocus, ZOrder): a theme never closes a
// window or calls anything else. A control array element is named "name_N".
//
// A theme changes how windows look, never what they do: a property that
// would change a control's behaviour or content (Enabled, read-only, the
// password box's echo mode, input masks, validators, window flags, a text
// box's text, any other declared Qt property) is refused and written to the
// daily log.

#include "shell/ShellServices.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

namespace extend {

enum ThemeValueType {
    tvtNone = 0,
    tvtCBool = 1,
    tvtInteger = 2,
    tvtLong = 3,
    tvtString = 4,
    tvtDouble = 5,
    tvtPicture = 6,
    tvtRGBColor = 7,
    tvtStrColor = 8,
    tvtLongColor = 9,
};

struct ThemeParam {
    int kind = 1; // 1 Property, 2 Method
    QString name;
    int type = tvtNone;
    QStringList values;
};

struct ThemeEntry {
    QString formName;
    QString controlName;
    int controlIndex = -1;
    QList<ThemeParam> before;
    QList<ThemeParam> apply;
    QList<ThemeParam> after;
};

class cTheme : public shell::Theme {
public:
    QString Name;
    QString m_ID;
    QString Description;
    QString Version;
    QImage DemoPic; // null: none
    QImage DemoIcon;
    QString UpgradeURL;
    QString ThemePath; // with its trailing separator
    QString ConfigFile;
    bool Selected = false;

    QString ID() const override { return m_ID; }
    // Reads the root attributes; false for a missing or unreadable file, an
    // empty id, or a preview picture or icon that does not load.
    bool Initialize(const QString& strConfigFile);
    // Appends the window entries of the file to the entry list.
    bool LoadTheme() override;
    // Applies the entry list to the loaded windows.
    bool ApplyTheme() override;

    const QList<ThemeEntry>& entries() const { return entries_; }

    static int intValueType(const QString& word);
    // The colour number of "r,g,b" (0 when it does not read).
    static long lngRGBColor(const QString& text);
    // The number the text gives from its third character on, read as hexadecimal (0 when it does not read).
    static long lngStrColor(const QString& text);
    // Why a theme may not set the property on the widget ("" when it may).
    static QString strRefusedProperty(const QWidget* target, const QString& name);
    // Applies one parameter to a widget; false when it had no effect.
    bool blnApplyParam(QWidget* target, const ThemeParam& param) const;

private:
    QList<ThemeEntry> entries_;
};

} // namespace extend
