// Stage one of the compiler: the language registry, grammar loading and the
// walk of a grammar over the source that writes the intermediate program.
#include "script/il_parser.h"

#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <unordered_map>

#include "core/error.h"
#include "core/text_util.h"
#include "script/il_compiler.h"
#include "script/messages.h"
#include "script/script.h"
#include "script/statement.h"
#include "script/xml_document.h"

namespace sq {

// Built-in grammars, generated from script/grammars/*.xml.
extern const char kVuredeVizivoGrammar[];
extern const char kDppAzirezGrammar[];
extern const char kVazerUdoridGrammar[];
extern const char kJScriptGrammar[];

// ---------------------------------------------------------------------------
// Grammars.

struct TsqGrammarNode {
  enum Kind { Char, Keyword, Ident, Number, String, QrString, Eol, Sequence, Switch,
              OptionalSwitch, Optional, Loop, OptionalLoop, Ref, Rule };
  Kind kind = Sequence;
  std::string text;  // lower-cased unless the language is case-sensitive
  std::string add, addText, node, refName;
  bool hasAddText = false;
  bool noSkip = false;    // char with skip="0"
  bool loopSkip = false;  // loop with skip="1"
  bool term = false;
  bool isUses = false;  // node "uses": compiles the units it names
  int err = 0;
  const TsqGrammarNode* rule = nullptr;
  std::vector<std::unique_ptr<TsqGrammarNode>> children;
};

struct TsqGrammar {
  std::string name;
  std::vector<std::pair<std::string, std::string>> settings;  // lower-cased name, text
  std::vector<std::string> keywords;
  std::map<int, std::string> errors;
  std::vector<std::pair<std::string, std::string>> types;  // language name, engine type
  std::unordered_map<std::string, std::unique_ptr<TsqGrammarNode>> rules;
  const TsqGrammarNode* program = nullptr;
  bool caseSensitive = false;
  bool declareVars = true;
};

namespace {

struct Registry {
  std::mutex lock;
  std::vector<std::pair<std::string, std::string>> texts;
  std::map<std::string, std::shared_ptr<const TsqGrammar>> loaded;  // upper-cased name
  bool builtIns = false;
};

Registry& TheRegistry() {
  static Registry r;
  return r;
}

void AddBuiltIns(Registry& r) {
  if (r.builtIns) return;
  r.builtIns = true;
  r.texts.emplace_back("VuredeVizivo", kVuredeVizivoGrammar);
  r.texts.emplace_back("D++Azirez", kDppAzirezGrammar);
  r.texts.emplace_back("VazerUdorid", kVazerUdoridGrammar);
  r.texts.emplace_back("JScript", kJScriptGrammar);
}

TsqGrammarNode::Kind KindOf(const std::string& lower) {
  static const std::unordered_map<std::string, TsqGrammarNode::Kind> kinds = {
      {"char", TsqGrammarNode::Char},
      {"keyword", TsqGrammarNode::Keyword},
      {"ident", TsqGrammarNode::Ident},
      {"number", TsqGrammarNode::Number},
      {"string", TsqGrammarNode::String},
      {"qrstring", TsqGrammarNode::QrString},
      {"eol", TsqGrammarNode::Eol},
      {"sequence", TsqGrammarNode::Sequence},
      {"switch", TsqGrammarNode::Switch},
      {"optionalswitch", TsqGrammarNode::OptionalSwitch},
      {"optional", TsqGrammarNode::Optional},
      {"loop", TsqGrammarNode::Loop},
      {"optionalloop", TsqGrammarNode::OptionalLoop}};
  auto it = kinds.find(lower);
  return it == kinds.end() ? TsqGrammarNode::Ref : it->second;
}

std::unique_ptr<TsqGrammarNode> BuildNode(const TsqXMLItem& item, bool isRule, bool caseSensitive) {
  auto n = std::make_unique<TsqGrammarNode>();
  std::string lower = core::LowerCase(item.Name());
  n->kind = isRule ? TsqGrammarNode::Rule : KindOf(lower);
  if (n->kind == TsqGrammarNode::Ref) n->refName = lower;
  n->text = item.Prop("text");
  if (!caseSensitive) n->text = core::LowerCase(n->text);
  n->add = item.Prop("add");
  n->hasAddText = item.HasProp("addtext");
  n->addText = item.Prop("addtext");
  n->node = item.Prop("node");
  n->isUses = core::EqualsNoCase(n->node, "uses");
  std::string skip = item.Prop("skip");
  n->noSkip = skip == "0";
  n->loopSkip = skip == "1";
  n->term = item.Prop("term") == "1";
  n->err = std::atoi(item.Prop("err").c_str());
  for (int i = 0; i < item.Count(); ++i)
    n->children.push_back(BuildNode(*item.Items(i), false, caseSensitive));
  return n;
}

void Resolve(TsqGrammarNode& n, const TsqGrammar& g) {
  if (n.kind == TsqGrammarNode::Ref) {
    auto it = g.rules.find(n.refName);
    n.rule = it == g.rules.end() ? nullptr : it->second.get();
  }
  for (auto& c : n.children) Resolve(*c, g);
}

std::shared_ptr<const TsqGrammar> LoadGrammar(const std::string& name, const std::string& text) {
  TsqXMLDocument doc;
  try {
    doc.LoadFromString(text);
  } catch (const core::Error&) {
    throw core::Error(Messages().SInvalidLanguage);
  }
  auto g = std::make_shared<TsqGrammar>();
  g->name = name;
  TsqXMLItem& root = doc.Root();
  if (TsqXMLItem* parser = root.FindItem("parser")) {
    for (int i = 0; i < parser->Count(); ++i) {
      TsqXMLItem* s = parser->Items(i);
      std::string key = core::LowerCase(s->Name());
      if (key == "keywords") {
        for (int k = 0; k < s->Count(); ++k) g->keywords.push_back(s->Items(k)->Name());
      } else if (key == "errors") {
        for (int k = 0; k < s->Count(); ++k) {
          std::string en = core::LowerCase(s->Items(k)->Name());
          if (en.rfind("err", 0) == 0)
            g->errors[std::atoi(en.c_str() + 3)] = s->Items(k)->Prop("text");
        }
      } else {
        std::string v = s->Prop("text");
        if (key == "casesensitive") g->caseSensitive = v == "1";
        if (key == "declarevars") g->declareVars = v != "0";
        g->settings.emplace_back(key, v);
      }
    }
  }
  if (TsqXMLItem* types = root.FindItem("types"))
    for (int i = 0; i < types->Count(); ++i)
      g->types.emplace_back(types->Items(i)->Name(), types->Items(i)->Prop("type"));
  for (int i = 0; i < root.Count(); ++i) {
    TsqXMLItem* r = root.Items(i);
    std::string lower = core::LowerCase(r->Name());
    if (lower == "parser" || lower == "types") continue;
    g->rules[lower] = BuildNode(*r, true, g->caseSensitive);
  }
  for (auto& [key, rule] : g->rules) Resolve(*rule, *g);
  auto it = g->rules.find("program");
  if (it == g->rules.end()) throw core::Error(Messages().SInvalidLanguage);
  g->program = it->second.get();
  return g;
}

std::shared_ptr<const TsqGrammar> GrammarOf(std::string_view name) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  AddBuiltIns(r);
  std::string key = core::UpperCase(name);
  if (auto it = r.loaded.find(key); it != r.loaded.end()) return it->second;
  for (const auto& [n, text] : r.texts) {
    if (!core::EqualsNoCase(n, name)) continue;
    auto g = LoadGrammar(n, text);
    r.loaded[key] = g;
    return g;
  }
  throw core::Error(FormatMessage(Messages().SLangNotFound, name));
}

}  // namespace

