#include "EditorTestMain.h"

#include <QDir>

namespace eh {

void PrepareTestEnvironment() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt wants a private runtime folder; the tests give it one of their own.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString Runtime = QDir::tempPath() + "/pyx-editor-tests-runtime";
        QDir().mkpath(Runtime);
        QFile::setPermissions(Runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", Runtime.toLocal8Bit());
    }
}

} // namespace eh
