#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <utility>

namespace axlewise {

// The numbers that a run-time error carries. They are the ones users and tests
// know the failures by, so they never change.
enum class ErrorNumber : int {
    Overflow = 6,
    SubscriptOutOfRange = 9,
    DivisionByZero = 11,
    TypeMismatch = 13,
    FileNotFound = 53,
    FileAccess = 75,
    Cancelled = 32755,
};

// The one exception type for run-time failures: a number and a readable reason.
// Procedures raise it instead of returning error codes; only the procedures that
// trap errors catch it.
class RuntimeError : public std::exception {
public:
    RuntimeError(ErrorNumber number, std::string reason)
        : number_(number), reason_(std::move(reason)) {}

    ErrorNumber number() const noexcept { return number_; }
    int code() const noexcept { return static_cast<int>(number_); }
    // The whole reason; what() ends at the first NUL byte, this does not.
    const std::string& reason() const noexcept { return reason_; }
    const char* what() const noexcept override { return reason_.c_str(); }

private:
    ErrorNumber number_;
    std::string reason_;
};

// A short name for the error number ("overflow", "type mismatch", ...).
const char* ErrorName(ErrorNumber number);

// Text quoted for a reason, in double quotes, every character visible:
// control characters as \t, \n, \r, \0 or \xNN (DEL and the C1 controls
// too), a backslash as \\, and bytes that are not UTF-8 as the Latin-1
// characters of the same value, so that every backslash in the result starts
// an escape. The result is valid UTF-8.   "\t22" -> "\"\\t22\""
std::string Quoted(std::string_view text);

// Error 9 (subscript out of range) for an element that an array does not hold,
// worded the same for every array:
//   AxleWeights(4) does not exist (indices 0 to 3)
//   Trucks(1) does not exist (the array is empty)
// first and last are the indices the array holds; last < first when it is empty.
RuntimeError SubscriptError(std::string_view array, std::int64_t index, std::int64_t first,
                            std::int64_t last);

}  // namespace axlewise
