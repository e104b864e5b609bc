#include "reader/ReaderContext.h"

QString g_strCertID;
double g_dblExceedFine = 0.0;
QString g_strRedrID;
int g_intAutoQuery = 0;
int g_intRedrSearchOn = 0;
