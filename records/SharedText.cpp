#include "records/SharedText.h"

namespace axlewise {

SharedText::SharedText(std::string_view text) {
    if (!text.empty()) {
        block_ = std::make_shared<const std::string>(text);
        view_ = *block_;
    }
}

}  // namespace axlewise
