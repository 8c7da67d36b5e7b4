#pragma once

#include "text/Units.h"

#include <cstddef>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace axlewise {

// Things made for single lines (laid-out lines, character counts), kept by
// line number while they are worth keeping. An edit that replaces some lines
// drops what was made for them and renumbers what follows, so that nothing is
// ever found under a line it was not made for. Each entry has a cost (say, the
// characters it holds); past a budget of entries or of cost, trim keeps only
// the lines that are still needed. Entries stay where they are in memory until
// erased, so a reference to one lives as long as its entry.
template <typename T>
class LineCache {
public:
    LineCache(std::size_t maxEntries, std::size_t maxCost)
        : maxEntries_(maxEntries), maxCost_(maxCost) {}

    T* find(LineNumber line) {
        const auto found = entries_.find(line);
        return found == entries_.end() ? nullptr : found->second.value.get();
    }
    const T* find(LineNumber line) const {
        const auto found = entries_.find(line);
        return found == entries_.end() ? nullptr : found->second.value.get();
    }
    // Keeps value for line, in place of what was kept for it.
    T& put(LineNumber line, std::unique_ptr<T> value, std::size_t cost) {
        erase(line);
        Entry& entry = entries_[line];
        entry.value = std::move(value);
        entry.cost = cost;
        cost_ += cost;
        return *entry.value;
    }
    T& put(LineNumber line, T value, std::size_t cost) {
        return put(line, std::make_unique<T>(std::move(value)), cost);
    }
    void erase(LineNumber line) {
        const auto found = entries_.find(line);
        if (found != entries_.end()) {
            cost_ -= found->second.cost;
            entries_.erase(found);
        }
    }
    void clear() {
        entries_.clear();
        cost_ = 0;
    }

    // Lines [change.first, change.oldLast] became [change.first, change.newLast].
    void linesReplaced(const LineChange& change) {
        for (auto it = entries_.lower_bound(change.first);
             it != entries_.end() && it->first <= change.oldLast;) {
            cost_ -= it->second.cost;
            it = entries_.erase(it);
        }
        const LineNumber shift = change.shift();
        if (shift == LineNumber(0)) {
            return;
        }
        using Node = typename std::map<LineNumber, Entry>::node_type;
        std::vector<Node> moved;
        for (auto it = entries_.upper_bound(change.oldLast); it != entries_.end();) {
            Node node = entries_.extract(it++);
            node.key() += shift;
            moved.push_back(std::move(node));
        }
        for (Node& node : moved) {
            entries_.insert(std::move(node));
        }
    }

    // When over the budget, drops every entry outside [from, to].
    void trim(LineNumber from, LineNumber to) {
        if (entries_.size() <= maxEntries_ && cost_ <= maxCost_) {
            return;
        }
        for (auto it = entries_.begin(); it != entries_.end();) {
            if (it->first < from || it->first > to) {
                cost_ -= it->second.cost;
                it = entries_.erase(it);
            } else {
                ++it;
            }
        }
    }

    std::size_t size() const { return entries_.size(); }
    std::size_t cost() const { return cost_; }
    // The lines kept, in order.
    std::vector<LineNumber> lines() const {
        std::vector<LineNumber> out;
        out.reserve(entries_.size());
        for (const auto& entry : entries_) {
            out.push_back(entry.first);
        }
        return out;
    }

private:
    struct Entry {
        std::unique_ptr<T> value;
        std::size_t cost = 0;
    };

    std::map<LineNumber, Entry> entries_;
    std::size_t cost_ = 0;
    std::size_t maxEntries_;
    std::size_t maxCost_;
};

}  // namespace axlewise
