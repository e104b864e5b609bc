#pragma once
// Cataloguing parameters: the index parameters, title items and stop words of
// the database, the search index groups of the parameter file BM_MarcIDX.ini,
// and the routines that turn what a worker types into a search key.

#include <QString>
#include <QStringList>
#include <QVector>

#include <array>

struct IdxGroupEntry {
    QString code;
    QString caption;
    int number = 0; // optional third part of the value, 0 when absent
};

struct IdxParaEntry {
    QString grp;       // group code, fixed 2
    QString marc_field; // item list
    QString grp_name;
    int stopword_flag = 0;
};

struct FoldLetterEntry {
    QString replacement;
    QString letters;
};

// Search index groups, in key order.
extern QVector<IdxGroupEntry> g_arrIdxGroup;
extern int g_intIdxGroupCount;

// Index parameters: [row][format 0-3], use type 0 (search groups) and 1
// (display items); g_intIdxParaMax is the largest row count met.
extern QVector<std::array<IdxParaEntry, 4>> g_arrIdxParaUse0;
extern QVector<std::array<IdxParaEntry, 4>> g_arrIdxParaUse1;
extern int g_intIdxParaMax;
// Title items of CNMARC and USMARC records, in serial order, then one "".
extern QVector<QString> g_arrTitleFieldCn;
extern QVector<QString> g_arrTitleFieldUs;
// Stop words: 0 words (upper case, comma list), 1 texts (comma list),
// 2 and 3 characters.
extern QString g_arrStopword[4];
extern FoldLetterEntry g_arrFoldLetters[15];

// Loads the index parameters, title items and stop words (once, at log-in).
int intInitMarcIdx();
// The texts intInitMarcIdx reads, in its order (to be read ahead together).
QStringList strMarcIdxSQLs();

// The parameter file: BM_MarcIDX.ini in the cataloguing parameter folder.
QString strMarcIdxIniFile();
// One index group from its value in the parameter file: caption ":" code
// [":" number]. The only parser of these values.
IdxGroupEntry varParseIdxGroup(const QString& value);
// The groups of section "使用检索途径" of `file`: keys "001", "002", ... up
// to the first missing or empty key, at most `maxKeys` of them (0: no limit).
QVector<IdxGroupEntry> varReadIdxGroups(const QString& file, int maxKeys = 0);
// Reloads g_arrIdxGroup from the parameter file; a missing file, section or
// first key leaves it as it is. g_intIdxGroupCount is not changed.
void varLoadMarcIdxIni();

// Whether the CNMARC search group `code` takes stop-word normalisation.
bool blnMarcTagFlag(const QString& code);
QString strNormalizeKey(const QString& key);
// ISBN-13 (978) to its hyphenated ten-digit form, ISSN (977) to dddd-ddd;
// other texts (979 numbers included) unchanged.
QString strGetIsbn(const QString& text);
// "\XXXX" per UTF-16 unit, for national-character key literals; NUL and lone
// surrogates, which no statement can carry, are left out.
QString strToHexEscape(const QString& text);
QString strFoldLetters(const QString& text);
// The key a search compares with marc_idx.marc_idx_cont for what a worker
// typed in index group `group`: trimmed and upper-cased, an ISBN ("05")
// rewritten, stop words removed where the group asks for it, blanks beside
// Chinese characters dropped (groups not beginning with "9"), letters folded,
// cut to the key width g_intIdxContLen; "%" appended for a prefix search.
QString strPrepareIdxKey(const QString& group, const QString& typed, bool prefix = false);
