#include "EditorBenchmarks.h"

#include "PyxApplication.h"
#include "PyxClub.h"
#include "PyxDatabase.h"
#include "PyxListModel.h"
#include "PyxListView.h"
#include "PyxPerson.h"
#include "PyxSearch.h"
#include "PyxTeam.h"
#include "frameClubUnit.h"
#include "framePeopleUnit.h"
#include "frmMainUnit.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include <array>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace bench {

namespace {

// The main window with settings of its own in a temporary folder, pointed at a world.
class TEditor final {
public:
    explicit TEditor(int People) {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, Settings_.path());
        QSettings Editor(QSettings::IniFormat, QSettings::UserScope, "PyxTools", "PyxPregameEditor");
        Editor.setValue("PyxPath", QString::fromStdString(WorldDir(People)));
        Editor.sync();
        Main_ = std::make_unique<TfrmMain>();
        Main_->show();
    }
    void Load() { Main_->mnuLoadData->trigger(); }
    TfrmMain& Main() { return *Main_; }

private:
    QTemporaryDir Settings_;
    std::unique_ptr<TfrmMain> Main_;
};

// One loaded editor at a time, as the model benchmarks hold one database.
int LoadedPeople = -1;
std::unique_ptr<TEditor> Editor;

TEditor& LoadedEditor(int People) {
    if (LoadedPeople != People) {
        Editor.reset();
        Editor = std::make_unique<TEditor>(People);
        Editor->Load();
        if (!Editor->Main().Database().IsLoaded())
            throw std::runtime_error("the editor could not load " + WorldDir(People));
        LoadedPeople = People;
    }
    return *Editor;
}

// A list view of the people of the loaded world, on screen (offscreen) at the size of a frame's list.
struct TPeopleList {
    explicit TPeopleList(int People) : View(nullptr), Search(LoadedEditor(People).Main().Database().People, View) {
        View.resize(200, 440);
        View.show();
        QApplication::processEvents();
    }
    void Paint() {
        View.viewport()->repaint();
        QApplication::processEvents();
    }
    TPyxListView View;
    TPyxSearch Search;
};

void ModelReloadBench(benchmark::State& State, int People) {
    TPyxDatabase Db;
    Db.Load(WorldDir(People));
    for (auto _ : State)
        Db.Load(WorldDir(People));
}

void EditorLoadBench(benchmark::State& State, int People) {
    TEditor& Editor = LoadedEditor(People);
    for (auto _ : State)
        Editor.Load();
    if (!Editor.Main().Database().IsLoaded())
        State.SkipWithError("Load Data failed");
}

void ShowAllBench(benchmark::State& State, int People) {
    TPeopleList List(People);
    for (auto _ : State) {
        List.Search.ShowAll();
        List.Paint();
    }
    State.counters["rows"] = List.Search.Model().Count();
}

void SearchBench(benchmark::State& State, int People) {
    TPeopleList List(People);
    for (auto _ : State) {
        List.Search.Search(u"an");
        List.Paint();
    }
    State.counters["rows"] = List.Search.Model().Count();
}

void KeystrokeBench(benchmark::State& State, int People, const char16_t* Letter) {
    TPeopleList List(People);
    List.Search.ShowAll();
    List.Paint();
    // Every letter starts a new word: no keyboard interval is short enough to join two.
    QApplication::setKeyboardInputInterval(-1);
    const QString Text = QString::fromUtf16(Letter);
    for (auto _ : State) {
        List.View.keyboardSearch(Text);
        List.Paint();
    }
    State.counters["row"] = List.View.FocusedRow();
}

// The people tab of the loaded world, listing every person.
TframePeople& ListedPeople(int People) {
    auto* Frame = dynamic_cast<TframePeople*>(LoadedEditor(People).Main().Frame(TTab::People));
    if (Frame == nullptr)
        throw std::runtime_error("the people tab is not built");
    if (Frame->SearchResultText().isEmpty()) {
        Frame->SearchEdit()->clear();
        Frame->btnSearchClick();
    }
    return *Frame;
}

// Focusing a person: every tab of the editor loaded (names, posts, attached records, attributes, sub-frames).
void PersonFocusBench(benchmark::State& State, int People) {
    TframePeople& Frame = ListedPeople(People);
    const int Rows = Frame.Search()->Model().Count();
    int Row = 0;
    for (auto _ : State) {
        Frame.List()->FocusRow(Row);
        Row = (Row + 7919) % Rows;
    }
}

// Confirm Changes on a person the user did not edit.
void PersonConfirmBench(benchmark::State& State, int People) {
    TframePeople& Frame = ListedPeople(People);
    Frame.List()->FocusRow(Frame.Search()->Model().Count() / 2);
    if (Frame.Current() == nullptr || !Frame.ConfirmButton()->isEnabled())
        State.SkipWithError("no person to confirm");
    for (auto _ : State)
        Frame.ConfirmButton()->click();
}