void RegisterLanguage(std::string_view name, std::string_view grammarText) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  AddBuiltIns(r);
  r.loaded.erase(core::UpperCase(name));
  for (auto& [n, text] : r.texts) {
    if (core::EqualsNoCase(n, name)) {
      text = std::string(grammarText);
      return;
    }
  }
  r.texts.emplace_back(std::string(name), std::string(grammarText));
}

std::vector<std::string> GetLanguageList() {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  AddBuiltIns(r);
  std::vector<std::string> out;
  for (const auto& [n, text] : r.texts)
    if (n.empty() || n[0] != '@') out.push_back(n);
  return out;
}

std::string LanguageGrammarText(std::string_view name) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  AddBuiltIns(r);
  for (const auto& [n, text] : r.texts)
    if (core::EqualsNoCase(n, name)) return text;
  throw core::Error(FormatMessage(Messages().SLangNotFound, name));
}

// ---------------------------------------------------------------------------
// The walk.

namespace {

// Nesting of the walk beyond which a program is refused: keeps deeply nested
// input from exhausting the stack.
constexpr int kMaxWalkDepth = 6000;
const char kTooDeep[] = "Program nesting too deep";

}  // namespace

class TsqILWalker {
 public:
  struct Rec {
    enum Kind : uint8_t { Open, Close, Leaf } kind;
    std::string name, text, unit;
    int pos = 0, pos1 = 0, start = 0;
    std::vector<Rec>* unitRecs = nullptr;
  };

