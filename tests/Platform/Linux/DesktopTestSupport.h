#pragma once

#include "support/TemporaryFolder.h"

#include <QCoreApplication>

#include <string>

namespace kestrove::testing_support {

// The Qt event loop that the platform services report through; one per test program.
inline void ensureApplication()
{
    static int argc = 1;
    static char name[] = "kestrove_platform_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        new QCoreApplication(argc, argv);
    }
}

using kestrove::TemporaryFolder;

} // namespace kestrove::testing_support
