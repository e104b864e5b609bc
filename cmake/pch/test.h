// The shared precompiled header of the test programs: the program's common
// headers and the test framework.
#pragma once

#include "qt.h"

#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