  TsqILWalker(TsqILParser& owner) : o_(owner), p_(owner.parser_), g_(*owner.grammar_) {}

  bool Run() {
    recs_.reserve(static_cast<size_t>(p_.Size() / 3) + 16);
    bool ok = Walk(*g_.program);
    if (ok && !errorSet_ && !AtEnd()) ok = false;
    return ok && !errorSet_;
  }
  // A successful walk must have used the whole text; trailing text after the
  // program's end is left to the grammar (VuredeVizivo stops at the final dot).
  bool AtEnd() { return true; }

  std::vector<Rec> recs_;
  std::string errMsg_, errPos_, errUnit_;
  bool errorSet_ = false;
  bool fatal_ = false;

 private:
  void RecordError(int number, int at, bool term) {
    if (errorSet_) return;
    auto it = g_.errors.find(number);
    errMsg_ = it == g_.errors.end() ? std::string() : it->second;
    int saved = p_.Position();
    p_.SetPosition(at);
    p_.SkipSpaces();
    errPos_ = p_.GetXYPosition();
    p_.SetPosition(saved);
    errorSet_ = true;
    errorTerm_ = term;
    ++errorSerial_;
  }

  void Fatal(const std::string& msg) {
    if (!fatal_) {
      errorSet_ = false;
      errMsg_.clear();
      RecordError(0, p_.Position(), false);
      errMsg_ = msg;
      fatal_ = true;
    }
  }

  bool Equal(const std::string& token, const std::string& text) const {
    if (text.empty()) return true;
    return g_.caseSensitive ? token == text : core::EqualsNoCase(token, text);
  }

  void Emit(const TsqGrammarNode& e, const std::string& token) {
    Rec r{Rec::Leaf, e.add, e.hasAddText ? e.addText : token, {}, p_.Position(), 0, 0, nullptr};
    recs_.push_back(std::move(r));
  }

  bool Walk(const TsqGrammarNode& e) {
    if (fatal_) return false;
    if (++depth_ > kMaxWalkDepth) {
      Fatal(kTooDeep);
      --depth_;
      return false;
    }
    const int entry = p_.Position();
    const size_t entryRecs = recs_.size();
    if (!e.node.empty()) {
      p_.SkipSpaces();
      recs_.push_back(Rec{Rec::Open, e.node, {}, {}, p_.Position(), 0, p_.Position(), nullptr});
      p_.SetPosition(entry);
    }
    bool ok = Match(e);
    if (ok && !e.node.empty()) {
      recs_[entryRecs].pos1 = p_.Position();
      if (e.isUses) ok = ExpandUnits(entryRecs + 1);
      recs_.push_back(Rec{Rec::Close, {}, {}, {}, 0, 0, 0, nullptr});
    }
    if (!ok) {
      p_.SetPosition(entry);
      recs_.resize(entryRecs);
      if (e.err) RecordError(e.err, entry, e.term);
    }
    --depth_;
    return ok;
  }

