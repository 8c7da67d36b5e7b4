#pragma once

// The invariants the fuzz targets hold the parser and the loaders to. Each
// check stops the process through Die when it breaks.

#include "ReferenceReading.h"
#include "loading/TruckFile.h"
#include "records/BrowserState.h"
#include "records/RuntimeError.h"
#include "records/modUDTs.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace axlewise::fuzz {

// A record ReadTruck gave for line: the reference must read the line too, to
// the same 32 values; Data[0] is 0, RawLine is the line and Time is
// TruckTime(record).
void CheckAccepted(const TruckRecord& record, std::string_view line);

// A failure ReadTruck raised for line: the reference must reject the line too,
// at the same field, with the same number (6 or 13) and reason; the reason is
// valid UTF-8, names the field's caption and holds no raw control character.
void CheckRejected(ErrorNumber number, const std::string& reason, std::string_view line);

// Calls ReadTruck through read and holds what it gives or raises to the
// reference with the checks above; anything raised other than RuntimeError
// breaks an invariant.
template <typename Read>
void CheckReading(std::string_view line, Read read) {
    bool accepted = false;
    TruckRecord record;
    try {
        record = read();
        accepted = true;
    } catch (const RuntimeError& error) {
        CheckRejected(error.number(), error.reason(), line);
    } catch (...) {
        Die("ReadTruck raised something other than RuntimeError");
    }
    if (accepted) {
        CheckAccepted(record, line);
    }
}

// A state that already holds two trucks, read from lines of the sample file.
BrowserState StateWithTwoTrucks();

// What a state held before a load: its count and every record's fields, line
// and time.
class StateSnapshot {
public:
    explicit StateSnapshot(const BrowserState& state);
    // True when the state holds exactly the same trucks again.
    bool sameAs(const BrowserState& state) const;
    // True when the trucks held before are still there, unchanged, at the same
    // indices (more may follow them).
    bool keptIn(const BrowserState& state) const;
    TruckIndex count() const { return count_; }

private:
    struct Truck {
        std::array<std::int16_t, kFieldCount + 1> data{};
        std::string rawLine;
        double time = 0.0;
    };
    static bool same(const Truck& truck, const TruckRecord& record);

    TruckIndex count_ = 0;
    TruckIndex stored_ = 0;
    std::vector<Truck> trucks_;
};

// How a loader should see the lines of its text.
enum class LineText {
    AsIs,      // pasted text: UTF-8 already
    Readable,  // files: a line that is not UTF-8 is read as Latin-1 (see Readable)
};

// Holds a finished (not cancelled) load to the reference. lines are the lines
// of the text (for files: after a byte order mark), as ReferenceLines cuts
// them, and the loader sees each as `text` says; the first ignoreLines of them
// and blank ones are not trucks. Checks: the counts agree with the storage and with the lines, the
// earlier trucks are unchanged, the k-th truck added is the k-th truck line
// read to the reference's values, the reading stops exactly at the first line
// the reference rejects and names it, and reads every line otherwise.
void CheckLoad(const BrowserState& state, const StateSnapshot& before, const LoadResult& result,
               const std::vector<std::string_view>& lines, LineText text, TruckIndex ignoreLines);

// The check masks kept with trucks first..NoTrucks, all of one load, equal
// the checks with messages run afresh over them.
void CheckMasks(const BrowserState& state, TruckIndex first);

// A progress callback that checks the share it is given (0 to 1, never going
// back) and returns false on its cancelAt-th call (never when 0).
class ProgressProbe {
public:
    explicit ProgressProbe(int cancelAt) : cancelAt_(cancelAt) {}
    bool operator()(double done);
    int calls() const { return calls_; }
    // True when a call returned false.
    bool cancelled() const { return cancelAt_ > 0 && calls_ >= cancelAt_; }

private:
    int cancelAt_;
    int calls_ = 0;
    double last_ = 0.0;
};

// A cancelled load: the result says so and holds nothing else, and the state
// is exactly as before.
void CheckCancelled(const BrowserState& state, const StateSnapshot& before,
                    const LoadResult& result);

}  // namespace axlewise::fuzz
