#include "records/RuntimeError.h"

namespace axlewise {

const char* ErrorName(ErrorNumber number) {
    switch (number) {
        case ErrorNumber::Overflow:
            return "overflow";
        case ErrorNumber::SubscriptOutOfRange:
            return "subscript out of range";
        case ErrorNumber::DivisionByZero:
            return "division by zero";
        case ErrorNumber::TypeMismatch:
            return "type mismatch";
        case ErrorNumber::FileNotFound:
            return "file not found";
        case ErrorNumber::FileAccess:
            return "path/file access error";
        case ErrorNumber::Cancelled:
            return "cancelled";
    }
    return "run-time error";
}

RuntimeError SubscriptError(std::string_view array, std::int64_t index, std::int64_t first,
                            std::int64_t last) {
    std::string reason(array);
    reason.append("(").append(std::to_string(index)).append(") does not exist ");
    if (last < first) {
        reason.append("(the array is empty)");
    } else {
        reason.append("(indices ").append(std::to_string(first));
        reason.append(" to ").append(std::to_string(last)).append(")");
    }
    return RuntimeError(ErrorNumber::SubscriptOutOfRange, reason);
}

}  // namespace axlewise
