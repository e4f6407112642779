#pragma once

#include "BindingSet.h"
#include "FieldBinding.h"
#include "FramePage.h"
#include "IntegerComboBox.h"
#include "NameBinding.h"
#include "PointerComboBox.h"
#include "PyxColorBox.h"
#include "PyxControls.h"
#include "PyxDate.h"
#include "PyxEditorFrame.h"
#include "PyxGlyphs.h"
#include "SpinEdit.h"
#include "SpinFloatEdit.h"
#include "frameSelectionSearchUnit.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QToolButton>

#include <functional>
#include <memory>
#include <string>
#include <type_traits>

// The typed layer of an editor frame for entities of kind TEntity: Current as that kind, and the bindings of the
// usual controls to its fields. A frame's constructor builds its pages and binds each control once; loading,
// confirming (only what changed), cancelling and clearing then follow for every bound control.
//
// A new tab, as frameStageUnit.cpp shows on the plainest one:
// 1. Derive TframeKind from TPyxFrame<TPyxKind>, passing the frame's names ({"frameKind", "Kind",
//    " Kinds Found"}); the list is then lvKind and the page control pcKind.
// 2. In the constructor: AddPage for each page (a TFramePage with its heading), then per field a row with its
//    control (AddNameRow for a translated name; Page->AddRow for the others) and its binding (BindText, BindSpin,
//    BindFloat, BindCombo, BindCheck, BindDate, BindSelector, BindColor, or Bind for anything else; a control the
//    frame fills and writes itself is watched through Bindings().Watch and asked Bindings().Changed).
//    Link buttons come from MakeLinkButton.
// 3. Override Collection; Attached to give selectors their collections; PrepareLoad to refill combos listing a
//    collection; LoadEntity, SaveEntity and ClearEntity for what no binding covers (sub-lists edited on copies,
//    controls that depend on others); PurgeEntity and RefreshChoices for what work on other tabs changes there.
//    Kinds the Add menu adds override CanAdd and AddEntity (which call AddNew); deleting goes through DeleteFocused.
// 4. Add the frame to CreateTabFrame (EditorTabs.cpp). The tab is enabled, the main window attaches and detaches
//    the frame, Show* navigates to it, and pyxconfirmall confirms its entities without further changes.
template <class TEntity> class TPyxFrame : public TPyxEditorFrame {
public:
    TEntity* Current() const { return static_cast<TEntity*>(CurrentObject()); }

protected:
    using TPyxEditorFrame::TPyxEditorFrame;

    // Any control: Show puts the entity's value into it, Read gives its value, Write stores a value into the
    // entity (called only when the value changed), ClearControl empties it on detach. Control, when given, is the
    // control bound, for Changed(Control).
    template <class TShown>
    void Bind(std::function<void(TEntity&)> Show, std::function<TShown()> Read,
              std::function<void(TEntity&, const TShown&)> Write, std::function<void()> ClearControl = {},
              const QWidget* Control = nullptr) {
        // A reference is bound through BindSelector or BindCombo, which drop an entity deleted on another tab.
        static_assert(!std::is_pointer_v<TShown>, "bind a reference with BindSelector or BindCombo");
        AddBinding(std::make_unique<TValueBinding<TShown>>(
                       Access<TShown>(std::move(Show), std::move(Read), std::move(Write), std::move(ClearControl))),
                   Control);
    }

    // A translatable name in a row of Page: a read-only edit showing the default language's text and a button
    // that opens the language text dialog titled Title. Field is the name in the kind's texts record (TTexts), held
    // by the entity for its own language and by each of its language objects.
    template <class TTexts>
    QLineEdit* AddNameRow(TFramePage* Page, const QString& Caption, const QString& EditName, const QString& ButtonName,
                          const QString& Title, std::u16string TTexts::*Field) {
        QLineEdit* Edit = PyxControls::ReadOnlyEdit(Page, EditName);
        QToolButton* Button = PyxGlyphs::MakeButton(Page, ButtonName, PyxGlyphs::EditButton());
        Page->AddRow(Caption, Edit, Button);
        auto TextOf = [Field](TPyxObject& E, int Lang) -> std::u16string* {
            auto& Entity = static_cast<TEntity&>(E);
            if (Lang < 0)
                return &(static_cast<TTexts&>(Entity).*Field);
            auto* Texts = Entity.Lang(Lang);
            return Texts != nullptr ? &(static_cast<TTexts&>(*Texts).*Field) : nullptr;
        };
        AddNameBinding(
            std::make_unique<TNameBinding>(Edit, Button, Title, std::move(TextOf), [this] { return AllLanguages(); }));
        return Edit;
    }

    // A text typed in an ordinary edit (names that are not translated).
    void BindText(QLineEdit* Edit, std::u16string TEntity::*Field) {
        Bind<QString>([Edit, Field](TEntity& E) { Edit->setText(QString::fromStdU16String(E.*Field)); },
                      [Edit] { return Edit->text(); },
                      [Field](TEntity& E, const QString& Text) { E.*Field = Text.toStdU16String(); },
                      [Edit] { Edit->clear(); }, Edit);
    }

    // An integer spin edit on an integer field of any width: a member of the entity (&TPyxCity::Altitude) or a
    // field inside one of its records, reached through a function giving a reference to it
    // ([](TPyxWeather& W) -> uint8_t& { return W.Spring.Wind.Calm; }). A stored value beyond the form's limits is
    // shown and kept as it is until the user edits it; what the user typed is clamped to the limits and stored in
    // the field's width.
    template <class TFieldOf> void BindSpin(TSpinEdit* Spin, TFieldOf Field) {
        using TField = std::remove_cvref_t<std::invoke_result_t<TFieldOf&, TEntity&>>;
        Bind<int32_t>([Spin, Field](TEntity& E) { Spin->SetValue(static_cast<int32_t>(std::invoke(Field, E))); },
                      [Spin] { return Spin->Value(); },
                      [Field](TEntity& E, const int32_t& Value) { std::invoke(Field, E) = static_cast<TField>(Value); },
                      [Spin] { Spin->SetValue(Spin->MinValue()); }, Spin);
    }

    // A float spin edit on a floating-point field (stored single precision when the field is a float).
    template <class TField> void BindFloat(TSpinFloatEdit* Edit, TField TEntity::*Field) {
        Bind<double>([Edit, Field](TEntity& E) { Edit->SetValue(static_cast<double>(E.*Field)); },
                     [Edit] { return Edit->Value(); },
                     [Field](TEntity& E, const double& Value) { E.*Field = static_cast<TField>(Value); },
                     [Edit] { Edit->SetValue(Edit->Min()); }, Edit);
    }

    // An integer combo on a code field of any width: a code no item carries stays as stored until the user picks;
    // a pick stores the item's code in the field's width.
    template <class TField> void BindCombo(TIntegerComboBox* Combo, TField TEntity::*Field) {
        Bind<int32_t>([Combo, Field](TEntity& E) { Combo->SetSelected(static_cast<int32_t>(E.*Field)); },
                      [Combo] { return Combo->GetSelected(); },
                      [Field](TEntity& E, const int32_t& Code) { E.*Field = static_cast<TField>(Code); },
                      [Combo] { Combo->SetSelected(-1); }, Combo);
    }

    // A pointer combo on a reference. Its items are the database's entities: the frame fills it (on attach or on
    // each focus change), and a detach empties it; an entity deleted elsewhere leaves it.
    template <class TTarget> void BindCombo(TPointerComboBox* Combo, TTarget* TEntity::*Field) {
        AddBinding(std::make_unique<TValueBinding<TPyxObject*>>(typename TValueBinding<TPyxObject*>::TAccess{
                       Shows([Combo, Field](TEntity& E) { Combo->SetSelected(E.*Field); }),
                       [Combo] { return Combo->GetSelected(); },
                       Writes<TPyxObject*>([Field](TEntity& E, TPyxObject* const& Target) {
                           E.*Field = dynamic_cast<TTarget*>(Target);
                       }),
                       [Combo] { Combo->Clear(); }, PurgeCombo(Combo)}),
                   Combo);
    }

    // A colour box on a colour the entity gives through Get and takes through Set (a kit's Major/SetMajor...).
    void BindColor(TPyxColorBox* Box, std::function<uint32_t(TEntity&)> Get,
                   std::function<void(TEntity&, uint32_t)> Set) {
        Bind<uint32_t>([Box, Get = std::move(Get)](TEntity& E) { Box->SetSelected(Get(E)); },
                       [Box] { return Box->Selected(); },
                       [Set = std::move(Set)](TEntity& E, const uint32_t& Color) { Set(E, Color); },
                       [Box] { Box->SetSelected(0); }, Box);
    }

    // A check box on a Boolean or a 0/1 byte.
    template <class TField> void BindCheck(QCheckBox* Box, TField TEntity::*Field) {
        Bind<bool>([Box, Field](TEntity& E) { Box->setChecked(E.*Field != 0); }, [Box] { return Box->isChecked(); },
                   [Field](TEntity& E, const bool& Checked) { E.*Field = static_cast<TField>(Checked ? 1 : 0); },
                   [Box] { Box->setChecked(false); }, Box);
    }

    // A date picker on a stored date (see PyxControls::ToQDate for odd stored dates).
    void BindDate(QDateEdit* Edit, TPyxDate TEntity::*Field) {
        Bind<QDate>([Edit, Field](TEntity& E) { Edit->setDate(PyxControls::ToQDate(E.*Field)); },
                    [Edit] { return Edit->date(); },
                    [Field](TEntity& E, const QDate& Date) { E.*Field = PyxControls::FromQDate(Date); },
                    [Edit] { Edit->setDate(Edit->minimumDate()); }, Edit);
    }

    // A selector on a reference to another entity; the field is written directly. Its collection is set by the
    // frame's Attached. An entity deleted elsewhere leaves it.
    template <class TTarget> void BindSelector(TframeSelectionSearch* Selector, TTarget* TEntity::*Field) {
        BindSelector(
            Selector, [Selector, Field](TEntity& E) { Selector->SetSelected(E.*Field); },
            [Field](TEntity& E, TPyxObject* const& Target) { E.*Field = static_cast<TTarget*>(Target); });
    }
    // A selector whose value the entity gives and takes through Show and Write (a setter that keeps counts).
    void BindSelector(TframeSelectionSearch* Selector, std::function<void(TEntity&)> Show,
                      std::function<void(TEntity&, TPyxObject* const&)> Write) {
        AddBinding(std::make_unique<TValueBinding<TPyxObject*>>(typename TValueBinding<TPyxObject*>::TAccess{
                       Shows(std::move(Show)), [Selector] { return Selector->Selected(); },
                       Writes<TPyxObject*>(std::move(Write)), [Selector] { Selector->SetSelected(nullptr); },
                       [Selector](const TGoneEntities& Gone) {
                           if (Gone.Has(Selector->Selected()))
                               Selector->SetSelected(nullptr);
                       }}),
                   Selector);
    }

private:
    static std::function<void(TPyxObject&)> Shows(std::function<void(TEntity&)> Show) {
        return [Show = std::move(Show)](TPyxObject& E) { Show(static_cast<TEntity&>(E)); };
    }
    template <class TShown>
    static std::function<void(TPyxObject&, const TShown&)> Writes(std::function<void(TEntity&, const TShown&)> Write) {
        return [Write = std::move(Write)](TPyxObject& E, const TShown& V) { Write(static_cast<TEntity&>(E), V); };
    }
    static std::function<void(const TGoneEntities&)> PurgeCombo(TPointerComboBox* Combo) {
        return [Combo](const TGoneEntities& Gone) {
            Combo->RemoveEntities([&Gone](const TPyxObject* E) { return Gone.Has(E); });
        };
    }

    template <class TShown>
    static typename TValueBinding<TShown>::TAccess
    Access(std::function<void(TEntity&)> Show, std::function<TShown()> Read,
           std::function<void(TEntity&, const TShown&)> Write, std::function<void()> ClearControl) {
        typename TValueBinding<TShown>::TAccess Parts;
        Parts.Show = Shows(std::move(Show));
        Parts.Read = std::move(Read);
        Parts.Write = Writes<TShown>(std::move(Write));
        Parts.ClearControl = std::move(ClearControl);
        return Parts;
    }
};
