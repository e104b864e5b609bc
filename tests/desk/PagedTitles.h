#pragma once
// Titles of the tests' own for searches that find more than a page of them:
// records PGD0001.. with the call numbers ZPG/0001.. (a prefix no other test
// searches), titled "PAGED 0001" by "AUTHOR 0001", published by "PRESS 0001".

#include "bench/MarcDemoGen.h"
#include "common/basDB.h"
#include "tests/support/TestDatabase.h"

#include <QStringList>

inline void addPagedTitles(int count)
{
    QStringList marc, data, calls;
    for (int n = 1; n <= count; ++n) {
        const QString k = QString::number(n).rightJustified(4, QLatin1Char('0'));
        marcdemo::MarcBuilder b;
        b.control(QStringLiteral("001"), QStringLiteral("PGD") + k);
        b.data(QStringLiteral("200"), QStringLiteral("1 "),
               marcdemo::sf('a', QStringLiteral("PAGED ") + k) + marcdemo::sf('f', QStringLiteral("AUTHOR ") + k));
        b.data(QStringLiteral("210"), QStringLiteral("  "), marcdemo::sf('c', QStringLiteral("PRESS ") + k));
        marc << QStringLiteral("('PGD%1', 'C', '1', 'ZPG/%1', 'PAGED %1')").arg(k);
        data << QStringLiteral("('PGD%1', 1, %2)").arg(k, strSQLQuote(b.text()));
        calls << QStringLiteral("('ZPG/%1', 'PGD%1', '01', '1')").arg(k);
    }
    auto& db = testsupport::TestDatabase::instance();
    db.exec("insert into marc (marc_rec_no, marc_type, marc_use_flag, m_call_no, m_title) values " + marc.join(u','));
    db.exec("insert into marc_data (marc_rec_no, data_serial, marc01) values " + data.join(u','));
    db.exec("insert into call_no_lst (call_no, marc_rec_no, circ_type_code, lend_grd) values " + calls.join(u','));
}
