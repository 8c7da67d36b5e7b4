#include "records/TruckStore.h"

#include "records/HugePages.h"

#include <sys/mman.h>

#include <cassert>
#include <new>
#include <utility>

namespace axlewise {

TruckStore::Chunk::~Chunk() {
    TruckRecord* const held = records();
    for (std::uint32_t slot = begin; slot < end; ++slot) {
        held[slot].~TruckRecord();
    }
}

void TruckStore::ChunkRelease::operator()(Chunk* chunk) const {
    chunk->~Chunk();
    ::munmap(chunk, sizeof(Chunk));
}

TruckStore::ChunkPointer TruckStore::NewChunk(bool hugePages) {
    void* memory =
        ::mmap(nullptr, sizeof(Chunk), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) {
        throw std::bad_alloc();
    }
    // Fresh, untouched memory: records are built in place as they come.
    if (hugePages) {
        AdviseHugePages(memory, sizeof(Chunk));
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
