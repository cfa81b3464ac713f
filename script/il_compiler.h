// TsqILCompiler: stage two of the compiler. Turns the intermediate program
// of a TsqILParser into declarations, expressions and statements of its
// script.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace sq {

class TsqILParser;
class TsqScript;
class TsqStatementList;
class TsqCustomExpression;
class TsqCustomVariable;
class TsqExpression;
class TsqDesignator;
class TsqSetExpression;
class TsqProcVariable;
struct TsqILNode;
enum class TsqDesignatorMode;

class TsqILCompiler {
 public:
  explicit TsqILCompiler(TsqILParser& parser);
  // Errors are stored in the script (message, position, unit).
  void Compile();

 private:
  void CompileBlock(const TsqILNode& block, TsqScript& script, TsqStatementList& list);
  void DeclareRoutines(const TsqILNode& block, TsqScript& script);
  void DeclareRoutine(const TsqILNode& n, TsqScript& script);
  void CompileElement(const TsqILNode& n, TsqScript& script, TsqStatementList& list);
  void CompileStatements(const TsqILNode& n, size_t from, TsqScript& script, TsqStatementList& list);
  void CompileVar(const TsqILNode& n, TsqScript& script, TsqStatementList& list,
                  TsqProcVariable* params, bool varParams);
  void CompileConst(const TsqILNode& n, TsqScript& script);
  void CompileUses(const TsqILNode& n, TsqScript& script, TsqStatementList& list);
  void CompileAssign(const TsqILNode& n, TsqScript& script, TsqStatementList& list);
  void CompileFor(const TsqILNode& n, TsqScript& script, TsqStatementList& list);
  void CompileCppFor(const TsqILNode& n, TsqScript& script, TsqStatementList& list);
  void CompileSingleItemFor(const TsqILNode& n, TsqScript& script, TsqStatementList& list);
  void CompileWith(const TsqILNode& n, TsqScript& script, TsqStatementList& list);

  std::unique_ptr<TsqExpression> Expression(const TsqILNode& expr, TsqScript& script);
  void FeedExpression(const TsqILNode& expr, TsqExpression& e, TsqScript& script);
  std::unique_ptr<TsqSetExpression> Set(const TsqILNode& set, TsqScript& script);
  std::unique_ptr<TsqDesignator> Designator(const TsqILNode& dsgn, TsqScript& script,
                                            TsqDesignatorMode mode);
  std::unique_ptr<TsqDesignator> Designator(const TsqILNode& dsgn, TsqScript& script);
  std::string ResolveType(const std::string& name) const;
  void Position(const TsqILNode& n);

  TsqILParser& parser_;
  TsqScript& main_;
  std::string unit_;
  std::string pos_;
  std::vector<TsqCustomVariable*> withObjects_;
  std::vector<std::string> withNames_;
};

}  // namespace sq
