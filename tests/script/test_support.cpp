// Test support: standard types and the expression reader.
#include "test_support.h"

#include <vector>

#include "core/error.h"
#include "core/text_util.h"
#include "script/designator.h"
#include "script/helpers.h"
#include "script/parser.h"
#include "script/variables.h"

namespace sqtest {

void AddStandardTypes(sq::TsqScript& script) {
  using namespace sq;
  script.AddType("Integer", stInt);
  script.AddType("Boolean", stBool);
  script.AddType("Extended", stFloat);
  script.AddType("Double", stFloat);
  script.AddType("Char", stChar);
  script.AddType("String", stString);
  script.AddType("Variant", stVariant);
  script.AddType("Array", stArray);
  script.Add("__StringHelper", std::make_unique<TsqStringHelper>());
  script.Add("__ArrayHelper",
             std::make_unique<TsqArrayHelper>("__ArrayHelper", 3, 1, stVariant, "Variant"));
}

namespace {

class Reader {
 public:
  Reader(sq::TsqScript& script, std::string_view text) : script_(script) { p_.SetText(text); }

  std::unique_ptr<sq::TsqExpression> Read(std::string_view stops, std::string* failPos) {
    auto e = std::make_unique<sq::TsqExpression>(&script_);
    p_.SkipSpaces();
    const int start = p_.Position();
    bool expectOperand = true;
    int depth = 0;
    for (;;) {
      p_.SkipSpaces();
      const int at = p_.Position();
      const char c = p_.Text()[static_cast<size_t>(at - 1)];
      if (c == 0 || (depth == 0 && stops.find(c) != std::string_view::npos)) break;
      const std::string pos = p_.GetXYPosition();
      if (std::string n = p_.GetNumber(); !n.empty()) {
        e->AddNumber(n, pos);
        expectOperand = false;
        continue;
      }
      if (std::string s = p_.GetString(); !s.empty()) {
        e->AddString(s, pos);
        expectOperand = false;
        continue;
      }
      if (std::string id = p_.GetIdent(); !id.empty()) {
        static const char* words[] = {"div", "mod", "and", "or", "xor",
                                      "shl", "shr", "not", "in", "is"};
        bool isWord = false;
        for (const char* w : words) isWord = isWord || core::EqualsNoCase(id, w);
        if (isWord) {
          e->AddOperator(id, pos);
          expectOperand = true;
          continue;
        }
        e->AddDesignator(ReadDesignator(id, pos), pos);
        expectOperand = false;
        continue;
      }
      std::string ch = p_.GetChar();
      if (ch == "[") {
        e->AddSet(ReadSet(), pos);
        expectOperand = false;
        continue;
      }
      if (ch == "(") ++depth;
      if (ch == ")") --depth;
      if (ch == "-" && expectOperand) ch = "unminus";
      if ((ch == "<" || ch == ">") &&
          (p_.Text()[static_cast<size_t>(p_.Position() - 1)] == '=' ||
           (ch == "<" && p_.Text()[static_cast<size_t>(p_.Position() - 1)] == '>')))
        ch += p_.GetChar();
      e->AddOperator(ch, pos);
      expectOperand = ch != ")";
    }
    std::string fail = e->Finalize();
    if (failPos) *failPos = fail;
    e->SetSourceText(std::string_view(p_.Text()).substr(
        static_cast<size_t>(start - 1), static_cast<size_t>(p_.Position() - start)));
    return e;
  }

 private:
  std::vector<std::unique_ptr<sq::TsqCustomExpression>> ReadList(char close) {
    std::vector<std::unique_ptr<sq::TsqCustomExpression>> args;
    p_.SkipSpaces();
    if (p_.Text()[static_cast<size_t>(p_.Position() - 1)] == close) {
      p_.GetChar();
      return args;
    }
    for (;;) {
      args.push_back(Read(std::string(",") + close, nullptr));
      p_.SkipSpaces();
      if (p_.GetChar() != ",") break;
    }
    return args;
  }

  std::unique_ptr<sq::TsqDesignator> ReadDesignator(const std::string& first,
                                                    const std::string& pos) {
    std::vector<sq::TsqNamePart> parts;
    sq::TsqNamePart part;
    part.name = first;
    part.pos = pos;
    parts.push_back(std::move(part));
    for (;;) {
      const int at = p_.Position();
      const std::string partPos = p_.GetXYPosition();
      const std::string ch = p_.GetChar();
      if (ch == "(") {
        parts.back().args = ReadList(')');
      } else if (ch == ".") {
        sq::TsqNamePart next;
        next.pos = p_.GetXYPosition();
        next.name = p_.GetIdent();
        parts.push_back(std::move(next));
      } else if (ch == "[") {
        sq::TsqNamePart index;
        index.kind = sq::TsqNamePart::Index;
        index.pos = partPos;
        index.args = ReadList(']');
        parts.push_back(std::move(index));
      } else {
        p_.SetPosition(at);
        break;
      }
    }
    return sq::CompileDesignator(script_, std::move(parts));
  }

  std::unique_ptr<sq::TsqSetExpression> ReadSet() {
    auto set = std::make_unique<sq::TsqSetExpression>();
    p_.SkipSpaces();
    if (p_.Text()[static_cast<size_t>(p_.Position() - 1)] == ']') {
      p_.GetChar();
      return set;
    }
    for (;;) {
      set->AddElement(Read(",].", nullptr));
      p_.SkipSpaces();
      std::string ch = p_.GetChar();
      if (ch == ".") {
        p_.GetChar();  // the second dot
        set->AddRangeMark();
        continue;
      }
      if (ch != ",") break;
    }
    return set;
  }

  sq::TsqScript& script_;
  sq::TsqParser p_;
};

}  // namespace

std::unique_ptr<sq::TsqExpression> Build(sq::TsqScript& script, std::string_view text,
                                         std::string* failPos) {
  Reader reader(script, text);
  return reader.Read("", failPos);
}

core::Variant Eval(sq::TsqScript& script, std::string_view text) {
  std::string fail;
  auto e = Build(script, text, &fail);
  if (!fail.empty()) throw core::Error("Incompatible types at " + fail);
  return e->Value();
}

}  // namespace sqtest
