#pragma once

// The harness every editor test links (library pyxeditor_harness): worlds generated into temporary folders, the
// main window started offscreen with settings of its own, widgets found by object name, modal dialogs driven, and
// data folders compared byte for byte. A journey reads:
//
//     eh::TWorldFolder World({.PeopleCount = 300});
//     eh::TEditorSession Editor(World.Path());          // settings point at the world; the window is shown
//     Editor.LoadData();
//     auto* Stages = Editor.Frame<TframeStage>(TTab::Stages);
//     ... drive widgets, Confirm ...
//     Editor.SaveData();
//     QCOMPARE(eh::FolderDifference(Expected.Path(), World.Path()), QString());
//
// Tests start with PYX_EDITOR_TEST_MAIN (EditorTestMain.h), which runs them under the editor's own application
// object and keeps every QSettings file of the run in a temporary folder.

#include "EditorSession.h"
#include "ModalDriver.h"
#include "StatusRecorder.h"
#include "WorldFolder.h"
