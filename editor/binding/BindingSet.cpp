#include "BindingSet.h"

#include "IntegerComboBox.h"
#include "PointerComboBox.h"
#include "PyxColorBox.h"
#include "SpinEdit.h"
#include "SpinFloatEdit.h"
#include "frameSelectionSearchUnit.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>

namespace {

template <class TShown>
std::unique_ptr<TFieldBinding> Watching(std::function<TShown()> Read,
                                        std::function<void(const TGoneEntities&)> PurgeControl = {}) {
    typename TValueBinding<TShown>::TAccess Access;
    Access.Read = std::move(Read);
    Access.PurgeControl = std::move(PurgeControl);
    return std::make_unique<TValueBinding<TShown>>(std::move(Access));
}

} // namespace

TBindingSet::TBindingSet() = default;
TBindingSet::~TBindingSet() = default;

TFieldBinding& TBindingSet::Add(std::unique_ptr<TFieldBinding> Binding, const QWidget* Control) {
    TFieldBinding& Added = *Binding;
    Bindings_.push_back(std::move(Binding));
    if (Control != nullptr)
        ByControl_[Control] = &Added;
    return Added;
}

void TBindingSet::Watch(TSpinEdit* Control) {
    Add(Watching<int32_t>([Control] { return Control->Value(); }), Control);
}

void TBindingSet::Watch(TSpinFloatEdit* Control) {
    Add(Watching<double>([Control] { return Control->Value(); }), Control);
}

void TBindingSet::Watch(TIntegerComboBox* Control) {
    Add(Watching<int32_t>([Control] { return Control->GetSelected(); }), Control);
}

void TBindingSet::Watch(TPointerComboBox* Control) {
    Add(Watching<TPyxObject*>([Control] { return Control->GetSelected(); },
                              [Control](const TGoneEntities& Gone) {
                                  Control->RemoveEntities([&Gone](const TPyxObject* E) { return Gone.Has(E); });
                              }),
        Control);
}

void TBindingSet::Watch(TPyxColorBox* Control) {
    Add(Watching<uint32_t>([Control] { return Control->Selected(); }), Control);
}

void TBindingSet::Watch(TframeSelectionSearch* Control) {
    Add(Watching<TPyxObject*>([Control] { return Control->Selected(); },
                              [Control](const TGoneEntities& Gone) {
                                  if (Gone.Has(Control->Selected()))
                                      Control->SetSelected(nullptr);
                              }),
        Control);
}

void TBindingSet::Watch(QDateEdit* Control) {
    Add(Watching<QDate>([Control] { return Control->date(); }), Control);
}

void TBindingSet::Watch(QCheckBox* Control) {
    Add(Watching<bool>([Control] { return Control->isChecked(); }), Control);
}

void TBindingSet::Watch(QLineEdit* Control) {
    Add(Watching<QString>([Control] { return Control->text(); }), Control);
}

bool TBindingSet::Changed(const QWidget* Control) const {
    const auto Found = ByControl_.find(Control);
    return Found != ByControl_.end() && Found->second->Changed();
}

bool TBindingSet::AnyChanged(std::initializer_list<const QWidget*> Controls) const {
    for (const QWidget* Control : Controls)
        if (Changed(Control))
            return true;
    return false;
}

void TBindingSet::Remember(const QWidget* Control) {
    const auto Found = ByControl_.find(Control);
    if (Found != ByControl_.end())
        Found->second->Remember();
}

void TBindingSet::Load(TPyxObject& Entity) {
    for (const auto& Binding : Bindings_)
        Binding->Load(Entity);
}

void TBindingSet::Remember() {
    for (const auto& Binding : Bindings_)
        Binding->Remember();
}

void TBindingSet::Save(TPyxObject& Entity) {
    for (const auto& Binding : Bindings_)
        Binding->Save(Entity);
}

void TBindingSet::Clear() {
    for (const auto& Binding : Bindings_)
        Binding->Clear();
}

void TBindingSet::Purge(const TGoneEntities& Gone) {
    for (const auto& Binding : Bindings_)
        Binding->Purge(Gone);
}
