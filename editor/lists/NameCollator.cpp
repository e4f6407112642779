#include "NameCollator.h"

#include <QLocale>

#include <unicode/ucol.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

UCollator* OpenCollator() {
    // The locale's collation, case-insensitive (secondary strength: accents count, case does not).
    const QByteArray Locale = QLocale().bcp47Name().replace('-', '_').toLatin1();
    UErrorCode Status = U_ZERO_ERROR;
    UCollator* Collator = ucol_open(Locale.constData(), &Status);
    if (U_FAILURE(Status)) {
        Status = U_ZERO_ERROR;
        Collator = ucol_open("", &Status);
    }
    if (U_FAILURE(Status) || Collator == nullptr)
        throw std::runtime_error("no collator for the names' order");
    ucol_setStrength(Collator, UCOL_SECONDARY);
    return Collator;
}

} // namespace

TNameCollator::TNameCollator() : Collator_(OpenCollator()) {}

TNameCollator::~TNameCollator() {
    ucol_close(Collator_);
}

std::unique_ptr<TNameCollator> TNameCollator::Clone() const {
    UErrorCode Status = U_ZERO_ERROR;
    UCollator* Copy = ucol_clone(Collator_, &Status);
    if (U_FAILURE(Status) || Copy == nullptr)
        throw std::runtime_error("no collator for the names' order");
    return std::unique_ptr<TNameCollator>(new TNameCollator(Copy));
}

void TNameCollator::AddKey(std::u16string_view Name, TKeys& Keys) const {
    const auto Length = static_cast<int32_t>(Name.size());
    uint8_t Small[128];
    int32_t Size = ucol_getSortKey(Collator_, Name.data(), Length, Small, sizeof Small);
    const uint8_t* Key = Small;
    std::vector<uint8_t> Large;
    if (Size > static_cast<int32_t>(sizeof Small)) {
        Large.resize(static_cast<std::size_t>(Size));
        Size = ucol_getSortKey(Collator_, Name.data(), Length, Large.data(), Size);
        Key = Large.data();
    }
    // Size counts the terminating zero; the key bytes themselves are never zero.
    const auto Bytes = static_cast<std::size_t>(Size > 0 ? Size - 1 : 0);
    constexpr std::size_t Head = TKeys::HeadBytes;
    TKeys::TKey Entry{{0, 0}, static_cast<uint32_t>(Keys.Bytes_.size()), 0};
    for (std::size_t I = 0; I < Head; ++I)
        Entry.Head[I / 8] = (Entry.Head[I / 8] << 8) | (I < Bytes ? Key[I] : 0);
    if (Bytes > Head) {
        Keys.Bytes_.insert(Keys.Bytes_.end(), Key + Head, Key + Bytes);
        Entry.Length = static_cast<uint32_t>(Bytes - Head);
    }
    Keys.Keys_.push_back(Entry);
}

bool TNameCollator::TKeys::Less(std::size_t A, std::size_t B) const {
    const TKey& KA = Keys_[A];
    const TKey& KB = Keys_[B];
    if (KA.Head[0] != KB.Head[0])
        return KA.Head[0] < KB.Head[0];
    if (KA.Head[1] != KB.Head[1])
        return KA.Head[1] < KB.Head[1];
    const uint32_t Shorter = std::min(KA.Length, KB.Length);
    const int Common = Shorter == 0 ? 0 : std::memcmp(Bytes_.data() + KA.Start, Bytes_.data() + KB.Start, Shorter);
    return Common != 0 ? Common < 0 : KA.Length < KB.Length;
}

void TNameCollator::TKeys::Append(const TKeys& Other) {
    const auto Offset = static_cast<uint32_t>(Bytes_.size());
    Bytes_.insert(Bytes_.end(), Other.Bytes_.begin(), Other.Bytes_.end());
    for (TKey Key : Other.Keys_) {
        Key.Start += Offset;
        Keys_.push_back(Key);
    }
}

int TNameCollator::Compare(std::u16string_view A, std::u16string_view B) const {
    const UCollationResult Result =
        ucol_strcoll(Collator_, A.data(), static_cast<int32_t>(A.size()), B.data(), static_cast<int32_t>(B.size()));
    return Result == UCOL_LESS ? -1 : Result == UCOL_GREATER ? 1 : 0;
}
