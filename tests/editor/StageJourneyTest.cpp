// The stage tab, the plainest editor frame: searching and incremental search (also over names in other scripts,
// with a selector and its pick dialog), a stage's names edited in every loaded language through the language text
// dialog, Cancel, Confirm, Save, reload and compare with what the data model writes for the same edit.

#include "EditorHarness.h"
#include "EditorTestMain.h"

#include "LanguageEditor.h"
#include "PyxDatabase.h"
#include "PyxListModel.h"
#include "PyxListView.h"
#include "PyxSearch.h"
#include "SearchForm.h"
#include "frameSelectionSearchUnit.h"
#include "frameStageUnit.h"
#include "frmMainUnit.h"

#include <QCollator>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace {

// Names in three scripts and a letter no 8-bit character set of theirs holds, one per loaded language.
const std::u16string NewNames[] = {u"Faza grupowa \u0142\u00f3d\u017a",
                                   u"\u0413\u0440\u0443\u043f\u043f\u043e\u0432\u043e\u0439 \u044d\u0442\u0430\u043f",
                                   u"\u5c0f\u7ec4\u8d5b \u0434\u0432\u0430 \u0142"};

QStringList ListedNames(const TframeStage& Frame) {
    QStringList Names;
    for (int Row = 0; Row < Frame.Search()->Model().Count(); ++Row)
        Names.push_back(TPyxListModel::DisplayName(*Frame.Search()->Model().Entity(Row)));
    return Names;
}

TPyxStage* StageNamed(TPyxDatabase& Database, const std::u16string& Name) {
    for (int32_t I = 0; I < Database.Stages.Count(); ++I)
        if (Database.Stages.Items(I)->Name == Name)
            return Database.Stages.Items(I);
    return nullptr;
}

} // namespace

class StageJourneyTest final : public QObject {
    Q_OBJECT
private slots:
    void SearchListsSortedByNameAndTypingFocusesTheFirstRowWithThatBeginning();
    void AStageEditedInEveryLanguageSurvivesConfirmSaveAndReloadExactly();
    void ConfirmWithoutEditsChangesNoByte();
    void WithoutAllLanguagesTheNamesCannotBeChanged();
};

