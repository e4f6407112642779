// pyxpregame: the Pyx Pregame Editor. It reads no arguments; its settings live with QSettings (see
// EditorSettings.h).

#include "KroExceptAdapter.h"
#include "PyxApplication.h"
#include "frmMainUnit.h"

int main(int argc, char** argv) {
    InstallCrashReporter();
    TPyxApplication Application(argc, argv);
    TfrmMain frmMain;
    frmMain.show();
    return Application.exec();
}
