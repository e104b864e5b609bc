#pragma once
// MARC records (ISO 2709) as the catalogue stores them: the header codes of
// table marc, the record text split over the rows of marc_data, and the schema
// probes run right after every connect.
//
// Every position and length inside a record (leader, directory, field starts)
// counts bytes of the record text in the GBK code page; a character GBK cannot
// encode counts one byte.

#include "common/DBResultSet.h"

#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <QString>
#include <QVector>

#include <functional>

namespace oradb { class Dynaset; }

inline constexpr char MARC_SUBFIELD_MARK = 31;
inline constexpr char MARC_FIELD_END = 30;
inline constexpr char MARC_RECORD_END = 29;

struct MarcDirEntry {
    QString tag;     // three characters
    long start = 0;  // offset of the field in the data part, from 0
    long length = 0; // field length, its terminator included
};

struct MarcRecord {
    int intFirst = 0;
    QString marc_rec_no;
    QString marc_type;     // fixed 1
    QString doc_type_code; // fixed 2
    QString lang_code;     // fixed 3
    QString country_code;  // fixed 2
    QString marc_use_flag; // fixed 1
    QString cata_oper;     // fixed 4
    QString cata_date;     // fixed 10
    QString leader;        // fixed 24
    int count = 0;
    QVector<MarcDirEntry> directory; // entries 0..count-1, entry count stays empty
    QByteArray data;                 // GBK bytes of the data part, record end included
    int intLast = 0;
    // Why the record text could not be taken apart; empty when it could (or
    // when nothing was read). A record with an error has count 0.
    QString error;
};

// The record a window read last; the field getters work on it.
extern MarcRecord g_recMarc;

// ---- schema probes (run by LIB_DB_Connect right after opening) --------------

// The probes' queries, in their order (to be read ahead with the start-up's).
QStringList strMarcSchemaProbeSQLs();
bool blnProbeMarcDataWide();
int intProbeIdxContLen();
bool blnProbeClassSerial();
// Runs the three probes in order and stores g_intMarc03, g_intIdxContLen and
// g_intClassSerialCols. Returns 0, or -1 when a probe failed (the pending
// error then tells why; the connect must fail).
int intRunMarcSchemaProbes();

// ---- queries ----------------------------------------------------------------

// LIB_DB_Select; under wide storage, text cells holding a hexadecimal dump
// ("Typ=..." or "NULL") are decoded.
int intDBSelectDump(const QString& sql, DBResultSet& result);
// Under wide storage, decodes the dumps of a result read otherwise (a batch).
void subDecodeDumps(DBResultSet& rs);
// The summary-list query: under wide storage `sql` is first rewritten so that
// every summary column comes as a dump (the rewritten text is written back).
int intDBSelectMarc(QString& sql, DBResultSet& result);
// The rewrite intDBSelectMarc applies under wide storage.
QString strMarcSelectToDump(const QString& sql);

// Decodes a hexadecimal dump of UTF-16 (big-endian) bytes: "Typ=1 Len=4: 0,41,4e,2d".
QString strDumpToText(const QString& dump);

// Substring by GBK byte positions: the characters covering bytes
// start..start+length-1 (start from 1; a negative length runs to the end).
QString strMidBytes(const QString& text, long start, int length);

// ---- reading ----------------------------------------------------------------

// Reads record `no` from marc and marc_data. Never shows a message: a failed
// query or an unreadable text gives a record with count 0; an unreadable text
// sets `error` and writes it to the daily log.
MarcRecord strReadMarc(const QString& no);
// The records of several numbers in one query, as strReadMarc reads each (a
// number without pieces gives the unreadable record; a failed query none).
QHash<QString, MarcRecord> mapReadMarcs(const QStringList& nos);
// The query behind it for a list of quoted numbers or a sub-query giving
// them, to send with other statements; mapMarcsOf reads its rows (the
// numbers of `wanted`, or every number found when it is empty).
QString strMarcPageSQL(const QString& numbers);
QHash<QString, MarcRecord> mapMarcsOf(oradb::Dynaset& rows, const QStringList& wanted = {});
// The same, each record handed to `each` with its number as it is taken
// apart instead of being kept (the reasons of the unreadable ones are logged
// once all are read).
void subEachMarcOf(oradb::Dynaset& rows, const QStringList& wanted,
                   const std::function<void(const QString&, const MarcRecord&)>& each);
// The rows of the records of `numbers` with their columns in a fixed order
// (the number, the piece's serial, its three texts, the header's seven
// cells) after `leading` (the caller's own columns, with their commas), in
// no particular order: for a query that returns them with rows of another
// kind. The overload of subEachMarcOf below reads them from row `fromRow`
// on, their first column at `firstColumn`.
QString strMarcColumnsSQL(const QString& numbers, const QString& leading);
inline constexpr int kMarcColumns = 12;
void subEachMarcOf(oradb::Dynaset& rows, long fromRow, int firstColumn, const QStringList& wanted,
                   const std::function<void(const QString&, const MarcRecord&)>& each);
// The records of `wanted` from a strMarcPageSQL query, taken from the reads
// sent ahead (LIB_DB_ReadAhead) when it is among them, else asked alone.
QHash<QString, MarcRecord> mapReadMarcsOf(const QString& pageSQL, const QStringList& wanted);

// Takes apart a record text in GBK bytes into leader, directory and data (a
// missing record end is added). Reads tolerantly: the leader's record length
// is not used, numbers are read from their leading digits, and a position
// inside a double-byte character cuts the bytes there. Fails only when the
// text cannot be read: shorter than a leader, a base address that gives no
// directory, a directory or an entry reaching past the record, or entries
// without any field terminator in the data. Returns 0, or -1 with rec.error
// set and leader, directory and data cleared; never reads outside `text`.
int intParseMarcText(const QByteArray& text, MarcRecord& rec);
