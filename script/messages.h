// The script engine's compile-time and run-time message texts. They are
// process-wide and can be replaced by key (the report library does so when it
// loads a language resource).
#pragma once

#include <string>
#include <string_view>

namespace sq {

struct TsqMessages {
  std::string SLangNotFound = "Language '%s' not found";
  std::string SInvalidLanguage = "Invalid language definition";
  std::string SIdRedeclared = "Identifier redeclared: ";
  std::string SUnknownType = "Unknown type: ";
  std::string SIncompatibleTypes = "Incompatible types";
  std::string SIdUndeclared = "Undeclared identifier: ";
  std::string SClassRequired = "Class type required";
  std::string SIndexRequired = "Index required";
  std::string SStringError = "Strings doesn't have properties or methods";
  std::string SClassError = "Class %s does not have a default property";
  std::string SArrayRequired = "Array type required";
  std::string SVarRequired = "Variable required";
  std::string SNotEnoughParams = "Not enough actual parameters";
  std::string STooManyParams = "Too many actual parameters";
  std::string SLeftCantAssigned = "Left side cannot be assigned to";
  std::string SForError = "For loop variable must be numeric variable";
  std::string SEventError = "Event handler must be a procedure";
};

TsqMessages& Messages();
// Replaces the text of `key` (SLangNotFound, ...); false for an unknown key.
bool SetMessage(std::string_view key, std::string text);
// The text with its first %s replaced by `arg`.
std::string FormatMessage(std::string_view text, std::string_view arg);
// A message followed by a name in single quotes: Undeclared identifier: 'x'.
std::string NamedMessage(const std::string& text, std::string_view name);

}  // namespace sq
