// TsqStatement: the base of compiled statements, and TsqStatementList, the
// ordered statements of a main program or procedure body.
#pragma once

#include <string>
#include <string_view>

#include "script/item_list.h"

namespace sq {

class TsqScript;

class TsqStatement : public TsqItemList {
 public:
  explicit TsqStatement(TsqScript* script) : script_(script) {}
  virtual void Execute() = 0;
  TsqScript* Script() const { return script_; }
  const std::string& SourcePos() const { return sourcePos_; }
  void SetSourcePos(std::string_view p) { sourcePos_ = std::string(p); }
  const std::string& SourceUnit() const { return sourceUnit_; }
  void SetSourceUnit(std::string_view u) { sourceUnit_ = std::string(u); }

 private:
  TsqScript* script_;
  std::string sourcePos_;
  std::string sourceUnit_;
};

// Runs its statements in order, stopping when the script asks to exit or a
// break or continue leaves the list.
class TsqStatementList : public TsqItemList {
 public:
  explicit TsqStatementList(TsqScript* script) : script_(script) {}
  void Add(std::unique_ptr<TsqStatement> s) { AddItem(std::move(s)); }
  void Execute();

 private:
  TsqScript* script_;
};

}  // namespace sq
