#pragma once

#include "FieldBinding.h"
#include "PyxSupportClasses.h"

#include <QString>

#include <functional>
#include <string>

class QAbstractButton;
class QLineEdit;

// A translatable name: its name list (item 0 the entity's own text; with all languages loaded, item i + 1 its
// text in language object i), the read-only edit that shows item 0, and the button that opens the language text
// dialog on the list. Save writes back each text whose item the user changed, and no other.
class TNameBinding final : public TFieldBinding {
public:
    // The text of the entity in language Lang (-1: its own text), or nil when it has no language object Lang.
    using TTextOf = std::function<std::u16string*(TPyxObject& Entity, int Lang)>;

    TNameBinding(QLineEdit* Edit, QAbstractButton* Button, QString Title, TTextOf TextOf,
                 std::function<bool()> AllLanguages);

    void Load(TPyxObject& Entity) override;
    void Remember() override { Loaded_ = Names_; }
    bool Changed() const override { return !(Names_ == Loaded_); }
    void Save(TPyxObject& Entity) override;
    void Clear() override;
    // Names refer to no other entity.
    void Purge(const TGoneEntities&) override {}

    TWideStrings& Names() { return Names_; }
    QLineEdit* Edit() const { return Edit_; }
    QAbstractButton* Button() const { return Button_; }
    const QString& Title() const { return Title_; }
    // Shows item 0 again (after the dialog changed the list).
    void ShowName();

private:
    QLineEdit* Edit_;
    QAbstractButton* Button_;
    QString Title_;
    TTextOf TextOf_;
    std::function<bool()> AllLanguages_;
    TWideStrings Names_;
    TWideStrings Loaded_;
};
