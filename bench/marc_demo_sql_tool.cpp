// Writes the demo MARC records as SQL (db/demo/20_marc.sql):
//   marc_demo_sql <output file>
#include "bench/MarcDemoGen.h"

#include <QFile>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: marc_demo_sql <output.sql>\n");
        return 2;
    }
    QFile f(QString::fromLocal8Bit(argv[1]));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    f.write(marcdemo::demoSql().toUtf8());
    return f.error() == QFile::NoError ? 0 : 1;
}
