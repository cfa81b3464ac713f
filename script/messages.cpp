// Message table of the script engine.
#include "script/messages.h"

#include <utility>

namespace sq {

TsqMessages& Messages() {
  static TsqMessages messages;
  return messages;
}

bool SetMessage(std::string_view key, std::string text) {
  TsqMessages& m = Messages();
  std::pair<std::string_view, std::string*> table[] = {
      {"SLangNotFound", &m.SLangNotFound},
      {"SInvalidLanguage", &m.SInvalidLanguage},
      {"SIdRedeclared", &m.SIdRedeclared},
      {"SUnknownType", &m.SUnknownType},
      {"SIncompatibleTypes", &m.SIncompatibleTypes},
      {"SIdUndeclared", &m.SIdUndeclared},
      {"SClassRequired", &m.SClassRequired},
      {"SIndexRequired", &m.SIndexRequired},
      {"SStringError", &m.SStringError},
      {"SClassError", &m.SClassError},
      {"SArrayRequired", &m.SArrayRequired},
      {"SVarRequired", &m.SVarRequired},
      {"SNotEnoughParams", &m.SNotEnoughParams},
      {"STooManyParams", &m.STooManyParams},
      {"SLeftCantAssigned", &m.SLeftCantAssigned},
      {"SForError", &m.SForError},
      {"SEventError", &m.SEventError},
  };
  for (auto& [name, target] : table) {
    if (name == key) {
      *target = std::move(text);
      return true;
    }
  }
  return false;
}

std::string FormatMessage(std::string_view text, std::string_view arg) {
  std::string s(text);
  size_t at = s.find("%s");
  if (at != std::string::npos) s.replace(at, 2, arg);
  return s;
}

std::string NamedMessage(const std::string& text, std::string_view name) {
  return text + "'" + std::string(name) + "'";
}

}  // namespace sq
