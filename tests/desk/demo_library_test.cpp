// The demo library every test database is cloned from keeps the invariants of
// the circulation and money records (tests/invariants.sql), apart from the
// exceptions that file names.

#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

namespace {

class DemoLibraryTest : public testsupport::DatabaseTest {};

TEST_F(DemoLibraryTest, FreshCloneBreaksNoInvariant)
{
    db().recreate();
    const QStringList broken = db().invariantViolations();
    EXPECT_TRUE(broken.isEmpty()) << broken.join("; ").toStdString();
}

} // namespace
