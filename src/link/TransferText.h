// A transfer's outcome in words, in the interface language: the one place
// where front ends (forms, ecrctl) turn the engine's message ids and data
// into text. The engine never calls it.
#pragma once

#include "LinkMessage.h"
#include "TransferEngine.h"

#include <string>

namespace ecr::link {

// The catalogue text with its arguments, then the detail on its own line
// (the detail alone for id 0).
std::string MessageText(const LinkMessage& m);

// What the kind at a base page address is called ("PLU", "Cashiers").
std::string KindCaption(int kind);

// "PLU 123, name: the register's character set has no "ở"."
std::string ProblemText(const RowProblem& p);
// "Sales Journal, page 1, record 5: date 2024-4-31 10:5 is not a real date"
// after the 111465 text.
std::string SkippedText(const RecordError& e);

// The whole message of a result: its message, the rows moved aside, the
// records left out and the rows refused, one per line. "" when there is
// nothing to say.
std::string ResultText(const TransferResult& r);

} // namespace ecr::link
