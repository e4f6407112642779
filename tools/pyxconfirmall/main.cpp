// pyxconfirmall: copies a data folder, loads the copy in the editor's main window (offscreen), and on every tab
// whose frame is built lists every entity, focuses each in turn and presses "Confirm Changes" without touching a
// control; then saves through Save Data. A Confirm with no edits must change nothing, so the folder it writes is
// the one pyxroundtrip writes for the same options, byte for byte.

#include "ModalAnswerer.h"

#include "DataFolder.h"
#include "PyxApplication.h"
#include "PyxDatabase.h"
#include "PyxEditorFrame.h"
#include "PyxListModel.h"
#include "PyxListView.h"
#include "PyxSearch.h"
#include "UnhandledException.h"
#include "frameClubUnit.h"
#include "frmMainUnit.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr const char* UsageText =
    "usage: pyxconfirmall [--no-languages] [--no-histories] IN_DIR OUT_DIR\n"
    "  copies IN_DIR to OUT_DIR (created when missing), loads OUT_DIR in the editor's main window offscreen, confirms\n"
    "  every entity of every tab without an edit, saves through Save Data, and prints each tab's count\n"
    "  (on stderr also the number of squad pages confirmed with the clubs)\n"
    "  --no-languages  load only the default language (the Load All Languages option off)\n"
    "  --no-histories  load no playing histories (the Load Playing Histories option off)\n"
    "  --help          print this text\n";

int Refuse(const std::string& Reason) {
    std::cerr << "pyxconfirmall: " << Reason << '\n' << UsageText;
    return 2;
}

int Fail(const TExceptionDescription& Failure, const std::string& Doing) {
    std::cerr << Failure.ClassName << ": " << Failure.Message << '\n'
              << "pyxconfirmall: failed while " << Doing << '\n';
    return 1;
}

// The editor's warnings about the offscreen platform are of no interest here; errors still go out.
void QuietMessages(QtMsgType Type, const QMessageLogContext&, const QString& Message) {
    if (Type == QtCriticalMsg || Type == QtFatalMsg)
        std::cerr << Message.toStdString() << '\n';
}

// Copies the regular files of In into Out; an error names the folder.
std::string CopyFolder(const std::string& In, const std::string& Out) {
    std::error_code Ec;
    if (!fs::is_directory(In, Ec))
        return "cannot load " + In + ": no such folder";
    fs::create_directories(Out, Ec);
    if (Ec || !fs::is_directory(Out))
        return "cannot use " + Out + ": " + (Ec ? Ec.message() : std::string("not a folder"));
    for (const auto& Entry : fs::directory_iterator(In, Ec)) {
        if (!Entry.is_regular_file())
            continue;
        fs::copy_file(Entry.path(), fs::path(Out) / Entry.path().filename(), fs::copy_options::overwrite_existing, Ec);
        if (Ec)
            return "cannot copy " + Entry.path().string() + " to " + Out + ": " + Ec.message();
    }
    return Ec ? "cannot read " + In + ": " + Ec.message() : std::string();
}

// Lists every entity of Frame's kind and confirms each, unedited; returns how many. A club is confirmed with all its
// squad pages, which Squads counts: the files alone cannot show that the pages were there to be confirmed, since an
// unedited page writes nothing.
int ConfirmAll(TPyxEditorFrame& Frame, int& Squads) {
    Frame.SearchEdit()->clear();
    Frame.btnSearchClick();
    const int Count = Frame.Search()->Model().Count();
    auto* Clubs = dynamic_cast<TframeClub*>(&Frame);
    for (int Row = 0; Row < Count; ++Row) {
        Frame.List()->FocusRow(Row);
        Frame.ConfirmButton()->click();
        if (Clubs != nullptr)
            Squads += Clubs->SquadCount();
    }
    return Count;
}

} // namespace

int main(int argc, char** argv) {
    bool AllLanguages = true, Histories = true;
    std::string In, Out;
    for (int I = 1; I < argc; ++I) {
        const std::string Arg = argv[I];
        if (Arg == "--help" || Arg == "-h") {
            std::cout << UsageText;
            return 0;
        } else if (Arg == "--no-languages")
            AllLanguages = false;
        else if (Arg == "--no-histories")
            Histories = false;
        else if (!Arg.empty() && Arg[0] == '-')
            return Refuse("unknown option " + Arg);
        else if (In.empty())
            In = Arg;
        else if (Out.empty())
            Out = Arg;
        else
            return Refuse("two folders only, not also " + Arg);
    }
    if (In.empty() || Out.empty())
        return Refuse(In.empty() ? "no IN_DIR given" : "no OUT_DIR given");
    if (const std::string Problem = CopyFolder(In, Out); !Problem.empty()) {
        std::cerr << "pyxconfirmall: " << Problem << '\n';
        return 1;
    }

    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietMessages);
    TPyxApplication Application(argc, argv);
    // Settings of its own, so that the user's are neither read nor written.
    QTemporaryDir Settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, Settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, Settings.path() + "/system");
    {
        QSettings Editor(QSettings::IniFormat, QSettings::UserScope, "PyxTools", "PyxPregameEditor");
        Editor.setValue("PyxPath", QString::fromStdString(fs::absolute(Out).string()));
        Editor.setValue("LoadAllLanguages", AllLanguages ? 1 : 0);
        Editor.setValue("LoadPlayingHistories", Histories ? 1 : 0);
    }
    // An exception that leaves an event handler ends the run with its class and message.
    TExceptionDescription Unhandled;
    SetUnhandledExceptionHandler([&](std::exception_ptr E) { Unhandled = DescribeException(E); });

    std::string Doing = "loading " + Out;
    try {
        TModalAnswerer Answerer;
        TfrmMain Main;
        Main.show();
        Main.mnuLoadData->trigger();
        if (!Unhandled.ClassName.empty())
            return Fail(Unhandled, Doing);
        if (!Main.Database().IsLoaded() || Main.LoadedPath().isEmpty())
            return Fail(Main.LastFailure().ClassName.empty()
                            ? TExceptionDescription{"Error", Answerer.Boxes().join("\n").toStdString()}
                            : Main.LastFailure(),
                        Doing);
        for (int I = 0; I < TabCount; ++I) {
            const auto Tab = static_cast<TTab>(I);
            TPyxEditorFrame* Frame = Main.Frame(Tab);
            if (Frame == nullptr)
                continue;
            Doing = std::string("confirming ") + TabInfo(Tab).SheetName;
            Main.Tabs()->setCurrentWidget(Main.Sheet(Tab));
            int Squads = 0;
            const int Count = ConfirmAll(*Frame, Squads);
            if (!Unhandled.ClassName.empty())
                return Fail(Unhandled, Doing);
            std::cout << TabInfo(Tab).SheetName << ' ' << Count << std::endl;
            // stdout keeps to one line per tab, which scripts read; the squad pages are a note beside it.
            if (Tab == TTab::Clubs)
                std::cerr << "pyxconfirmall: squad pages " << Squads << std::endl;
        }
        Doing = "saving " + Out;
        const int BoxesBefore = static_cast<int>(Answerer.Boxes().size());
        Main.mnuSaveData->trigger();
        if (!Unhandled.ClassName.empty())
            return Fail(Unhandled, Doing);
        if (!Main.LastFailure().ClassName.empty())
            return Fail(Main.LastFailure(), Doing);
        if (Answerer.Boxes().size() > BoxesBefore)
            return Fail({"Error", Answerer.Boxes().back().toStdString()}, Doing);
    } catch (...) {
        return Fail(DescribeException(std::current_exception()), Doing);
    }
    return 0;
}
