// TsqILParser: the grammar-driven compiler. Stage one walks a language
// grammar (an XML document of rules) over the source and writes the
// intermediate program; stage two turns that program into script items,
// expressions and statements. Languages are registered by name with their
// grammar text.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "script/parser.h"

namespace sq {

class TsqScript;
class TsqXMLItem;
struct TsqGrammar;

// Registering a name that exists replaces its grammar.
void RegisterLanguage(std::string_view name, std::string_view grammarText);
// Registered names, except those beginning with "@".
std::vector<std::string> GetLanguageList();
// Raises "Language '%s' not found".
std::string LanguageGrammarText(std::string_view name);

// Reads a "#language NAME" first line: the name and the offset where the
// program starts. False when the text has no such line.
bool LanguageDirective(std::string_view text, std::string& name, int& startOffset);

// One element of the intermediate program; `text` is unescaped, positions
// are line:column of the source the element came from.
struct TsqILNode {
  std::string name;
  std::string text;
  std::string unit;    // the `unit` attribute of a used unit's wrapper
  std::string pos;     // node: first token; add: right after the token
  std::string pos1;    // expr: where the expression ended
  std::string source;  // expr: its source text
  std::vector<std::unique_ptr<TsqILNode>> children;
};

class TsqILParser {
 public:
  explicit TsqILParser(TsqScript& script);
  ~TsqILParser();

  void SelectLanguage(std::string_view name);
  // Stage one; stores the error text and position in the script.
  bool MakeILScript(std::string_view text);
  // Stage two; compile errors are stored in the script.
  void ParseILScript();

  // The intermediate program, available after MakeILScript succeeded.
  TsqILNode* Program() const { return program_.get(); }
  // The intermediate program as XML text.
  std::string ILText() const;
  const std::string& LanguageName() const { return language_; }
  // Whether the language requires names to be declared.
  bool DeclareVars() const;
  const std::string& Source() const { return source_; }
  TsqParser& Parser() { return parser_; }

  // Converts between the XML form and the node form.
  static std::unique_ptr<TsqILNode> FromXML(const TsqXMLItem& item);
  static void ToXML(const TsqILNode& node, TsqXMLItem& item);

 private:
  friend class TsqILWalker;
  friend class TsqILCompiler;
  struct UsedUnits {
    std::set<std::string> names;
  };
  TsqILParser(TsqScript& script, std::shared_ptr<UsedUnits> used);

  TsqScript& script_;
  std::shared_ptr<const TsqGrammar> grammar_;
  std::shared_ptr<UsedUnits> used_;
  std::string language_;
  std::string source_;
  TsqParser parser_;
  std::unique_ptr<TsqILNode> program_;
  std::string errorMsg_, errorPos_, errorUnit_;
  bool nested_ = false;  // compiles a used unit
};

// The compiler TsqScript::Compile uses when no other is installed.
class TsqScriptCompiler;
TsqScriptCompiler& ILScriptCompiler();

}  // namespace sq
