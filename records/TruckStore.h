#pragma once

#include "records/modUDTs.h"

#include <cstdint>
#include <memory>
#include <new>
#include <vector>

namespace axlewise {

// Counts and 1-based positions of trucks, lines and characters: wide enough for
// anything that fits in memory.
using TruckIndex = std::int64_t;

// The checks a truck failed, one bit per check (see checks/TruckChecks.h for
// which bit is which); 0 when every check passed.
using CheckMask = std::uint16_t;

// Trucks numbered first(), first() + 1, ..., last(), each with the checks it
// failed. The trucks live in chunks of kChunkTrucks that never move once
// allocated, so appending a whole batch of trucks read elsewhere moves chunk
// pointers, never the trucks held, and memory grows by the batch alone.
// Looking a truck up by its number is O(1).
//
// Chunks are laid out by number, whatever store holds them: truck n sits in
// chunk (n - 1) / kChunkTrucks at slot (n - 1) % kChunkTrucks. A batch that is
// to follow a store is therefore started at the number that store holds next,
// and appending it hands its chunks over as they are; only the trucks that
// share the store's last, partly filled chunk are moved into it.
class TruckStore {
public:
    static constexpr TruckIndex kChunkTrucks = TruckIndex{1} << 16;

    // An empty store whose first truck will be number `first` (>= 1).
    // expected: about how many trucks will be added; from a chunk's worth on,
    // chunks ask for huge pages (fewer page faults on large loads, but each
    // one touched costs 2 MiB).
    explicit TruckStore(TruckIndex first = 1, TruckIndex expected = 0);
    ~TruckStore();
    TruckStore(TruckStore&& other) noexcept;
    TruckStore& operator=(TruckStore&& other) noexcept;
    TruckStore(const TruckStore&) = delete;
    TruckStore& operator=(const TruckStore&) = delete;

    TruckIndex first() const { return first_; }
    TruckIndex last() const { return first_ + count_ - 1; }
    TruckIndex count() const { return count_; }
    bool empty() const { return count_ == 0; }
    bool holds(TruckIndex number) const { return number >= first_ && number <= last(); }

    // Appends a truck as number last() + 1.
    void add(TruckRecord record, CheckMask failed = 0);

    // The truck and its failed checks by number; number must lie in
    // first()..last() (checked by the callers: see BrowserState::Truck).
    const TruckRecord& truck(TruckIndex number) const {
        const std::uint64_t slot = static_cast<std::uint64_t>(number - 1);
        return chunk(slot).records()[slot % kChunkTrucks];
    }
    CheckMask checks(TruckIndex number) const {
        const std::uint64_t slot = static_cast<std::uint64_t>(number - 1);
        return chunk(slot).masks[slot % kChunkTrucks];
    }

    // Trucks first..first + count - 1 of one chunk, as plain memory: their
    // records and their masks. The memory never moves, so another thread may
    // read the records and write the masks while this store goes on adding
    // trucks after them (see TruckStore::stretches).
    struct Stretch {
        const TruckRecord* records = nullptr;
        CheckMask* masks = nullptr;
        TruckIndex first = 0;
        TruckIndex count = 0;
    };
    // The trucks from..to as stretches, one a chunk, in order; from..to within
    // first()..last(). Only the thread that adds trucks may call it.
    std::vector<Stretch> stretches(TruckIndex from, TruckIndex to) const;

    // Appends every truck of batch, whose first() must be last() + 1; batch is
    // left empty, numbered on from the trucks it gave.
    void append(TruckStore&& batch);

    // Drops every truck and gives back the memory; the next truck is `first`.
    void clear(TruckIndex first = 1);

private:
    // Room for kChunkTrucks trucks; slots [begin, end) hold constructed
    // records. Mapped straight from the kernel and left uninitialised, so a
    // chunk costs address space only and memory as its slots are touched: a
    // load of a few trucks pays for a few pages, not for the whole chunk.
    struct Chunk {
        std::uint32_t begin = 0;
        std::uint32_t end = 0;
        CheckMask masks[kChunkTrucks];
        alignas(TruckRecord) unsigned char storage[sizeof(TruckRecord) * kChunkTrucks];

        TruckRecord* records() { return std::launder(reinterpret_cast<TruckRecord*>(storage)); }
        ~Chunk();
    };
    struct ChunkRelease {
        void operator()(Chunk* chunk) const;
    };
    using ChunkPointer = std::unique_ptr<Chunk, ChunkRelease>;
    static ChunkPointer NewChunk(bool hugePages);
    Chunk& chunk(std::uint64_t slot) const {
        return *chunks_[static_cast<std::size_t>(slot / kChunkTrucks - firstChunk_)];
    }
    static std::uint64_t ChunkOf(TruckIndex number) {
        return static_cast<std::uint64_t>(number - 1) / kChunkTrucks;
    }

    TruckIndex first_ = 1;
    TruckIndex count_ = 0;
    // The chunk that holds truck first_; chunks_[k] is chunk firstChunk_ + k.
    std::uint64_t firstChunk_ = 0;
    std::vector<ChunkPointer> chunks_;
    bool hugePages_ = false;
};

}  // namespace axlewise