  bool Children(const TsqGrammarNode& e) {
    for (const auto& c : e.children)
      if (!Walk(*c)) return false;
    return true;
  }

  bool Terminal(const TsqGrammarNode& e, std::string token) {
    if (token.empty() || !Equal(token, e.text)) return false;
    if (!e.add.empty()) Emit(e, token);
    return Children(e);
  }

  bool Match(const TsqGrammarNode& e) {
    switch (e.kind) {
      case TsqGrammarNode::Char:
        if (!e.noSkip) p_.SkipSpaces();
        return Terminal(e, p_.GetChar());
      case TsqGrammarNode::Keyword: return Terminal(e, p_.GetIdent());
      case TsqGrammarNode::Ident: return Terminal(e, p_.GetWord());
      case TsqGrammarNode::Number: return Terminal(e, p_.GetNumber());
      case TsqGrammarNode::String: return Terminal(e, p_.GetString());
      case TsqGrammarNode::Eol:
        if (!p_.GetEOL()) return false;
        if (!e.add.empty()) Emit(e, "");
        return Children(e);
      case TsqGrammarNode::QrString: return QrString(e);
      case TsqGrammarNode::Rule:
      case TsqGrammarNode::Sequence: {
        if (!Children(e)) return false;
        if (!e.add.empty()) Emit(e, "");
        return true;
      }
      case TsqGrammarNode::Ref: {
        if (!e.rule) throw core::Error(Messages().SInvalidLanguage);
        if (!Walk(*e.rule)) return false;
        if (!e.add.empty()) Emit(e, "");
        return Children(e);
      }
      case TsqGrammarNode::Switch:
      case TsqGrammarNode::OptionalSwitch: {
        for (const auto& c : e.children) {
          if (Walk(*c)) {
            if (!e.add.empty()) Emit(e, "");
            return true;
          }
          if (fatal_) return false;
        }
        return e.kind == TsqGrammarNode::OptionalSwitch;
      }
      case TsqGrammarNode::Optional: {
        const int entry = p_.Position();
        const size_t entryRecs = recs_.size();
        if (!Children(e)) {
          if (fatal_) return false;
          p_.SetPosition(entry);
          recs_.resize(entryRecs);
          return true;
        }
        if (!e.add.empty()) Emit(e, "");
        return true;
      }
      case TsqGrammarNode::Loop:
      case TsqGrammarNode::OptionalLoop: return Loop(e);
    }
    return false;
  }

  bool Loop(const TsqGrammarNode& e) {
    const int entry = p_.Position();
    const size_t entryRecs = recs_.size();
    const int serialAtEntry = errorSerial_;
    int iterations = 0;
    for (;;) {
      const int start = p_.Position();
      const size_t startRecs = recs_.size();
      if (!Children(e)) {
        p_.SetPosition(start);
        recs_.resize(startRecs);
        break;
      }
      ++iterations;
      if (p_.Position() == start) break;
      if (!e.text.empty()) {
        const int end = p_.Position();
        p_.SkipSpaces();
        if (p_.GetChar() != e.text) {
          p_.SetPosition(end);
          break;
        }
      }
    }
    if (fatal_) return false;
    if (iterations == 0) {
      p_.SetPosition(entry);
      recs_.resize(entryRecs);
      return e.kind == TsqGrammarNode::OptionalLoop;
    }
    if (errorSet_ && errorSerial_ > serialAtEntry && (e.loopSkip || errorTerm_)) {
      errorSet_ = false;
      errMsg_.clear();
      errPos_.clear();
    }
    if (!e.add.empty()) Emit(e, "");
    return true;
  }

