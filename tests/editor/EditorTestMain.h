#pragma once

#include "PyxApplication.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace eh {

// What every editor test program does before its tests: the offscreen platform unless another is asked for, and
// QSettings pointed at a temporary folder for the whole run, so that no test reads or writes the user's settings
// even before it makes private settings of its own.
void PrepareTestEnvironment();

} // namespace eh

// The main of an editor test program: the tests of class TestClass run under the editor's application object,
// whose notify hands exceptions that leave event handlers to the unhandled-exception handler.
#define PYX_EDITOR_TEST_MAIN(TestClass)                                                                                \
    int main(int argc, char** argv) {                                                                                  \
        eh::PrepareTestEnvironment();                                                                                  \
        TPyxApplication Application(argc, argv);                                                                       \
        QTemporaryDir RunSettings;                                                                                     \
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, RunSettings.path());                            \
        QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, RunSettings.path() + "/system");              \
        TestClass Test;                                                                                                \
        return QTest::qExec(&Test, argc, argv);                                                                        \
    }
