#pragma once

#include <QAbstractListModel>

#include <array>
#include <functional>
#include <string_view>
#include <vector>

class TPyxObject;

// The rows of an entity list: one entity pointer per row, borrowed from a collection. A row's text is bound only
// when the view asks for it (the entity's display name, "No Name" when it has none), so a list of 300,000 persons
// costs a pointer per row and the names of the rows on screen. Beside each row the model keeps the first letters
// of its name, case-folded, for the incremental search.
class TPyxListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    // The first PrefixLength UTF-16 units of a name, case-folded, zero-padded.
    static constexpr int PrefixLength = 8;
    using TPrefix = std::array<char16_t, PrefixLength>;

    explicit TPyxListModel(QObject* Parent = nullptr);

    int rowCount(const QModelIndex& Parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& Index, int Role = Qt::DisplayRole) const override;

    int Count() const { return static_cast<int>(Rows_.size()); }
    TPyxObject* Entity(int Row) const;
    // The first row holding Entity, or -1.
    int RowOf(const TPyxObject* Entity) const;

    // Replaces every row; Prefixes holds one entry per row.
    void SetRows(std::vector<TPyxObject*> Rows, std::vector<TPrefix> Prefixes);
    void Clear();
    // Appends a row and returns it.
    int Append(TPyxObject* Entity);
    void Remove(int Row);
    // Removes every row for which Remove is true; Remove gets the pointer only and must not dereference it.
    void RemoveIf(const std::function<bool(const TPyxObject*)>& Remove);
    // Repaints a row whose entity's name changed (the row keeps its place).
    void Refresh(int Row);

    // The first row at or after From, going round past the end, whose display name begins with Text in any letter
    // case; -1 when none does.
    int FindPrefix(const QString& Text, int From) const;

    static QString DisplayName(const TPyxObject& Entity);
    static TPrefix PrefixOf(std::u16string_view Name);
    static TPrefix PrefixOf(const QString& Name);

private:
    bool RowMatches(int Row, const std::u16string& Folded) const;

    std::vector<TPyxObject*> Rows_;
    std::vector<TPrefix> Prefixes_;
};
