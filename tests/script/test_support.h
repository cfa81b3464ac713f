// Test support: standard type names for a bare script, and an expression
// reader that feeds the expression builder in source order the way the
// compiler does, so tests can be written as text.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "core/variant.h"
#include "script/expression.h"
#include "script/script.h"

namespace sqtest {

// Integer, Boolean, Extended, Double, Char, String, Variant, Array, and the
// __StringHelper / __ArrayHelper items designators use.
void AddStandardTypes(sq::TsqScript& script);

// Builds an expression from VuredeVizivo-like text: numbers, strings, names
// with calls (f(a, b)), members (a.b), indexes (a[1]), set constructors
// ([1, 3..5]), brackets and the operators. Compile errors of designators
// escape as TsqCompileError; the type check position goes to `failPos`.
std::unique_ptr<sq::TsqExpression> Build(sq::TsqScript& script, std::string_view text,
                                         std::string* failPos = nullptr);

// Build and evaluate; a failed type check raises "Incompatible types at <pos>".
core::Variant Eval(sq::TsqScript& script, std::string_view text);

}  // namespace sqtest
