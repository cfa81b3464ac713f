// Running a statement list.
#include "script/statement.h"

#include "script/script.h"

namespace sq {

void TsqStatementList::Execute() {
  for (const auto& item : items_) {
    if (script_->ExitRequested() || script_->Terminated() || script_->BreakRequested() ||
        script_->ContinueRequested())
      return;
    static_cast<TsqStatement*>(item.get())->Execute();
  }
}

}  // namespace sq
