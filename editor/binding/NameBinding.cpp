#include "NameBinding.h"

#include "PyxObject.h"

#include <QLineEdit>

TNameBinding::TNameBinding(QLineEdit* Edit, QAbstractButton* Button, QString Title, TTextOf TextOf,
                           std::function<bool()> AllLanguages)
    : Edit_(Edit), Button_(Button), Title_(std::move(Title)), TextOf_(std::move(TextOf)),
      AllLanguages_(std::move(AllLanguages)) {}

void TNameBinding::Load(TPyxObject& Entity) {
    Names_.Clear();
    Names_.Add(*TextOf_(Entity, -1));
    if (AllLanguages_() && Entity.LangObjects)
        for (int32_t I = 0; I < Entity.LangObjects->Count(); ++I) {
            const std::u16string* Text = TextOf_(Entity, I);
            Names_.Add(Text != nullptr ? *Text : std::u16string());
        }
    ShowName();
}

void TNameBinding::Save(TPyxObject& Entity) {
    for (int32_t I = 0; I < Names_.Count() && I < Loaded_.Count(); ++I) {
        if (Names_.Get(I) == Loaded_.Get(I))
            continue;
        if (std::u16string* Text = TextOf_(Entity, I - 1))
            *Text = Names_.Get(I);
    }
}

void TNameBinding::Clear() {
    Names_.Clear();
    Loaded_.Clear();
    Edit_->clear();
}

void TNameBinding::ShowName() {
    Edit_->setText(Names_.Count() > 0 ? QString::fromStdU16String(Names_.Get(0)) : QString());
    Edit_->setCursorPosition(0);
}
