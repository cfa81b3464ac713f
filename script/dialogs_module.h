// TsqDialogsModule: message and input dialogs for scripts. The dialogs go
// through a host so that the report library can show them with its widgets;
// without a host, messages go to standard output and inputs keep defaults.
#pragma once

#include <memory>
#include <string>

#include "script/rtti_module.h"

namespace sq {

class TsqDialogHost {
 public:
  virtual ~TsqDialogHost() = default;
  // Returns the modal result of the pressed button (mrOk, mrYes, ...).
  virtual int MessageDlg(const std::string& msg, int dlgType, int buttons) = 0;
  // False when the user cancelled; `value` holds the default on entry.
  virtual bool InputQuery(const std::string& caption, const std::string& prompt,
                          std::string& value) = 0;
};

// The host stays owned by the caller; null restores the console behaviour.
void SetDialogHost(TsqDialogHost* host);

class TsqDialogsModule : public TsqRTTIModule {
 public:
  explicit TsqDialogsModule(TsqScript& script);
};

// Names of the window layer without windows: modal results, border styles,
// alignments, cursors and key codes.
class TsqFormsModule : public TsqRTTIModule {
 public:
  explicit TsqFormsModule(TsqScript& script);
};

void RegisterDialogsModule();
void RegisterFormsModule();

}  // namespace sq
