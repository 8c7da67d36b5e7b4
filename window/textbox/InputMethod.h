#pragma once

#include "text/EditSession.h"
#include "window/textbox/LineLayouts.h"

#include <QVariant>

class QInputMethodEvent;

namespace axlewise {

// An input method's event applied to the session (commit, replaced text,
// pre-edit and its cursor), and the pre-edit's look given to the layouts.
void ApplyInputMethodEvent(const QInputMethodEvent& event, EditSession& session,
                           LineLayouts& layouts);

// The box's answer to an input method's query about the text: the caret's
// line (its shown text, without pre-edit and mark), the caret and anchor in it,
// and the selection. Invalid for the queries only the widget can answer.
QVariant InputMethodAnswer(Qt::InputMethodQuery query, const EditSession& session);

}  // namespace axlewise
