// Dialog functions and the window-layer constants.
#include "script/dialogs_module.h"

#include <iostream>

#include "script/helpers.h"
#include "script/script.h"

namespace sq {

namespace {
TsqDialogHost*& Host() {
  static TsqDialogHost* host = nullptr;
  return host;
}

void AddConstants(TsqScript& s, std::initializer_list<std::pair<const char*, int32_t>> list) {
  for (const auto& [name, value] : list) s.AddConst(name, "Integer", core::Variant(value));
}
}  // namespace

void SetDialogHost(TsqDialogHost* host) {
  Host() = host;
}

TsqDialogsModule::TsqDialogsModule(TsqScript& s) : TsqRTTIModule(s) {
  s.AddEnum("TMsgDlgType", "mtWarning, mtError, mtInformation, mtConfirmation, mtCustom");
  s.AddEnumSet("TMsgDlgButtons",
               "mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, "
               "mbYesToAll, mbHelp");
  s.AddMethod(
      "function MessageDlg(Msg: string; DlgType: TMsgDlgType; Buttons: TMsgDlgButtons; HelpCtx: "
      "Longint): Integer",
      TsqHelperMethodEvent([](core::TObject*, const core::ClassInfo*, const std::string&,
                              TsqMethodHelper& h) {
        const std::string msg = h.ParamValue(0).ToString();
        if (Host())
          return core::Variant(int32_t{Host()->MessageDlg(msg, h.ParamValue(1).ToInt32(),
                                                          h.ParamValue(2).ToInt32())});
        std::cout << msg << '\n' << std::flush;
        return core::Variant(int32_t{1});  // mrOk
      }),
      "ctOther");
  s.AddMethod("function InputBox(ACaption, APrompt, ADefault: string): string",
              TsqHelperMethodEvent([](core::TObject*, const core::ClassInfo*, const std::string&,
                                      TsqMethodHelper& h) {
                std::string value = h.ParamValue(2).ToString();
                if (Host()) {
                  std::string typed = value;
                  if (Host()->InputQuery(h.ParamValue(0).ToString(), h.ParamValue(1).ToString(), typed))
                    value = typed;
                }
                return core::Variant(value);
              }),
              "ctOther");
  s.AddMethod("function InputQuery(ACaption, APrompt: string; var Value: string): Boolean",
              TsqHelperMethodEvent([](core::TObject*, const core::ClassInfo*, const std::string&,
                                      TsqMethodHelper& h) {
                if (!Host()) return core::Variant(false);
                std::string value = h.ParamValue(2).ToString();
                bool ok = Host()->InputQuery(h.ParamValue(0).ToString(), h.ParamValue(1).ToString(), value);
                if (ok) h.SetParamValue(2, core::Variant(value));
                return core::Variant(ok);
              }),
              "ctOther");
}

TsqFormsModule::TsqFormsModule(TsqScript& s) : TsqRTTIModule(s) {
  AddConstants(s, {{"mrNone", 0}, {"mrOk", 1}, {"mrCancel", 2}, {"mrAbort", 3}, {"mrRetry", 4},
                   {"mrIgnore", 5}, {"mrYes", 6}, {"mrNo", 7}, {"mrAll", 8}, {"mrNoToAll", 9},
                   {"mrYesToAll", 10}});
  AddConstants(s, {{"bsNone", 0}, {"bsSingle", 1}, {"bsSizeable", 2}, {"bsDialog", 3},
                   {"bsToolWindow", 4}, {"bsSizeToolWin", 5}});
  AddConstants(s, {{"taLeftJustify", 0}, {"taRightJustify", 1}, {"taCenter", 2}});
  AddConstants(s, {{"crDefault", 0},    {"crNone", -1},      {"crArrow", -2},     {"crCross", -3},
                   {"crIBeam", -4},     {"crSize", -22},     {"crSizeNESW", -6},  {"crSizeNS", -7},
                   {"crSizeNWSE", -8},  {"crSizeWE", -9},    {"crUpArrow", -10},  {"crHourGlass", -11},
                   {"crDrag", -12},     {"crNoDrop", -13},   {"crHSplit", -14},   {"crVSplit", -15},
                   {"crMultiDrag", -16}, {"crSQLWait", -17}, {"crNo", -18},       {"crAppStart", -19},
                   {"crHelp", -20},     {"crHandPoint", -21}, {"crSizeAll", -22}});
  AddConstants(s, {{"VK_RBUTTON", 2},   {"VK_CANCEL", 3},    {"VK_MBUTTON", 4},   {"VK_BACK", 8},
                   {"VK_TAB", 9},       {"VK_CLEAR", 12},    {"VK_RETURN", 13},   {"VK_SHIFT", 16},
                   {"VK_CONTROL", 17},  {"VK_MENU", 18},     {"VK_PAUSE", 19},    {"VK_CAPITAL", 20},
                   {"VK_ESCAPE", 27},   {"VK_SPACE", 32},    {"VK_PRIOR", 33},    {"VK_NEXT", 34},
                   {"VK_END", 35},      {"VK_HOME", 36},     {"VK_LEFT", 37},     {"VK_UP", 38},
                   {"VK_RIGHT", 39},    {"VK_DOWN", 40},     {"VK_SELECT", 41},   {"VK_PRINT", 42},
                   {"VK_EXECUTE", 43},  {"VK_SNAPSHOT", 44}, {"VK_INSERT", 45},   {"VK_DELETE", 46},
                   {"VK_HELP", 47},     {"VK_LWIN", 91},     {"VK_RWIN", 92},     {"VK_APPS", 93},
                   {"VK_NUMPAD0", 96},  {"VK_NUMPAD1", 97},  {"VK_NUMPAD2", 98},  {"VK_NUMPAD3", 99},
                   {"VK_NUMPAD4", 100}, {"VK_NUMPAD5", 101}, {"VK_NUMPAD6", 102}, {"VK_NUMPAD7", 103},
                   {"VK_NUMPAD8", 104}, {"VK_NUMPAD9", 105}, {"VK_MULTIPLY", 106}, {"VK_ADD", 107},
                   {"VK_SEPARATOR", 108}, {"VK_SUBTRACT", 109}, {"VK_DECIMAL", 110},
                   {"VK_DIVIDE", 111},  {"VK_F1", 112},      {"VK_F2", 113},      {"VK_F3", 114},
                   {"VK_F4", 115},      {"VK_F5", 116},      {"VK_F6", 117},      {"VK_F7", 118},
                   {"VK_F8", 119},      {"VK_F9", 120},      {"VK_F10", 121},     {"VK_F11", 122},
                   {"VK_F12", 123},     {"VK_NUMLOCK", 144}, {"VK_SCROLL", 145}});
}

void RegisterDialogsModule() {
  RegisterRTTIModule(&MakeRTTIModule<TsqDialogsModule>);
}

void RegisterFormsModule() {
  RegisterRTTIModule(&MakeRTTIModule<TsqFormsModule>);
}

}  // namespace sq
