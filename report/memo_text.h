// What a memo does each time it prints: fill its text for the current record
// (data field or expanded expressions), highlight, repeat suppression and
// overflow into FlowTo; and how tall or wide that text is, and which lines of
// it fit. Values come from a calc function (the report's expression context).
#pragma once

#include <functional>
#include <string>

#include "core/variant.h"

namespace report {

class TqdrCustomMemoView;

using TqdrCalcFunction = std::function<core::Variant(const std::string&)>;

// GetData of a memo: errors raised by calc end it and propagate.
void MemoGetData(TqdrCustomMemoView& memo, const TqdrCalcFunction& calc);
// Text height at the memo's width plus gaps and frame, whole pixels.
int MemoCalcHeight(TqdrCustomMemoView& memo);
// Widest line plus gaps and frame, whole pixels.
int MemoCalcWidth(TqdrCustomMemoView& memo);
void MemoPrepareSplit(TqdrCustomMemoView& memo);
// Keeps the held-back lines that fit the memo's height, holds back the rest;
// returns the free height below them (0.0001 when they fill it exactly; the
// memo's Height when not one line fits).
double MemoTakeFittingPart(TqdrCustomMemoView& memo);

}  // namespace report
