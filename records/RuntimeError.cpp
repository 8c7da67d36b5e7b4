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

}  // namespace axlewise