  bool QrString(const TsqGrammarNode& e) {
    std::string text = p_.GetQrString();
    if (text.empty()) return false;
    const int at = p_.Position();
    recs_.push_back(Rec{Rec::Open, "dsgn", {}, {}, at, 0, 0, nullptr});
    recs_.push_back(Rec{Rec::Leaf, "node", "Get", {}, at, 0, 0, nullptr});
    recs_.push_back(Rec{Rec::Open, "expr", {}, {}, at, at, at, nullptr});
    std::string quoted = "'";
    for (char c : text) {
      quoted += c;
      if (c == '\'') quoted += '\'';
    }
    quoted += "'";
    recs_.push_back(Rec{Rec::Leaf, "string", quoted, {}, at, 0, 0, nullptr});
    recs_.push_back(Rec{Rec::Close, {}, {}, {}, 0, 0, 0, nullptr});
    recs_.push_back(Rec{Rec::Close, {}, {}, {}, 0, 0, 0, nullptr});
    (void)e;
    return true;
  }

  // Replaces each `file` line from `from` on by the compiled unit.
  bool ExpandUnits(size_t from) {
    std::vector<Rec> out;
    for (size_t i = from; i < recs_.size(); ++i) {
      Rec& r = recs_[i];
      if (r.kind != Rec::Leaf || !core::EqualsNoCase(r.name, "file")) {
        out.push_back(std::move(r));
        continue;
      }
      std::string name = r.text;
      if (name.size() >= 2 && name.front() == '\'' && name.back() == '\'')
        name = name.substr(1, name.size() - 2);
      std::string key = core::UpperCase(name);
      if (o_.used_->names.count(key)) continue;
      o_.used_->names.insert(key);
      std::string unitText;
      if (o_.script_.OnGetUnit) {
        o_.script_.OnGetUnit(o_.script_, name, unitText);
      } else {
        std::ifstream in(name, std::ios::binary);
        if (!in) {
          if (!errorSet_) {
            errMsg_ = "Cannot open file \"" + name + "\"";
            errPos_ = p_.XYPositionOf(r.pos);
            errorSet_ = true;
          }
          return false;
        }
        std::stringstream ss;
        ss << in.rdbuf();
        unitText = ss.str();
      }
      TsqILParser unit(o_.script_, o_.used_);
      unit.SelectLanguage(o_.language_);
      if (!unit.MakeILScript(unitText)) {
        if (!errorSet_) {
          errMsg_ = unit.errorMsg_;
          errPos_ = unit.errorPos_;
          errUnit_ = unit.errorUnit_.empty() ? name : unit.errorUnit_;
          errorSet_ = true;
          fatal_ = true;
        }
        return false;
      }
      units_.push_back(std::move(unit.program_));
      Rec open{Rec::Open, "uses", {}, name, r.pos, 0, 0, nullptr};
      out.push_back(std::move(open));
      Rec graft{Rec::Leaf, "@unit", {}, name, r.pos, 0, 0, nullptr};
      graft.start = static_cast<int>(units_.size()) - 1;
      out.push_back(std::move(graft));
      out.push_back(Rec{Rec::Close, "uses", {}, {}, 0, 0, 0, nullptr});
    }
    recs_.resize(from);
    for (Rec& r : out) recs_.push_back(std::move(r));
    return true;
  }

 public:
  std::vector<std::unique_ptr<TsqILNode>> units_;

 private:
  TsqILParser& o_;
  TsqParser& p_;
  const TsqGrammar& g_;
  int depth_ = 0;
  bool errorTerm_ = false;
  int errorSerial_ = 0;
};

// ---------------------------------------------------------------------------

TsqILParser::TsqILParser(TsqScript& script)
    : script_(script), used_(std::make_shared<UsedUnits>()) {}

TsqILParser::TsqILParser(TsqScript& script, std::shared_ptr<UsedUnits> used)
    : script_(script), used_(std::move(used)), nested_(true) {}

TsqILParser::~TsqILParser() = default;

