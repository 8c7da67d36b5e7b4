#include "records/TruckStore.h"

#include "records/HugePages.h"

#include <sys/mman.h>

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <new>
#include <utility>

namespace axlewise {

TruckStore::Chunk::~Chunk() {
    TruckRecord* const held = records();
    for (std::uint32_t slot = begin; slot < end; ++slot) {
        held[slot].~TruckRecord();
    }
}

namespace {

// Chunks are mapped on 2 MiB boundaries and in whole 2 MiB pages, so that
// every page of a chunk may be a huge page: a chunk that only partly is
// takes a page fault every 4 KiB of the rest, which on a virtual machine
// costs more than filling it.
constexpr std::size_t kHugePage = kHugePageBytes;

constexpr std::size_t MappedSize(std::size_t bytes) {
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

}  // namespace

void TruckStore::ChunkRelease::operator()(Chunk* chunk) const {
    chunk->~Chunk();
    ::munmap(chunk, MappedSize(sizeof(Chunk)));
}

TruckStore::ChunkPointer TruckStore::NewChunk(bool hugePages) {
    constexpr std::size_t kSize = MappedSize(sizeof(Chunk));
    // Mapped one huge page larger, then trimmed to the aligned part.
    void* mapped = ::mmap(nullptr, kSize + kHugePage, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) {
        throw std::bad_alloc();
    }
    auto* const start = static_cast<char*>(mapped);
    const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(start);
    const std::size_t head = (kHugePage - address % kHugePage) % kHugePage;
    char* const memory = start + head;
    if (head > 0) {
        ::munmap(start, head);
    }
    ::munmap(memory + kSize, kHugePage - head);
    // Fresh, untouched memory: records are built in place as they come.
    if (hugePages) {
        AdviseHugePages(memory, kSize);
    }
    return ChunkPointer(new (memory) Chunk);
}

TruckStore::TruckStore(TruckIndex first, TruckIndex expected)
    : hugePages_(expected >= kChunkTrucks / 2) {
    clear(first);
}

TruckStore::~TruckStore() = default;

TruckStore::TruckStore(TruckStore&& other) noexcept
    : first_(other.first_),
      count_(other.count_),
      firstChunk_(other.firstChunk_),
      chunks_(std::move(other.chunks_)),
      hugePages_(other.hugePages_) {
    other.clear(other.last() + 1);
}

TruckStore& TruckStore::operator=(TruckStore&& other) noexcept {
    if (this != &other) {
        first_ = other.first_;
        count_ = other.count_;
        firstChunk_ = other.firstChunk_;
        chunks_ = std::move(other.chunks_);
        hugePages_ = other.hugePages_;
        other.clear(other.last() + 1);
    }
    return *this;
}

void TruckStore::clear(TruckIndex first) {
    assert(first >= 1);
    chunks_.clear();
    chunks_.shrink_to_fit();
    first_ = first;
    count_ = 0;
    firstChunk_ = ChunkOf(first);
}

void TruckStore::add(TruckRecord record, CheckMask failed) {
    const TruckIndex number = first_ + count_;
    const std::uint64_t slot = static_cast<std::uint64_t>(number - 1);
    const auto inChunk = static_cast<std::uint32_t>(slot % kChunkTrucks);
    if (slot / kChunkTrucks - firstChunk_ == chunks_.size()) {
        ChunkPointer fresh = NewChunk(hugePages_ || !chunks_.empty());
        fresh->begin = inChunk;
        fresh->end = inChunk;
        chunks_.push_back(std::move(fresh));
    }
    Chunk& into = *chunks_.back();
    new (into.records() + inChunk) TruckRecord(std::move(record));
    into.masks[inChunk] = failed;
    into.end = inChunk + 1;
    ++count_;
}

std::vector<TruckStore::Stretch> TruckStore::stretches(TruckIndex from, TruckIndex to) const {
    std::vector<Stretch> found;
    while (from <= to) {
        const std::uint64_t slot = static_cast<std::uint64_t>(from - 1);
        const TruckIndex inChunk = static_cast<TruckIndex>(slot % kChunkTrucks);
        const TruckIndex count = std::min(to - from + 1, kChunkTrucks - inChunk);
        Chunk& holder = chunk(slot);
        found.push_back({holder.records() + inChunk, holder.masks + inChunk, from, count});
        from += count;
    }
    return found;
}

void TruckStore::append(TruckStore&& batch) {
    assert(batch.first_ == last() + 1);
    if (batch.empty()) {
        return;
    }
    if (empty()) {
        // Nothing held: the batch's chunks are this store's.
        *this = std::move(batch);
        return;
    }
    std::size_t from = 0;
    if (ChunkOf(batch.first_) == ChunkOf(last())) {
        // The batch starts inside this store's last chunk: its first chunk's
        // trucks move into the free slots there, in place.
        Chunk& into = *chunks_.back();
        Chunk& head = *batch.chunks_.front();
        assert(head.begin == into.end);
        TruckRecord* const target = into.records();
        TruckRecord* const source = head.records();
        for (std::uint32_t slot = head.begin; slot < head.end; ++slot) {
            new (target + slot) TruckRecord(std::move(source[slot]));
            into.masks[slot] = head.masks[slot];
            into.end = slot + 1;
        }
        from = 1;
    }
    for (std::size_t k = from; k < batch.chunks_.size(); ++k) {
        chunks_.push_back(std::move(batch.chunks_[k]));
    }
    count_ += batch.count_;
    batch.clear(last() + 1);
}

}  // namespace axlewise
