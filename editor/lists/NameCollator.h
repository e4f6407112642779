#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

struct UCollator;

// The order of the entity lists: names compared as the user's locale sorts words, without regard to letter case
// (the collation Qt's QCollator uses, taken from ICU itself). A list of 300,000 names is sorted by sort keys: each
// name's key is made once into one shared buffer, and keys are compared by their first sixteen bytes, held beside
// the index, then by the rest only on a tie, so that the sort touches little memory beyond the keys themselves.
class TNameCollator final {
public:
    TNameCollator();
    ~TNameCollator();
    TNameCollator(const TNameCollator&) = delete;
    TNameCollator& operator=(const TNameCollator&) = delete;

    // The sort keys of a list of names, by index.
    class TKeys final {
    public:
        // True when name A sorts before name B.
        bool Less(std::size_t A, std::size_t B) const;
        std::size_t Count() const { return Keys_.size(); }
        // Appends the keys of Other after these (their indices follow these).
        void Append(const TKeys& Other);

    private:
        friend class TNameCollator;
        static constexpr std::size_t HeadBytes = 16;
        struct TKey {
            uint64_t Head[2]; // the first sixteen bytes, most significant first, zero-padded
            uint32_t Start;   // the remaining bytes in Bytes_, up to the key's terminating zero
            uint32_t Length;
        };
        std::vector<TKey> Keys_;
        std::vector<uint8_t> Bytes_;
    };

    // Appends the key of Name (UTF-16) to Keys.
    void AddKey(std::u16string_view Name, TKeys& Keys) const;
    // A collator of its own for another thread (a collator serves one thread at a time).
    std::unique_ptr<TNameCollator> Clone() const;

    // -1, 0 or 1: A against B.
    int Compare(std::u16string_view A, std::u16string_view B) const;

private:
    explicit TNameCollator(UCollator* Collator) : Collator_(Collator) {}
    UCollator* Collator_ = nullptr;
};
