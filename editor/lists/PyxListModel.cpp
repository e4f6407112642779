#include "PyxListModel.h"

#include "PyxObject.h"
#include "PyxText.h"

#include <algorithm>

namespace {

std::u16string Folded(const QString& Text) {
    std::u16string Result(static_cast<std::size_t>(Text.size()), u'\0');
    FoldCase(std::u16string_view(reinterpret_cast<const char16_t*>(Text.utf16()), Result.size()), Result.data());
    return Result;
}

} // namespace

TPyxListModel::TPyxListModel(QObject* Parent) : QAbstractListModel(Parent) {}

int TPyxListModel::rowCount(const QModelIndex& Parent) const {
    return Parent.isValid() ? 0 : Count();
}

QVariant TPyxListModel::data(const QModelIndex& Index, int Role) const {
    if (!Index.isValid() || Index.row() >= Count())
        return {};
    if (Role == Qt::DisplayRole || Role == Qt::ToolTipRole || Role == Qt::AccessibleTextRole)
        return DisplayName(*Rows_[static_cast<std::size_t>(Index.row())]);
    return {};
}

TPyxObject* TPyxListModel::Entity(int Row) const {
    return Row >= 0 && Row < Count() ? Rows_[static_cast<std::size_t>(Row)] : nullptr;
}

int TPyxListModel::RowOf(const TPyxObject* Entity) const {
    const auto It = std::find(Rows_.begin(), Rows_.end(), Entity);
    return It == Rows_.end() ? -1 : static_cast<int>(It - Rows_.begin());
}

void TPyxListModel::SetRows(std::vector<TPyxObject*> Rows, std::vector<TPrefix> Prefixes) {
    Q_ASSERT(Rows.size() == Prefixes.size());
    beginResetModel();
    Rows_ = std::move(Rows);
    Prefixes_ = std::move(Prefixes);
    endResetModel();
}

void TPyxListModel::Clear() {
    SetRows({}, {});
}

int TPyxListModel::Append(TPyxObject* Entity) {
    const int Row = Count();
    beginInsertRows(QModelIndex(), Row, Row);
    Rows_.push_back(Entity);
    Prefixes_.push_back(PrefixOf(DisplayName(*Entity)));
    endInsertRows();
    return Row;
}

void TPyxListModel::Remove(int Row) {
    if (Row < 0 || Row >= Count())
        return;
    beginRemoveRows(QModelIndex(), Row, Row);
    Rows_.erase(Rows_.begin() + Row);
    Prefixes_.erase(Prefixes_.begin() + Row);
    endRemoveRows();
}

void TPyxListModel::RemoveIf(const std::function<bool(const TPyxObject*)>& Remove) {
    // Run by run of rows that go, from the end, so that the view keeps its focused and selected rows where they stay
    // (a reset would lose them).
    int End = Count();
    while (End > 0) {
        int Last = End - 1;
        while (Last >= 0 && !Remove(Rows_[static_cast<std::size_t>(Last)]))
            --Last;
        if (Last < 0)
            break;
        int First = Last;
        while (First > 0 && Remove(Rows_[static_cast<std::size_t>(First - 1)]))
            --First;
        beginRemoveRows(QModelIndex(), First, Last);
        Rows_.erase(Rows_.begin() + First, Rows_.begin() + Last + 1);
        Prefixes_.erase(Prefixes_.begin() + First, Prefixes_.begin() + Last + 1);
        endRemoveRows();
        End = First;
    }
}

void TPyxListModel::Refresh(int Row) {
    if (Row < 0 || Row >= Count())
        return;
    Prefixes_[static_cast<std::size_t>(Row)] = PrefixOf(DisplayName(*Rows_[static_cast<std::size_t>(Row)]));
    emit dataChanged(index(Row), index(Row));
}

QString TPyxListModel::DisplayName(const TPyxObject& Entity) {
    const std::u16string Name = Entity.GetName();
    return Name.empty() ? QStringLiteral("No Name") : QString::fromStdU16String(Name);
}

TPyxListModel::TPrefix TPyxListModel::PrefixOf(std::u16string_view Name) {
    TPrefix Prefix{};
    FoldCase(Name.substr(0, PrefixLength), Prefix.data());
    return Prefix;
}

TPyxListModel::TPrefix TPyxListModel::PrefixOf(const QString& Name) {
    return PrefixOf(
        std::u16string_view(reinterpret_cast<const char16_t*>(Name.utf16()), static_cast<std::size_t>(Name.size())));
}

bool TPyxListModel::RowMatches(int Row, const std::u16string& Text) const {
    const auto& Prefix = Prefixes_[static_cast<std::size_t>(Row)];
    const std::size_t Known = std::min<std::size_t>(Text.size(), PrefixLength);
    if (!std::equal(Text.begin(), Text.begin() + static_cast<std::ptrdiff_t>(Known), Prefix.begin()))
        return false;
    if (Text.size() <= static_cast<std::size_t>(PrefixLength))
        return true;
    const QString Name = DisplayName(*Rows_[static_cast<std::size_t>(Row)]);
    return Name.size() >= static_cast<qsizetype>(Text.size()) &&
           Folded(Name.left(static_cast<qsizetype>(Text.size()))) == Text;
}

int TPyxListModel::FindPrefix(const QString& Text, int From) const {
    const int N = Count();
    if (N == 0 || Text.isEmpty())
        return -1;
    const std::u16string Wanted = Folded(Text);
    From = std::clamp(From, 0, N - 1);
    for (int I = 0; I < N; ++I) {
        const int Row = (From + I) % N;
        if (RowMatches(Row, Wanted))
            return Row;
    }
    return -1;
}
