#pragma once
// Summary lines of a list of bibliographic records (hit lists, histories),
// from the summary columns of table marc.

#include "common/DBResultSet.h"

#include <QString>
#include <QVector>

struct BookSumEntry {
    QString marc_rec_no;
    QString doc_type_code;
    QString marc_use_flag;
    QString marc_type;
    QString lang_code;
    QString country_code;
    QString call_no;
    QString title;
    QString author;
    QString publisher;
    QString pub_year;
    QString isbn;
};

// Entries 0..n-1 hold the rows, entry n stays empty.
extern QVector<BookSumEntry> g_arrBookSum;

// The summary query of the records that `selection` selects, as it is sent
// (under wide storage every summary column comes as a dump).
QString strMarcListSQL(const QString& selection);
// The same query over every record, to join to a list of record numbers
// ("... JOIN (<this>) s ON s.marc_rec_no = ..."): the columns as above,
// MARC_REC_NO first and never a dump.
QString strMarcListTableSQL();
// The summary list of that query's rows (dumps decoded), the spare entry last.
QVector<BookSumEntry> arrMarcListOf(const DBResultSet& rs);

// Loads the summaries of every record that `selection` (a statement returning
// record numbers in its only column) selects. A failed query is reported and
// leaves the list as it was. `source` 0 = table marc.
void subLoadMarcList(const QString& selection, int source = 0);
// Index of the first entry of the record, or -1 when it is not in the list.
int intFindMarcInList(const QString& no);
