#include "FuzzChecks.h"

#include "checks/OrderCheck.h"
#include "checks/TruckChecks.h"

#include <cstdio>

namespace axlewise::fuzz {

namespace {

// Two 5-axle trucks of examples/trucks.txt, the second with a negative lateral
// position.
constexpr std::string_view kFirstTruck =
    "310511032410373376 22 220160511 15 5639 5761 3313 3914 35 0  0 0  0 0  0 0  05";
constexpr std::string_view kSecondTruck =
    "310511032412012907 79 397175521 -3 7138 9672 7713 7714 76 0  0 0  0 0  0 0  04";

void PrintText(const char* name, std::string_view text) {
    std::fprintf(stderr, "%s (%zu bytes): ", name, text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            std::fputc(byte, stderr);
        } else {
            std::fprintf(stderr, "\\x%02X", byte);
        }
    }
    std::fputc('\n', stderr);
}

}  // namespace

void CheckAccepted(const TruckRecord& record, std::string_view line) {
    const ReferenceRecord expected = ReferenceReadLine(line);
    if (!expected.ok()) {
        PrintText("line", line);
        std::fprintf(stderr, "the reference rejects it: %s\n", expected.reason().c_str());
        Die("ReadTruck accepted a line the reference rejects");
    }
    CheckOrDie(record.Data[0] == 0, "Data(0) is not 0");
    for (std::size_t i = 1; i < record.Data.size(); ++i) {
        if (record.Data[i] != expected.data[i]) {
            PrintText("line", line);
            std::fprintf(stderr, "Data(%zu) is %d, the reference reads %d\n", i, record.Data[i],
                         expected.data[i]);
            Die("ReadTruck and the reference read a field differently");
        }
    }
    CheckOrDie(record.RawLine.view() == line, "RawLine is not the line read");
    CheckOrDie(record.Time == TruckTime(record), "Time is not TruckTime(record)");
}

void CheckRejected(ErrorNumber number, const std::string& reason, std::string_view line) {
    const ReferenceRecord expected = ReferenceReadLine(line);
    const char* broken = nullptr;
    if (expected.ok()) {
        broken = "ReadTruck rejected a line the reference reads";
    } else if (number != ErrorNumber::Overflow && number != ErrorNumber::TypeMismatch) {
        broken = "ReadTruck raised an error other than 6 or 13";
    } else if (!IsUtf8(reason)) {
        broken = "the reason is not valid UTF-8";
    } else if (HoldsControl(reason)) {
        broken = "the reason holds a raw control character";
    } else if (reason.rfind(kFields[expected.field].caption, 0) != 0) {
        broken = "the reason does not start with the caption of the field that fails";
    } else if (static_cast<int>(number) != expected.errorNumber() || reason != expected.reason()) {
        broken = "ReadTruck and the reference reject a line differently";
    }
    if (broken != nullptr) {
        PrintText("line", line);
        PrintText("reason", reason);
        std::fprintf(stderr, "error %d; the reference: %s\n", static_cast<int>(number),
                     expected.ok() ? "reads the line" : expected.reason().c_str());
        Die(broken);
    }
}

BrowserState StateWithTwoTrucks() {
    BrowserState state;
    state.AddTruck(ReadTruck(kFirstTruck));
    state.AddTruck(ReadTruck(kSecondTruck));
    return state;
}

StateSnapshot::StateSnapshot(const BrowserState& state)
    : count_(state.NoTrucks), stored_(state.Trucks.count()) {
    for (TruckIndex i = 1; i <= state.NoTrucks; ++i) {
        const TruckRecord& record = state.Truck(i);
        trucks_.push_back(Truck{record.Data, record.RawLine.str(), record.Time});
    }
}

bool StateSnapshot::same(const Truck& truck, const TruckRecord& record) {
    return truck.data == record.Data && truck.rawLine == record.RawLine.view() &&
           truck.time == record.Time;
}

bool StateSnapshot::keptIn(const BrowserState& state) const {
    if (state.Trucks.count() < stored_) {
        return false;
    }
    for (std::size_t i = 0; i < trucks_.size(); ++i) {
        if (!same(trucks_[i], state.Truck(static_cast<TruckIndex>(i) + 1))) {
            return false;
        }
    }
    return true;
}

