#pragma once

#include "FieldBinding.h"
#include "FramePage.h"
#include "NameBinding.h"
#include "PyxControls.h"
#include "PyxDate.h"
#include "PyxEditorFrame.h"
#include "PyxGlyphs.h"
#include "frameSelectionSearchUnit.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QToolButton>

#include <functional>
#include <memory>
#include <string>

// The typed layer of an editor frame for entities of kind TEntity: Current as that kind, and the bindings of the
// usual controls to its fields. A frame's constructor builds its pages and binds each control once; loading,
// confirming (only what changed), cancelling and clearing then follow for every bound control.
template <class TEntity> class TPyxFrame : public TPyxEditorFrame {
public:
    TEntity* Current() const { return static_cast<TEntity*>(CurrentObject()); }

protected:
    using TPyxEditorFrame::TPyxEditorFrame;

    // Any control: Show puts the entity's value into it, Read gives its value, Write stores a value into the
    // entity (called only when the value changed), ClearControl empties it on detach.
    template <class TShown>
    void Bind(std::function<void(TEntity&)> Show, std::function<TShown()> Read,
              std::function<void(TEntity&, const TShown&)> Write, std::function<void()> ClearControl = {}) {
        typename TValueBinding<TShown>::TAccess Access;
        Access.Show = [Show = std::move(Show)](TPyxObject& E) { Show(static_cast<TEntity&>(E)); };
        Access.Read = std::move(Read);
        Access.Write = [Write = std::move(Write)](TPyxObject& E, const TShown& V) {
            Write(static_cast<TEntity&>(E), V);
        };
        Access.ClearControl = std::move(ClearControl);
        AddBinding(std::make_unique<TValueBinding<TShown>>(std::move(Access)));
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
                      [Edit] { Edit->clear(); });
    }

    // An integer spin edit (any control with value() and setValue(int)) on an integer field of any width. The
    // control shows a stored value beyond its limits at the nearest limit; that value is written back only when
    // the user changes it.
    template <class TSpin, class TField> void BindSpin(TSpin* Spin, TField TEntity::*Field) {
        Bind<int>([Spin, Field](TEntity& E) { Spin->setValue(static_cast<int>(E.*Field)); },
                  [Spin] { return static_cast<int>(Spin->value()); },
                  [Field](TEntity& E, const int& Value) { E.*Field = static_cast<TField>(Value); },
                  [Spin] { Spin->setValue(Spin->minimum()); });
    }

    // A check box on a Boolean or a 0/1 byte.
    template <class TField> void BindCheck(QCheckBox* Box, TField TEntity::*Field) {
        Bind<bool>([Box, Field](TEntity& E) { Box->setChecked(E.*Field != 0); }, [Box] { return Box->isChecked(); },
                   [Field](TEntity& E, const bool& Checked) { E.*Field = static_cast<TField>(Checked ? 1 : 0); },
                   [Box] { Box->setChecked(false); });
    }

    // A date picker on a stored date (see PyxControls::ToQDate for odd stored dates).
    void BindDate(QDateEdit* Edit, TPyxDate TEntity::*Field) {
        Bind<QDate>([Edit, Field](TEntity& E) { Edit->setDate(PyxControls::ToQDate(E.*Field)); },
                    [Edit] { return Edit->date(); },
                    [Field](TEntity& E, const QDate& Date) { E.*Field = PyxControls::FromQDate(Date); },
                    [Edit] { Edit->setDate(Edit->minimumDate()); });
    }

    // A selector on a reference to another entity; the field is written directly.
    template <class TTarget> void BindSelector(TframeSelectionSearch* Selector, TTarget* TEntity::*Field) {
        Bind<TPyxObject*>([Selector, Field](TEntity& E) { Selector->SetSelected(E.*Field); },
                          [Selector] { return Selector->Selected(); },
                          [Field](TEntity& E, TPyxObject* const& Target) { E.*Field = static_cast<TTarget*>(Target); },
                          [Selector] { Selector->SetSelected(nullptr); });
    }
};
