#pragma once
// The bibliographic look-up over the demo library of the test database: code
// caches and index parameters loaded, the index groups of the shipped
// BM_MarcIDX.ini in the program folder, and record 0000000006 (植物学基础) with
// the rows of every information tab.

#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basEnv.h"
#include "common/basMarcIdx.h"
#include "common/basMsg.h"
#include "tests/support/TestDatabase.h"

#include <QDir>
#include <QFile>

class BiblioTest : public testsupport::DatabaseTest {
protected:
    static inline const QString kRecord = QStringLiteral("0000000006");

    void SetUp() override
    {
        testsupport::DatabaseTest::SetUp();
        ASSERT_EQ(intInitBaseData(), 0);
        ASSERT_EQ(intLoadBaseCode(), 0);
        ASSERT_EQ(intInitMarcIdx(), 0);
        installIdxIni();
    }

    // The shipped parameter file in the program folder, and its groups loaded
    // as the log-in loads them.
    static void installIdxIni()
    {
        const QString source = qEnvironmentVariable("CONSIGN_SOURCE_DIR")
            + QStringLiteral("/resources/CFG/BM/BaseParam/BM_MarcIDX.ini");
        QDir().mkpath(varGetSysInfo(17).toString());
        QFile::remove(strMarcIdxIniFile());
        ASSERT_TRUE(QFile::copy(source, strMarcIdxIniFile()));
        g_arrIdxGroup = varReadIdxGroups(strMarcIdxIniFile(), 21);
        g_intIdxGroupCount = int(g_arrIdxGroup.size());
    }

    static int groupIndex(const QString& code)
    {
        for (int i = 0; i < g_intIdxGroupCount; ++i) {
            if (g_arrIdxGroup[i].code == code)
                return i;
        }
        return -1;
    }

    // "Today" of the demo's relative rows: the day the template was built.
    QString demoToday()
    {
        return db().scalar(QStringLiteral("select to_char(relegate_end_date::date + 1, 'YYYY-MM-DD') from relegate_lst "
                                          "where cert_id = 'BZ01' and call_no = 'Q94/Z53' and location = 'A1'"));
    }
    static QString msg(const QString& code) { return strGetMsg(code); }
};
