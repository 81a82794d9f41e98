#pragma once

#include "store/fault.h"

#include <span>

namespace loto6 {

// The Japanese text of a fault kind, with {fact} where each fact goes; `CoreReasons` words it.
struct ReasonText
{
    FaultKind kind;
    const char *japanese;
};

// The text of a form of its own: a ticket's numbers have no field names; the entry grid names
// the cell before the reason.
struct FormReasonText
{
    DrawForm form;
    FaultKind kind;
    const char *japanese;
};

// Files, history files, the draws held, the database and downloads.
std::span<const ReasonText> storageReasonTexts();
// Tickets and recorded predictions, checks and learning, the designer, the desktop's own refusals.
std::span<const ReasonText> workReasonTexts();
// A ticket's numbers and the entry grid's cells.
std::span<const FormReasonText> formReasonTexts();

} // namespace loto6
