#pragma once

#include "FieldBinding.h"

#include <initializer_list>
#include <memory>
#include <unordered_map>
#include <vector>

class QCheckBox;
class QDateEdit;
class QLineEdit;
class QWidget;
class TIntegerComboBox;
class TPointerComboBox;
class TPyxColorBox;
class TPyxObject;
class TSpinEdit;
class TSpinFloatEdit;
class TframeSelectionSearch;

// The field bindings of one frame or sub-frame, run together: Load shows an entity, Remember takes what the
// controls show as loaded, Save writes what changed, Clear empties, Purge drops entities that went. A binding may
// name its control, so that the owner can ask Changed(Control) while it writes what no single binding can (a post
// and its job, a record that a type change creates).
class TBindingSet final {
public:
    TBindingSet();
    ~TBindingSet();
    TBindingSet(const TBindingSet&) = delete;
    TBindingSet& operator=(const TBindingSet&) = delete;

    // Adds Binding; Control, when given, is the control it binds.
    TFieldBinding& Add(std::unique_ptr<TFieldBinding> Binding, const QWidget* Control = nullptr);

    // A binding that only watches Control: the owner shows the value and writes the entity itself and asks
    // Changed(Control). A selector or pointer combo watched drops an entity that went.
    void Watch(TSpinEdit* Control);
    void Watch(TSpinFloatEdit* Control);
    void Watch(TIntegerComboBox* Control);
    void Watch(TPointerComboBox* Control);
    void Watch(TPyxColorBox* Control);
    void Watch(TframeSelectionSearch* Control);
    void Watch(QDateEdit* Control);
    void Watch(QCheckBox* Control);
    void Watch(QLineEdit* Control);

    // Whether the binding of Control changed (false for a control no binding names).
    bool Changed(const QWidget* Control) const;
    bool AnyChanged(std::initializer_list<const QWidget*> Controls) const;
    // The binding of Control takes what it shows now as loaded (after the owner refilled its items).
    void Remember(const QWidget* Control);

    void Load(TPyxObject& Entity);
    void Remember();
    void Save(TPyxObject& Entity);
    void Clear();
    void Purge(const TGoneEntities& Gone);

private:
    std::vector<std::unique_ptr<TFieldBinding>> Bindings_;
    std::unordered_map<const QWidget*, TFieldBinding*> ByControl_;
};