void StageJourneyTest::SearchListsSortedByNameAndTypingFocusesTheFirstRowWithThatBeginning() {
    eh::TWorldFolder World({.PeopleCount = 200});
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    auto* Stages = Editor.Frame<TframeStage>(TTab::Stages);
    TPyxDatabase& Database = Editor.Main().Database();
    QCOMPARE(Stages->Search()->Model().Count(), 0);

    // An empty text lists every stage, sorted by name without regard to case.
    Stages->btnSearchClick();
    QCOMPARE(Stages->SearchResultText(), QString::number(Database.Stages.Count()) + " Stages Found");
    const QStringList Listed = ListedNames(*Stages);
    QCOMPARE(Listed.size(), Database.Stages.Count());
    // By the collation of the locale's language as ICU has it: the C locale of a test run has none of its own (a
    // QCollator for it compares code units).
    QCollator Collator(QLocale(QLocale().bcp47Name()));
    Collator.setCaseSensitivity(Qt::CaseInsensitive);
    QStringList Sorted = Listed;
    std::stable_sort(Sorted.begin(), Sorted.end(), Collator);
    QCOMPARE(Listed, Sorted);
    QVERIFY(!Stages->Pages()->isEnabled());

    // Typing into the list focuses the first row whose name begins with the letters typed, in any case, and
    // loads it; a pause starts a new word.
    Stages->List()->setFocus();
    QTest::keyClicks(Stages->List(), "gR");
    TPyxObject* Focused = Stages->List()->FocusedEntity();
    QVERIFY(Focused != nullptr);
    QVERIFY(TPyxListModel::DisplayName(*Focused).startsWith("gr", Qt::CaseInsensitive));
    QCOMPARE(Stages->CurrentObject(), Focused);
    QCOMPARE(Stages->edName->text(), QString::fromStdU16String(static_cast<TPyxStage*>(Focused)->Name));
    QVERIFY(Stages->Pages()->isEnabled());
    QTest::qWait(QApplication::keyboardInputInterval() + 50);
    QTest::keyClicks(Stages->List(), "F");
    QVERIFY(TPyxListModel::DisplayName(*Stages->List()->FocusedEntity()).startsWith("F", Qt::CaseInsensitive));

    // A search lists what the stages' own search predicate matches; the editor keeps its stage meanwhile.
    TPyxObject* Before = Stages->CurrentObject();
    Stages->SearchEdit()->setText("ROUND");
    QTest::keyClick(Stages->SearchEdit(), Qt::Key_Return);
    int Matching = 0;
    for (int32_t I = 0; I < Database.Stages.Count(); ++I)
        Matching += Database.Stages.Items(I)->Matches(u"ROUND") ? 1 : 0;
    QVERIFY(Matching > 0);
    QCOMPARE(Stages->Search()->Model().Count(), Matching);
    QCOMPARE(Stages->SearchResultText(), QString::number(Matching) + " Stages Found");
    QCOMPARE(Stages->CurrentObject(), Before);
    QVERIFY(Stages->Pages()->isEnabled());
    QCOMPARE(Stages->List()->FocusedRow(), -1);

    Stages->SearchEdit()->setText("no stage has this name");
    Stages->btnSearchClick();
    QCOMPARE(Stages->SearchResultText(), QString("0 Stages Found"));
    QCOMPARE(Stages->CurrentObject(), Before);

    // Names in other scripts, as a world may hold them: they sort, match, type and show as they are, never through
    // an 8-bit form. Letter case is told apart by Qt's own folding, not the editor's.
    const QString Scripts[] = {QString::fromStdU16String(u"Ёлка"),
                               QString::fromStdU16String(u"ёлка-плейофф"),
                               QString::fromStdU16String(u"小组赛"),
                               QString::fromStdU16String(u"Łódź łuk"),
                               QString::fromStdU16String(u"șaisprezecimi de finală"),
                               QString::fromStdU16String(u"Φάση ομίλων")};
    for (int I = 0; I < 6; ++I)
        Database.Stages.Items(I + 1)->Name = Scripts[I].toStdU16String();
    Stages->SearchEdit()->setText("");
    Stages->btnSearchClick();
    const QStringList Mixed = ListedNames(*Stages);
    Sorted = Mixed;
    std::stable_sort(Sorted.begin(), Sorted.end(), Collator);
    QCOMPARE(Mixed, Sorted);
    for (const QString& Name : Scripts)
        QVERIFY2(Mixed.contains(Name), qPrintable(Name));
    const int FirstCyrillic = std::min(Mixed.indexOf(Scripts[0]), Mixed.indexOf(Scripts[1]));
    const int SecondCyrillic = std::max(Mixed.indexOf(Scripts[0]), Mixed.indexOf(Scripts[1]));
    const auto Type = [&](const QString& Text) {
        QTest::qWait(QApplication::keyboardInputInterval() + 50);
        for (const QChar Letter : Text) {
            QTest::sendKeyEvent(QTest::Press, Stages->List(), Qt::Key_unknown, QString(Letter), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, Stages->List(), Qt::Key_unknown, QString(Letter), Qt::NoModifier);
        }
        return Stages->List()->FocusedRow();
    };
    Stages->List()->FocusRow(0);
    QVERIFY(!Mixed[0].startsWith(Scripts[0].left(2), Qt::CaseInsensitive));
    QCOMPARE(Type(QString::fromStdU16String(u"ЁЛ")), FirstCyrillic);
    QCOMPARE(Stages->edName->text(), Mixed[FirstCyrillic]);
    QCOMPARE(Type(QString::fromStdU16String(u"ёл")), SecondCyrillic);
    Stages->List()->FocusRow(0);
    // Past the first eight letters, which the list keeps folded beside each row.
    QCOMPARE(Type(Scripts[1].toUpper()), Mixed.indexOf(Scripts[1]));
    QCOMPARE(Type(Scripts[2].left(1)), Mixed.indexOf(Scripts[2]));
    QCOMPARE(Type(QString::fromStdU16String(u"łÓ")), Mixed.indexOf(Scripts[3]));
    QCOMPARE(Stages->edName->text(), Scripts[3]);
    QCOMPARE(Type(QString::fromStdU16String(u"ȘAI")), Mixed.indexOf(Scripts[4]));
    QCOMPARE(Type(QString::fromStdU16String(u"φΆ")), Mixed.indexOf(Scripts[5]));

    for (const QString& Text :
         {QString::fromStdU16String(u"ЁЛ"), QString::fromStdU16String(u"ŁÓDŹ Ł"), QString::fromStdU16String(u"组"),
          QString::fromStdU16String(u"ȘAISPREZECIMI DE FINAL"), QString::fromStdU16String(u"ΦΆΣΗ")}) {
        QStringList Expected;
        for (int32_t I = 0; I < Database.Stages.Count(); ++I) {
            const TPyxStage* Stage = Database.Stages.Items(I);
            for (const std::u16string* Name : {&Stage->Name, &Stage->ShortName, &Stage->PluralName})
                if (QString::fromStdU16String(*Name).contains(Text, Qt::CaseInsensitive)) {
                    Expected.push_back(TPyxListModel::DisplayName(*Stage));
                    break;
                }
        }
        QVERIFY(!Expected.isEmpty());
        Stages->SearchEdit()->setText(Text);
        QTest::keyClick(Stages->SearchEdit(), Qt::Key_Return);
        QStringList Found = ListedNames(*Stages);
        Found.sort();
        Expected.sort();
        QCOMPARE(Found, Expected);
    }

    // A selector shows the name as it is, and so does its pick dialog, searched in the other letter case.
    TframeSelectionSearch Selector(&Editor.Main());
    Selector.List = &Database.Stages;
    Selector.SetSelected(Database.Stages.Items(3));
    QCOMPARE(Selector.edSelection->text(), Scripts[2]);
    QStringList Shown;
    Editor.Driver().Expect([&](QWidget* Dialog) {
        auto* Pick = qobject_cast<TSearchForm*>(Dialog);
        Shown.push_back(TPyxListModel::DisplayName(*Pick->Search->Model().Entity(0)));
        Pick->edSearch->setText(QString::fromStdU16String(u"ЁЛКА"));
        QTest::keyClick(Pick->edSearch, Qt::Key_Return);
        for (int Row = 0; Row < Pick->Search->Model().Count(); ++Row)
            Shown.push_back(TPyxListModel::DisplayName(*Pick->Search->Model().Entity(Row)));
        Pick->lvSearchList->FocusRow(Pick->Search->Model().RowOf(Database.Stages.Items(1)));
        Pick->btnOK->click();
    });
    Selector.btnSearch->click();
    QCOMPARE(Shown, (QStringList{Scripts[2], Mixed[FirstCyrillic], Mixed[SecondCyrillic]}));
    QCOMPARE(Selector.Selected(), Database.Stages.Items(1));
    QCOMPARE(Selector.edSelection->text(), Scripts[0]);
    QVERIFY(Editor.Driver().Unexpected().isEmpty());
}

