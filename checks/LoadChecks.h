#pragma once

#include "checks/OrderCheck.h"
#include "checks/TruckChecks.h"
#include "records/BrowserState.h"
#include "records/modUDTs.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace axlewise {

// The checks of the trucks of one load (a file or a paste), fed in the order
// read: every check of CheckTruck, DUPLICATE against the truck read before it
// in the same load, and ORDER within the load. The window keeps the mask with
// each truck; `axlewise-cli check` runs the same checks on each file.
class LoadChecker {
public:
    // The checks `truck`, the next truck of the load, fails; number is its
    // number in whatever list it goes to (ORDER remembers it).
    CheckMask next(const TruckRecord& truck, TruckIndex number);

private:
    OrderCheck order_;
    TruckRecord previous_;  // Data only
    bool hasPrevious_ = false;
};

// Works out the check mask of every truck of a load on a thread of its own,
// while the load goes on reading: the reader hands over each stretch of
// trucks once it is read, and the masks are done by the time the last
// stretch is, so the checks add next to nothing to a load's time. The masks
// are those LoadChecker gives.
class ChecksAlongside {
public:
    // For the trucks of `trucks`, numbered from trucks.first().
    explicit ChecksAlongside(TruckStore& trucks);
    // Stops the thread; masks not yet worked out stay as they were.
    ~ChecksAlongside();
    ChecksAlongside(const ChecksAlongside&) = delete;
    ChecksAlongside& operator=(const ChecksAlongside&) = delete;

    // Trucks up to `last` are read and will not change: they may be checked.
    // Call it on the thread that adds the trucks, with `last` growing.
    void readUpTo(TruckIndex last);
    // Waits until every truck handed over is checked and the thread has
    // ended; an exception of the checks is raised here. Call it once.
    void finish();

private:
    void run();

    TruckStore& trucks_;
    TruckIndex handed_ = 0;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<TruckStore::Stretch> queue_;
    bool done_ = false;  // every stretch is handed over
    bool stop_ = false;  // quit now, checked or not
    std::exception_ptr failed_;
    std::thread thread_;
};

// The failures of truck `index` of state (1..NoTrucks), with their messages:
// the checks of CheckTruck against the truck before it in its load, and ORDER
// when its kept mask says it failed, named against the truck it follows in
// its lane and direction. Agrees with state.Checks(index) check for check.
std::vector<CheckFailure> TruckFailures(const BrowserState& state, TruckIndex index);

}  // namespace axlewise
