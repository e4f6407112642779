#include "frameInjuryUnit.h"

#include "PyxDatabase.h"

TframeInjury::TframeInjury(TPyxNavigator& Navigator, QWidget* Parent)
    : TPyxFrame(Navigator, {"frameInjury", "Injury", " Injuries Found"}, Parent) {
    using PyxControls::SpinEdit;
    TFramePage* General = AddPage("tsGeneral", "&General", "General:", "lblGeneral");
    edInjuryName = AddNameRow(General, "Injury Name:", "edInjuryName", "btnInjuryName", "Edit Injury Name",
                              &TPyxInjuryTexts::Name);
    edSentenceName = AddNameRow(General, "Sentence Name:", "edSentenceName", "btnSentenceName", "Edit Sentence Name",
                                &TPyxInjuryTexts::SentenceName);
    cmbCategory = PyxControls::IntegerCombo(General, "cmbCategory",
                                            {{"Internal", 0},
                                             {"Foot", 1},
                                             {"Shin", 2},
                                             {"Knee", 3},
                                             {"Thigh", 4},
                                             {"Groin", 5},
                                             {"Upper Body", 6},
                                             {"Hand", 7},
                                             {"Arm", 8},
                                             {"Shoulder", 9},
                                             {"Neck", 10},
                                             {"Head", 11},
                                             {"Rehabilitation", 12}},
                                            true);
    General->AddRow("Injury Category:", cmbCategory);
    BindCombo(cmbCategory, &TPyxInjury::Category);
    seChance = SpinEdit(General, "seChance", 0, 100);
    General->AddRow("Chance Of Injury Occuring:", seChance);
    BindSpin(seChance, &TPyxInjury::Chance);
    cmbSeverity = PyxControls::IntegerCombo(
        General, "cmbSeverity",
        {{"Any", 0}, {"Light", 1}, {"Medium", 2}, {"Bad", 3}, {"Rehabilitation", 4}, {"Illness", 255}}, false);
    General->AddRow("Injury Severity:", cmbSeverity);
    BindCombo(cmbSeverity, &TPyxInjury::Severity);
    seMinimumDaysOut = SpinEdit(General, "seMinimumDaysOut", 0, 500);
    General->AddRow("Minimum Days Out:", seMinimumDaysOut);
    BindSpin(seMinimumDaysOut, &TPyxInjury::MinimumDaysOut);
    seExtraDaysOut = SpinEdit(General, "seExtraDaysOut", 0, 500);
    General->AddRow("Extra Days Out:", seExtraDaysOut);
    BindSpin(seExtraDaysOut, &TPyxInjury::ExtraDaysOut);
    seInactiveRatio = SpinEdit(General, "seInactiveRatio", 0, 100);
    General->AddRow("Inactive Ratio:", seInactiveRatio);
    BindSpin(seInactiveRatio, &TPyxInjury::InactiveRatio);
    cbRecurring = PyxControls::CheckBox(General, "cbRecurring");
    General->AddRow("Recurring Injury:", cbRecurring);
    BindCheck(cbRecurring, &TPyxInjury::Recurring);
}

TPyxObjects& TframeInjury::Collection(TPyxDatabase& Database) const {
    return Database.Injuries;
}