bool StateSnapshot::sameAs(const BrowserState& state) const {
    return state.NoTrucks == count_ && state.Trucks.count() == stored_ && keptIn(state);
}

void CheckLoad(const BrowserState& state, const StateSnapshot& before, const LoadResult& result,
               const std::vector<std::string_view>& lines, LineText text, TruckIndex ignoreLines) {
    CheckOrDie(!result.cancelled, "a load that was not cancelled says it was");
    CheckOrDie(result.added >= 0 && state.NoTrucks == before.count() + result.added,
               "NoTrucks is not the count before plus the trucks added");
    CheckOrDie(state.Trucks.count() == state.NoTrucks, "Trucks does not hold NoTrucks records");
    CheckOrDie(before.keptIn(state), "a load changed a truck read before it");

    const auto total = static_cast<TruckIndex>(lines.size());
    CheckOrDie(result.lines >= 0 && result.lines <= total, "more lines read than the text holds");
    if (result.failure) {
        CheckOrDie(result.failure->line == result.lines,
                   "the failing line is not the last line read");
        CheckOrDie(result.failure->text() == "line " + std::to_string(result.failure->line) + ": " +
                                                 result.failure->reason,
                   "the failure's text does not lead with its line number");
    } else {
        CheckOrDie(result.lines == total, "a load without failure stopped before the end");
    }

    TruckIndex added = 0;
    for (TruckIndex n = 1; n <= result.lines; ++n) {
        const std::string_view raw = lines[static_cast<std::size_t>(n - 1)];
        if (n <= ignoreLines || IsBlank(raw)) {
            continue;
        }
        const std::string line = text == LineText::Readable ? Readable(raw) : std::string(raw);
        if (result.failure && n == result.lines) {
            CheckRejected(result.failure->number, result.failure->reason, line);
            continue;
        }
        CheckOrDie(added < result.added, "fewer trucks added than truck lines read");
        ++added;
        CheckAccepted(state.Truck(before.count() + added), line);
    }
    // A failure on an ignored or blank line would have been skipped above.
    if (result.failure) {
        CheckOrDie(result.lines >= 1 && result.lines > ignoreLines,
                   "the failure names an ignored line");
        CheckOrDie(!IsBlank(lines[static_cast<std::size_t>(result.lines - 1)]),
                   "the failure names a blank line");
    }
    CheckOrDie(added == result.added, "more trucks added than truck lines read");
    CheckMasks(state, before.count() + 1);
}

void CheckMasks(const BrowserState& state, TruckIndex first) {
    // The kept masks against the checks with their messages, run afresh over
    // the load: DUPLICATE against the truck before in the load, ORDER within it.
    OrderCheck order;
    for (TruckIndex i = first; i <= state.NoTrucks; ++i) {
        const TruckRecord& truck = state.Truck(i);
        CheckMask expected =
            MaskOf(CheckTruck(truck, i > first ? &state.Truck(i - 1) : nullptr, i - 1));
        if (order.next(truck, i)) {
            expected = static_cast<CheckMask>(expected | MaskOf(CheckCode::Order));
        }
        CheckOrDie(state.Checks(i) == expected, "a truck's kept checks differ from its checks");
        CheckOrDie(state.LoadStartOf(i) == first, "a truck is not of its own load");
    }
}

bool ProgressProbe::operator()(double done) {
    CheckOrDie(done >= 0.0 && done <= 1.0, "progress outside 0..1");
    CheckOrDie(done >= last_, "progress went back");
    last_ = done;
    ++calls_;
    return calls_ != cancelAt_;
}

void CheckCancelled(const BrowserState& state, const StateSnapshot& before,
                    const LoadResult& result) {
    CheckOrDie(result.cancelled, "the progress callback said stop but the load went on");
    CheckOrDie(result.added == 0 && result.lines == 0 && result.echo.empty() && !result.failure,
               "a cancelled load reports what it read");
    CheckOrDie(before.sameAs(state), "a cancelled load changed the state");
}

}  // namespace axlewise::fuzz