void TsqILParser::SelectLanguage(std::string_view name) {
  grammar_ = GrammarOf(name);
  language_ = grammar_->name;
  parser_.Reset();
  for (const auto& [key, v] : grammar_->settings) {
    if (key == "identchars") parser_.SetIdentChars(v);
    else if (key == "commentline1") parser_.SetCommentLine1(v);
    else if (key == "commentline2") parser_.SetCommentLine2(v);
    else if (key == "commentblock1") parser_.SetCommentBlock1(v);
    else if (key == "commentblock2") parser_.SetCommentBlock2(v);
    else if (key == "stringquotes") parser_.SetStringQuotes(v);
    else if (key == "hexsequence") parser_.SetHexSequence(v);
    else if (key == "skipchar") parser_.SetSkipChar(v);
    else if (key == "skipeol") parser_.SetSkipEOL(v != "0");
    else if (key == "casesensitive") parser_.SetCaseSensitive(v == "1");
  }
  parser_.SetKeywords(grammar_->keywords);
  if (script_.ExtendedIdentChars()) parser_.AddExtendedIdentChars();
}

namespace {

std::unique_ptr<TsqILNode> BuildTree(std::vector<TsqILWalker::Rec>& recs, const TsqParser& p,
                                     const std::string& source,
                                     std::vector<std::unique_ptr<TsqILNode>>& units) {
  auto root = std::make_unique<TsqILNode>();
  root->name = "program";
  std::vector<TsqILNode*> stack{root.get()};
  for (auto& r : recs) {
    TsqILNode* top = stack.back();
    switch (r.kind) {
      case TsqILWalker::Rec::Open: {
        auto n = std::make_unique<TsqILNode>();
        n->name = std::move(r.name);
        n->unit = std::move(r.unit);
        n->pos = p.XYPositionOf(r.pos);
        if (n->name == "expr") {
          n->pos1 = p.XYPositionOf(r.pos1);
          if (r.pos1 > r.start)
            n->source = source.substr(static_cast<size_t>(r.start - 1),
                                      static_cast<size_t>(r.pos1 - r.start));
        }
        TsqILNode* raw = n.get();
        top->children.push_back(std::move(n));
        stack.push_back(raw);
        break;
      }
      case TsqILWalker::Rec::Close:
        if (stack.size() > 1) stack.pop_back();
        break;
      case TsqILWalker::Rec::Leaf: {
        if (r.name == "@unit") {
          // The unit's program: its children go into the uses wrapper.
          auto& unit = units[static_cast<size_t>(r.start)];
          for (auto& c : unit->children) top->children.push_back(std::move(c));
          break;
        }
        auto n = std::make_unique<TsqILNode>();
        n->name = std::move(r.name);
        n->text = std::move(r.text);
        n->pos = p.XYPositionOf(r.pos);
        top->children.push_back(std::move(n));
        break;
      }
    }
  }
  return root;
}

}  // namespace

