#pragma once
// Builds MARC records (ISO 2709, positions in GBK bytes) for the demo library,
// the tests and the benchmarks, and writes the demo records as SQL.
//
// Regenerate the committed demo file with:
//   cmake --build <build dir> --target marc_demo_sql
//   <build dir>/bench/marc_demo_sql db/demo/20_marc.sql

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <random>

namespace marcdemo {

// One subfield: mark, code, value.
QString sf(char code, const QString& value);
// A field embedded in a linking field: "$1", tag, indicators, subfields.
QString embedded(const QString& tag, const QString& ind, const QString& subfields);

class MarcBuilder {
public:
    MarcBuilder& control(const QString& tag, const QString& value);
    MarcBuilder& data(const QString& tag, const QString& ind, const QString& subfields);
    // The whole record: leader, directory, fields, record end; record length,
    // base address, field lengths and starts counted in GBK bytes.
    QString text() const;
    QByteArray gbk() const;

private:
    struct Field {
        QString tag;
        QString body;
    };
    QVector<Field> fields_;
};

struct DemoTitle {
    QString no;
    QString marcType; // "C" CNMARC, "U" USMARC
    QString lang;
    QString country;
    QString docType;
    QString callNo;
    int pieceChars = 2000; // characters per marc_data column
    QString text;          // the record
};

// The demo records: Chinese records with repeated fields and an embedded
// field, English records, a record split over several data rows.
QVector<DemoTitle> demoTitles();

// Stop words and index parameters as db/seed/20_marc.sql loads them; the
// generator prepares its index keys with them.
void loadSeedParameters();

// Index keys of a record: (group, key) pairs, prepared as a search prepares
// what a worker types.
QVector<QPair<QString, QString>> indexKeys(const DemoTitle& t);
// A search key for index group `group`.
QString prepareKey(const QString& group, const QString& value);

// The SQL file with marc, marc_data and marc_idx rows of the demo records.
QString demoSql();

// A random record for benchmarks and tests: CNMARC, 10-30 fields, repeated
// tags, Chinese and ASCII text.
QByteArray randomRecord(std::mt19937& rng);

} // namespace marcdemo