// Every built tab lists all its entities and shows one, as after a user's session: a delete then purges real lists
// and reloads real editors.
void ShowEveryTab(TfrmMain& Main) {
    for (int I = 0; I < TabCount; ++I) {
        TPyxEditorFrame* Frame = Main.Frame(static_cast<TTab>(I));
        if (Frame == nullptr)
            continue;
        if (Frame->SearchResultText().isEmpty()) {
            Frame->SearchEdit()->clear();
            Frame->btnSearchClick();
        }
        if (Frame->CurrentObject() == nullptr && Frame->Search() != nullptr && Frame->Search()->Model().Count() > 0)
            Frame->List()->FocusRow(0);
    }
}

// Delete Person, with every tab purging the person: every tab lists its entities and shows one, and the clubs tab
// shows the deleted person's club, whose squad pages drop the person. Runs last for its world: each iteration
// deletes a person.
void PersonDeleteBench(benchmark::State& State, int People) {
    TframePeople& Frame = ListedPeople(People);
    TfrmMain& Main = LoadedEditor(People).Main();
    auto* Clubs = dynamic_cast<TframeClub*>(Main.Frame(TTab::Clubs));
    ShowEveryTab(Main);
    int ClubsShown = 0, SquadPages = 0;
    for (auto _ : State) {
        State.PauseTiming();
        Frame.List()->FocusRow(0);
        if (const TPyxPerson* P = Frame.Current();
            P != nullptr && P->ClubTeam != nullptr && P->ClubTeam->IsClubTeam()) {
            Main.ShowClub(P->ClubTeam->GetClub());
            ++ClubsShown;
        }
        if (Clubs != nullptr)
            SquadPages += Clubs->SquadCount();
        Main.Tabs()->setCurrentWidget(Main.Sheet(TTab::People));
        QApplication::processEvents();
        State.ResumeTiming();
        Frame.DeletePerson();
    }
    State.counters["clubs shown"] = ClubsShown;
    State.counters["squad pages"] = SquadPages;
}

} // namespace

void ReleaseEditor() {
    Editor.reset();
    LoadedPeople = -1;
}

void RegisterEditorBenchmarks() {
    for (int People : WorldSizes()) {
        std::string Size = "/";
        Size += std::to_string(People);
        const int Iterations = People >= 100000 ? 3 : 10;
        benchmark::RegisterBenchmark(("ModelReload" + Size).c_str(), ModelReloadBench, People)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(Iterations);
        benchmark::RegisterBenchmark(("EditorLoad" + Size).c_str(), EditorLoadBench, People)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(Iterations);
        benchmark::RegisterBenchmark(("ShowAll" + Size).c_str(), ShowAllBench, People)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(Iterations);
        benchmark::RegisterBenchmark(("Search" + Size).c_str(), SearchBench, People)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(Iterations);
        benchmark::RegisterBenchmark(("KeystrokeHit" + Size).c_str(), KeystrokeBench, People, KeystrokeHit)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("KeystrokeMiss" + Size).c_str(), KeystrokeBench, People, KeystrokeMiss)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("PersonFocus" + Size).c_str(), PersonFocusBench, People)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(50);
        benchmark::RegisterBenchmark(("PersonConfirm" + Size).c_str(), PersonConfirmBench, People)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(50);
        benchmark::RegisterBenchmark(("PersonDelete" + Size).c_str(), PersonDeleteBench, People)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(10);
    }
}

TResident EditorResidentAfterLoad(int People) {
    std::array<int, 2> Pipe{};
    if (::pipe(Pipe.data()) != 0)
        throw std::runtime_error("cannot create a pipe for the memory probe");
    const pid_t Child = ::fork();
    if (Child < 0)
        throw std::runtime_error("cannot fork the memory probe");
    if (Child == 0) {
        ::close(Pipe[0]);
        TResident Resident;
        try {
            int Argc = 1;
            char Name[] = "pyxeditorbench";
            char* Argv[] = {Name, nullptr};
            TPyxApplication Application(Argc, Argv);
            TEditor Editor(People);
            const auto Start = std::chrono::steady_clock::now();
            Editor.Load();
            const std::chrono::duration<double> Took = std::chrono::steady_clock::now() - Start;
            if (!Editor.Main().Database().IsLoaded())
                ::_exit(1);
            Resident = ResidentMemory();
            Resident.LoadSeconds = Took.count();
            const bool Written = ::write(Pipe[1], &Resident, sizeof Resident) == static_cast<ssize_t>(sizeof Resident);
            ::_exit(Written ? 0 : 1);
        } catch (...) {
            ::_exit(1);
        }
    }
    ::close(Pipe[1]);
    TResident Resident;
    const bool Read = ::read(Pipe[0], &Resident, sizeof Resident) == static_cast<ssize_t>(sizeof Resident);
    ::close(Pipe[0]);
    int Status = 0;
    ::waitpid(Child, &Status, 0);
    if (!Read || !WIFEXITED(Status) || WEXITSTATUS(Status) != 0)
        throw std::runtime_error("the editor's memory probe could not load " + WorldDir(People));
    return Resident;
}

} // namespace bench