bool LanguageDirective(std::string_view text, std::string& name, int& startOffset) {
  if (text.empty() || text[0] != '#') return false;
  size_t i = 1;
  while (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_'))
    ++i;
  if (!core::EqualsNoCase(text.substr(1, i - 1), "language")) return false;
  size_t eol = text.find_first_of("\r\n", i);
  if (eol == std::string_view::npos) eol = text.size();
  name = std::string(core::TrimView(text.substr(i, eol - i)));
  // Compilation starts two characters after the line's end (CR LF).
  startOffset = static_cast<int>(std::min(text.size(), eol + 2));
  return true;
}

bool TsqILParser::MakeILScript(std::string_view text) {
  program_.reset();
  errorMsg_.clear();
  errorPos_.clear();
  errorUnit_.clear();
  // "#language NAME" on the first line picks the language.
  int startOffset = 0;
  std::string directive;
  if (LanguageDirective(text, directive, startOffset)) SelectLanguage(directive);
  if (!grammar_) SelectLanguage(script_.SyntaxType());
  source_ = std::string(text);
  if (!parser_.SkipEOL()) {
    // Line ends end statements: the lexer sees a line end at its carriage
    // return, so a unit file with bare line feeds gets one before each, and
    // the last line needs no line break of its own.
    std::string joined;
    joined.reserve(source_.size() + 2);
    for (size_t i = 0; i < source_.size(); ++i) {
      if (source_[i] == '\n' && (i == 0 || source_[i - 1] != '\r')) joined += '\r';
      joined += source_[i];
    }
    if (!joined.empty() && joined.back() != '\n' && joined.back() != '\r') joined += "\r\n";
    source_ = std::move(joined);
  }
  parser_.SetText(source_);
  parser_.SetPosition(startOffset + 1);
  TsqILWalker walker(*this);
  bool ok = walker.Run();
  if (!ok) {
    errorMsg_ = walker.errMsg_;
    errorPos_ = walker.errPos_;
    errorUnit_ = walker.errUnit_;
    if (errorMsg_.empty() && !walker.errorSet_) {
      // The start rule failed without a recorded error.
      errorMsg_ = grammar_->errors.count(3) ? grammar_->errors.at(3) : "Statement expected";
      parser_.SkipSpaces();
      errorPos_ = parser_.GetXYPosition();
    }
    // A unit's error is stored by the compilation that used it.
    if (!nested_) script_.SetError(errorMsg_, errorPos_, errorUnit_);
    return false;
  }
  program_ = BuildTree(walker.recs_, parser_, source_, walker.units_);
  auto types = std::make_unique<TsqILNode>();
  types->name = "types";
  for (const auto& [n, t] : grammar_->types) {
    auto item = std::make_unique<TsqILNode>();
    item->name = n;
    item->text = t;
    types->children.push_back(std::move(item));
  }
  program_->children.push_back(std::move(types));
  return true;
}

bool TsqILParser::DeclareVars() const {
  return !grammar_ || grammar_->declareVars;
}

void TsqILParser::ParseILScript() {
  if (!program_) return;
  TsqILCompiler compiler(*this);
  compiler.Compile();
}

// ---------------------------------------------------------------------------
// XML form.

void TsqILParser::ToXML(const TsqILNode& node, TsqXMLItem& item) {
  item.SetName(node.name);
  if (!node.unit.empty()) item.SetProp("unit", node.unit);
  if (!node.text.empty() || node.children.empty()) item.SetProp("text", node.text);
  if (!node.pos.empty()) item.SetProp("pos", node.pos);
  if (!node.pos1.empty()) item.SetProp("pos1", node.pos1);
  if (!node.source.empty()) item.SetProp("src", node.source);
  for (const auto& c : node.children) ToXML(*c, *item.Add());
}

std::unique_ptr<TsqILNode> TsqILParser::FromXML(const TsqXMLItem& item) {
  auto n = std::make_unique<TsqILNode>();
  n->name = item.Name();
  n->text = item.Prop("text");
  n->unit = item.Prop("unit");
  n->pos = item.Prop("pos");
  n->pos1 = item.Prop("pos1");
  n->source = item.Prop("src");
  for (int i = 0; i < item.Count(); ++i) n->children.push_back(FromXML(*item.Items(i)));
  return n;
}

std::string TsqILParser::ILText() const {
  if (!program_) return std::string();
  TsqXMLDocument doc;
  ToXML(*program_, doc.Root());
  return doc.SaveToString();
}

// ---------------------------------------------------------------------------

namespace {

class ILCompiler final : public TsqScriptCompiler {
 public:
  void CompileScript(TsqScript& script, const std::string& syntaxType) override {
    // A new compilation replaces the main program; items stay until Clear.
    script.Statement().Clear();
    TsqILParser parser(script);
    // A "#language" first line selects the language in MakeILScript.
    const std::string text = script.Text();
    std::string directive;
    int offset = 0;
    if (!LanguageDirective(text, directive, offset)) parser.SelectLanguage(syntaxType);
    if (parser.MakeILScript(text)) parser.ParseILScript();

  }
};

}  // namespace

TsqScriptCompiler& ILScriptCompiler() {
  static ILCompiler compiler;
  return compiler;
}

}  // namespace sq
