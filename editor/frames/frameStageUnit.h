#pragma once

#include "PyxFrame.h"
#include "PyxStage.h"

class QLineEdit;

// The stages tab: a stage's three translatable names (name, short name, plural name). Its flag bytes are neither
// shown nor changed; nothing navigates to a stage.
class TframeStage final : public TPyxFrame<TPyxStage> {
    Q_OBJECT
public:
    TframeStage(TPyxNavigator& Navigator, QWidget* Parent);

    QLineEdit* edName;
    QLineEdit* edShortName;
    QLineEdit* edPluralName;

protected:
    TPyxObjects& Collection(TPyxDatabase& Database) const override;
};
