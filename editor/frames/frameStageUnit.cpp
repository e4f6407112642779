#include "frameStageUnit.h"

#include "PyxDatabase.h"

TframeStage::TframeStage(TPyxNavigator& Navigator, QWidget* Parent)
    : TPyxFrame(Navigator, {"frameStage", "Stage", " Stages Found"}, Parent) {
    TFramePage* General = AddPage("tsGeneral", "&General", "General:", "lblGeneral");
    edName = AddNameRow(General, "Name:", "edName", "btnName", "Edit Stage Name", &TPyxStageTexts::Name);
    edShortName = AddNameRow(General, "Short Name:", "edShortName", "btnShortName", "Edit Short Stage Name",
                             &TPyxStageTexts::ShortName);
    edPluralName = AddNameRow(General, "Plural Name:", "edPluralName", "btnPluralName", "Edit Plural Stage Name",
                              &TPyxStageTexts::PluralName);
}

TPyxObjects& TframeStage::Collection(TPyxDatabase& Database) const {
    return Database.Stages;
}
