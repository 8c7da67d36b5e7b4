#include "checks/LoadChecks.h"

namespace axlewise {

CheckMask LoadChecker::next(const TruckRecord& truck, TruckIndex number) {
    CheckMask failed = FailedChecks(truck, hasPrevious_ ? &previous_ : nullptr);
    if (order_.nextFails(truck, number)) {
        failed = static_cast<CheckMask>(failed | MaskOf(CheckCode::Order));
    }
    previous_.Data = truck.Data;
    hasPrevious_ = true;
    return failed;
}

ChecksAlongside::ChecksAlongside(TruckStore& trucks)
    : trucks_(trucks), handed_(trucks.first() - 1), thread_([this] { run(); }) {}

ChecksAlongside::~ChecksAlongside() {
    if (!thread_.joinable()) {
        return;  // finished
    }
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void ChecksAlongside::readUpTo(TruckIndex last) {
    if (last <= handed_) {
        return;
    }
    std::vector<TruckStore::Stretch> read = trucks_.stretches(handed_ + 1, last);
    handed_ = last;
    {
        const std::lock_guard lock(mutex_);
        queue_.insert(queue_.end(), read.begin(), read.end());
    }
    wake_.notify_one();
}

void ChecksAlongside::finish() {
    {
        const std::lock_guard lock(mutex_);
        done_ = true;
    }
    wake_.notify_one();
    thread_.join();
    if (failed_) {
        std::rethrow_exception(failed_);
    }
}

void ChecksAlongside::run() {
    LoadChecker checker;
    for (;;) {
        TruckStore::Stretch stretch;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return !queue_.empty() || done_ || stop_; });
            if (stop_ || failed_ || queue_.empty()) {
                // Stopped, failed, or every stretch handed over is checked.
                return;
            }
            stretch = queue_.front();
            queue_.pop_front();
        }
        try {
            // Only this stretch's masks are written; the reader adds trucks
            // elsewhere and never touches these.
            for (TruckIndex k = 0; k < stretch.count; ++k) {
                stretch.masks[k] = checker.next(stretch.records[k], stretch.first + k);
            }
        } catch (...) {
            const std::lock_guard lock(mutex_);
            failed_ = std::current_exception();
        }
    }
}

std::vector<CheckFailure> TruckFailures(const BrowserState& state, TruckIndex index) {
    const TruckRecord& truck = state.Truck(index);
    const TruckIndex loadStart = state.LoadStartOf(index);
    const TruckIndex before = index - 1;
    std::vector<CheckFailure> failures =
        CheckTruck(truck, before >= loadStart ? &state.Truck(before) : nullptr, before);
    if ((state.Checks(index) & MaskOf(CheckCode::Order)) != 0) {
        // The truck it follows in its lane and direction is the nearest one
        // before it there; the load's mask says it passed later.
        for (TruckIndex other = before; other >= loadStart; --other) {
            const TruckRecord& candidate = state.Truck(other);
            if (SameLaneAndDirection(truck, candidate)) {
                failures.push_back(OrderFailure(truck, candidate, other));
                break;
            }
        }
    }
    return failures;
}

}  // namespace axlewise