void StageJourneyTest::AStageEditedInEveryLanguageSurvivesConfirmSaveAndReloadExactly() {
    eh::TWorldFolder World({.PeopleCount = 200, .LanguageCount = 3});
    eh::TWorldFolder Original;
    Original.CopyFrom(World);
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    auto* Stages = Editor.Frame<TframeStage>(TTab::Stages);
    TPyxDatabase& Database = Editor.Main().Database();
    TPyxStage* Stage = StageNamed(Database, u"Group Stage");
    QVERIFY(Stage != nullptr);
    const int32_t StageID = Stage->UniqueID;
    const std::u16string StoredShort = Stage->ShortName;
    Stages->FocusObject(Stage);
    QCOMPARE(Stages->CurrentObject(), Stage);
    QCOMPARE(Stages->Search()->Model().Count(), 1);

    // The dialog shows "English" and the two other languages, and takes the new texts on OK.
    const auto EditNames = [&](bool Ok, QStringList* Labels) {
        Editor.Driver().Expect([=](QWidget* Dialog) {
            auto* Languages = qobject_cast<TLanguageEditor*>(Dialog);
            if (Labels != nullptr)
                for (QLabel* Label : Languages->Labels)
                    Labels->push_back(Label->text());
            for (std::size_t I = 0; I < Languages->Edits.size() && I < std::size(NewNames); ++I)
                Languages->Edits[I]->setText(QString::fromStdU16String(NewNames[I]));
            (Ok ? Languages->btnOK : Languages->btnCancel)->click();
        });
        eh::Find<QToolButton>(Stages, "btnName")->click();
    };
    QStringList Labels;
    EditNames(true, &Labels);
    QCOMPARE(Labels, (QStringList{"English", "French", "German"}));
    QCOMPARE(Stages->edName->text(), QString::fromStdU16String(NewNames[0]));
    QCOMPARE(Stage->Name, std::u16string(u"Group Stage"));

    // Cancel Changes brings the stored names back.
    Stages->btnCancelChangesClick();
    QCOMPARE(Stages->edName->text(), QString("Group Stage"));
    EditNames(false, nullptr);
    QCOMPARE(Stages->edName->text(), QString("Group Stage"));

    EditNames(true, nullptr);
    Stages->btnConfirmChangesClick();
    QCOMPARE(Stage->Name, NewNames[0]);
    QCOMPARE(Stage->Lang(0)->Name, NewNames[1]);
    QCOMPARE(Stage->Lang(1)->Name, NewNames[2]);
    QCOMPARE(Stage->ShortName, StoredShort);
    // The row shows the confirmed name.
    QCOMPARE(TPyxListModel::DisplayName(*Stages->Search()->Model().Entity(0)), QString::fromStdU16String(NewNames[0]));

    Editor.SaveData();
    eh::TWorldFolder Expected;
    eh::ModelSave(Original.Path(), Expected.Path(), [&](TPyxDatabase& Model) {
        TPyxStage* Same = Model.Stages.FindByUniqueID(StageID);
        Same->Name = NewNames[0];
        Same->Lang(0)->Name = NewNames[1];
        Same->Lang(1)->Name = NewNames[2];
    });
    QCOMPARE(eh::FolderDifference(Expected.Path(), World.Path()), QString());

    // Loaded again, the stage shows its names in every language exactly as typed.
    Editor.LoadData();
    Stage = Editor.Main().Database().Stages.FindByUniqueID(StageID);
    QVERIFY(Stage != nullptr);
    Stages->FocusObject(Stage);
    QCOMPARE(Stages->edName->text(), QString::fromStdU16String(NewNames[0]));
    QStringList Texts;
    Editor.Driver().Expect([&](QWidget* Dialog) {
        auto* Languages = qobject_cast<TLanguageEditor*>(Dialog);
        for (QLineEdit* Edit : Languages->Edits)
            Texts.push_back(Edit->text());
        Languages->btnCancel->click();
    });
    eh::Find<QToolButton>(Stages, "btnName")->click();
    QCOMPARE(Texts, (QStringList{QString::fromStdU16String(NewNames[0]), QString::fromStdU16String(NewNames[1]),
                                 QString::fromStdU16String(NewNames[2])}));
    QVERIFY(Editor.Driver().Unexpected().isEmpty());
}

