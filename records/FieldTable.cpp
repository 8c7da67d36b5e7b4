#include "records/FieldTable.h"

namespace axlewise {

std::string FieldLabel(const LineField& field) {
    std::string label(field.caption);
    label.append(field.width == 1 ? " (column " : " (columns ");
    label.append(std::to_string(field.start));
    if (field.width > 1) {
        label.append("-");
        label.append(std::to_string(field.last()));
    }
    label.append(")");
    return label;
}

}  // namespace axlewise
