// The script command of qdr.
#include "tools/qdr/script_command.h"

#include <fstream>
#include <ostream>
#include <sstream>

#include "core/error.h"
#include "script/classes_module.h"
#include "script/dialogs_module.h"
#include "script/script.h"
#include "script/system_module.h"

namespace qdr {

int RunScriptCommand(const std::vector<std::string>& args, std::ostream& err) {
  std::string file, language = "VuredeVizivo";
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--language" && i + 1 < args.size()) {
      language = args[++i];
    } else if (file.empty()) {
      file = args[i];
    } else {
      err << "usage: qdr script FILE [--language NAME]\n";
      return 3;
    }
  }
  if (file.empty()) {
    err << "usage: qdr script FILE [--language NAME]\n";
    return 3;
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    err << "Cannot open file \"" << file << "\"\n";
    return 3;
  }
  std::stringstream text;
  text << in.rdbuf();

  sq::RegisterSystemModule();
  sq::RegisterClassesModule();
  sq::RegisterFormsModule();
  sq::RegisterDialogsModule();
  sq::TsqScript script;
  script.SetSyntaxType(language);
  script.SetExtendedIdentChars(true);
  script.SetText(text.str());
  try {
    script.AddRTTI();
    if (!script.Compile()) {
      err << script.ErrorPos() << ": " << script.ErrorMsg();
      if (!script.ErrorUnit().empty()) err << " (" << script.ErrorUnit() << ")";
      err << "\n";
      return 1;
    }
  } catch (const core::Error& e) {
    err << e.what() << "\n";
    return 1;
  }
  try {
    script.Execute();
  } catch (const std::exception& e) {
    err << e.what() << "\n";
    return 2;
  }
  return 0;
}

}  // namespace qdr