void StageJourneyTest::ConfirmWithoutEditsChangesNoByte() {
    eh::TWorldFolder World({.PeopleCount = 200, .Version = 145, .LanguageCount = 4});
    eh::TWorldFolder Expected;
    eh::ModelSave(World.Path(), Expected.Path());
    eh::TEditorSession Editor(World.Path());
    Editor.LoadData();
    auto* Stages = Editor.Frame<TframeStage>(TTab::Stages);
    Stages->btnSearchClick();
    for (int Row = 0; Row < Stages->Search()->Model().Count(); ++Row) {
        Stages->List()->FocusRow(Row);
        QTest::mouseClick(Stages->ConfirmButton(), Qt::LeftButton);
    }
    Editor.SaveData();
    QCOMPARE(eh::FolderDifference(Expected.Path(), World.Path()), QString());
}

void StageJourneyTest::WithoutAllLanguagesTheNamesCannotBeChanged() {
    eh::TWorldFolder World({.PeopleCount = 200, .LanguageCount = 3});
    // A save without all languages leaves lang_db.dat as it is.
    eh::TWorldFolder Expected;
    Expected.CopyFrom(World);
    eh::ModelSave(World.Path(), Expected.Path(), {}, false, true);
    eh::TEditorSession Editor(World.Path(), false, true);
    Editor.LoadData();
    auto* Stages = Editor.Frame<TframeStage>(TTab::Stages);
    Stages->btnSearchClick();
    Stages->List()->FocusRow(0);
    for (const char* Button : {"btnName", "btnShortName", "btnPluralName"})
        QVERIFY2(!eh::Find<QToolButton>(Stages, Button)->isEnabled(), Button);
    QVERIFY(!Stages->edName->text().isEmpty());
    QVERIFY(Stages->edName->isReadOnly());
    Stages->btnConfirmChangesClick();
    Editor.SaveData();
    QCOMPARE(eh::FolderDifference(Expected.Path(), World.Path()), QString());
}

PYX_EDITOR_TEST_MAIN(StageJourneyTest)
#include "StageJourneyTest.moc"
