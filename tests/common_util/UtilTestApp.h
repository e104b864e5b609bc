#pragma once
// These tests use widgets and event loops; the shared test main may provide
// only a core application or none. One is made before the first test runs.

#include <QApplication>

#include <gtest/gtest.h>

namespace utiltest {

class AppEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char arg0[] = "util_test";
            static char* argv[] = {arg0, nullptr};
            new QApplication(argc, argv);
        }
    }
};

inline const bool kAppRegistered = (::testing::AddGlobalTestEnvironment(new AppEnvironment), true);

} // namespace utiltest
