#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

// Keys come from data files, so a file could choose every key to fall into one bucket of a plain remainder and
// turn each insertion and lookup into a walk over the whole table (40000 sponsors took seconds, a million would take
// hours). Buckets are therefore chosen by the key mixed with a seed drawn once per process; what a lookup finds
// never depends on it.
inline uint64_t MixHashKey(int64_t Key) {
    static const uint64_t Seed = [] {
        std::random_device Random;
        return static_cast<uint64_t>(Random()) << 32 ^ Random();
    }();
    uint64_t X = static_cast<uint64_t>(Key) ^ Seed;
    X ^= X >> 30;
    X *= 0xbf58476d1ce4e5b9ULL;
    X ^= X >> 27;
    X *= 0x94d049bb133111ebULL;
    X ^= X >> 31;
    return X;
}

// The same mixing for the standard library's hashed containers keyed by values read from files.
struct TMixedKeyHash {
    std::size_t operator()(int64_t Key) const noexcept { return static_cast<std::size_t>(MixHashKey(Key)); }
};

// Map from a 32-bit key to a borrowed object pointer, with chained buckets. The collections size it to their record
// count before loading a table, so lookups while loading and linking stay constant-time. Nodes live in one pool and
// are recycled through a free list instead of being allocated one by one.
//
// A table starts with the key's plain remainder as its bucket: the keys of a saved file are mostly positions, which
// then fill the buckets in order and keep loading and linking in the processor's caches (with the seeded mix below
// from the start, a load of 300,000 persons took 40% longer). A file whose keys pile up in one bucket makes the
// table switch for good to buckets by the seeded mix (MixHashKey): until then no chain grows past LongChain nodes,
// and after it no file can steer the buckets, so no key pattern makes the table slow.
template <class V> class THashtable final {
public:
    explicit THashtable(int32_t BucketCount = 1) { SetBucketCount(BucketCount); }

    int32_t Count() const { return Count_; }
    // Whether the table has switched to buckets by the seeded mix (see above).
    bool UsesMixedBuckets() const { return Mixed_; }
    int32_t BucketCount() const { return static_cast<int32_t>(Buckets_.size()); }

    // Abs(Key mod BucketCount), the remainder taking the sign of Key: the table's hash as the game's editor defines
    // it. The buckets themselves are chosen by Bucket, which a data file cannot steer (see MixHashKey).
    int32_t Hash(int32_t Key) const { return std::abs(Key % BucketCount()); }

    V* Get(int32_t Key) const {
        for (int32_t N = Buckets_[Bucket(Key)]; N >= 0; N = Nodes_[N].Next)
            if (Nodes_[N].Key == Key)
                return Nodes_[N].Value;
        return nullptr;
    }

    // Replaces the value of an existing key and returns the previous one; otherwise adds the key and returns nil.
    V* Put(int32_t Key, V* Value) {
        int32_t& Head = Buckets_[Bucket(Key)];
        int32_t Length = 0;
        for (int32_t N = Head; N >= 0; N = Nodes_[N].Next, ++Length)
            if (Nodes_[N].Key == Key) {
                V* Old = Nodes_[N].Value;
                Nodes_[N].Value = Value;
                return Old;
            }
        if (Length >= LongChain && !Mixed_) {
            SwitchToMixedBuckets();
            return Put(Key, Value);
        }
        int32_t N = NewNode();
        Nodes_[N] = {Value, Key, Head};
        Head = N;
        ++Count_;
        return nullptr;
    }

    // Unlinks the first node with Key and returns its value; nil when there is none.
    V* Remove(int32_t Key) {
        int32_t* Link = &Buckets_[Bucket(Key)];
        while (*Link >= 0) {
            int32_t N = *Link;
            if (Nodes_[N].Key == Key) {
                *Link = Nodes_[N].Next;
                V* Old = Nodes_[N].Value;
                Nodes_[N].Next = FreeList_;
                FreeList_ = N;
                --Count_;
                return Old;
            }
            Link = &Nodes_[N].Next;
        }
        return nullptr;
    }

    void Clear() {
        std::fill(Buckets_.begin(), Buckets_.end(), -1);
        Nodes_.clear();
        FreeList_ = -1;
        Count_ = 0;
        Mixed_ = false;
    }

    // Empties the table and gives it N buckets (at least one). A table that shrinks gives its memory back: the
    // load-time tables of a large world would otherwise hold megabytes for nothing once their records have moved
    // to their owners.
    void SetBucketCount(int32_t N) {
        if (N < 1)
            N = 1;
        if (Buckets_.capacity() > 2 * static_cast<size_t>(N))
            std::vector<int32_t>().swap(Buckets_);
        Buckets_.assign(static_cast<size_t>(N), -1);
        Nodes_.clear();
        Nodes_.shrink_to_fit();
        Nodes_.reserve(static_cast<size_t>(N) > 1 ? static_cast<size_t>(N) : 0);
        FreeList_ = -1;
        Count_ = 0;
        Mixed_ = false;
    }

private:
    static constexpr int32_t LongChain = 32;

    // The mixed key is scaled to the bucket count by a multiplication rather than a remainder: a load makes some
    // five million lookups, and a 64-bit division in each would be a tenth of it.
    size_t Bucket(int32_t Key) const {
        if (!Mixed_)
            return static_cast<uint32_t>(Key) % static_cast<uint32_t>(Buckets_.size());
        return static_cast<size_t>(((MixHashKey(Key) >> 32) * Buckets_.size()) >> 32);
    }

    // Re-files every node under the seeded mix. Order within a chain does not matter: each key occurs once.
    void SwitchToMixedBuckets() {
        std::vector<bool> Free(Nodes_.size(), false);
        for (int32_t N = FreeList_; N >= 0; N = Nodes_[static_cast<size_t>(N)].Next)
            Free[static_cast<size_t>(N)] = true;
        Mixed_ = true;
        std::fill(Buckets_.begin(), Buckets_.end(), -1);
        for (size_t N = 0; N < Nodes_.size(); ++N) {
            if (Free[N])
                continue;
            int32_t& Head = Buckets_[Bucket(Nodes_[N].Key)];
            Nodes_[N].Next = Head;
            Head = static_cast<int32_t>(N);
        }
    }

    // The pointer first: 16 bytes a node instead of 24 with the padding around it, two nodes for every entity.
    struct TNode {
        V* Value;
        int32_t Key;
        int32_t Next;
    };

    int32_t NewNode() {
        if (FreeList_ >= 0) {
            int32_t N = FreeList_;
            FreeList_ = Nodes_[N].Next;
            return N;
        }
        Nodes_.push_back({});
        return static_cast<int32_t>(Nodes_.size() - 1);
    }

    std::vector<int32_t> Buckets_;
    std::vector<TNode> Nodes_;
    int32_t FreeList_ = -1;
    int32_t Count_ = 0;
    bool Mixed_ = false; // buckets by the seeded mix, since a chain grew too long
};
