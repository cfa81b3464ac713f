// The survey program: the window (no arguments) or an admin command.
#include <QApplication>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/batch_print.h"
#include "report/font_substitutions.h"
#include "app/his_globals.h"
#include "app/password.h"
#include "app/run_application.h"

namespace {

const char kUsage[] =
    "usage: survey                          start the program (login, main window)\n"
    "       survey print ...                print survey forms without a window (survey print --help)\n"
    "       survey password encode TEXT     print the scrambled form of TEXT\n"
    "       survey password decode TEXT     print the clear form of a scrambled TEXT\n"
    "       survey --help                   show this text\n";

int PasswordCommand(int argc, char** argv) {
  if (argc != 4 || (std::strcmp(argv[2], "encode") != 0 && std::strcmp(argv[2], "decode") != 0)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::string out = std::strcmp(argv[2], "encode") == 0 ? app::EncodePassword(argv[3]) : app::DecodePassword(argv[3]);
  std::printf("%s\n", out.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2) {
    if (std::strcmp(argv[1], "password") == 0) return PasswordCommand(argc, argv);
    if (std::strcmp(argv[1], "print") == 0) return app::RunBatchPrint(argc, argv);
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    std::fprintf(stderr, "survey: unknown command \"%s\"\n%s", argv[1], kUsage);
    return 2;
  }
  QApplication application(argc, argv);
  report::InstallFontSubstitutions();
  app::InitPrivateGlobals(QCoreApplication::applicationDirPath().toUtf8().toStdString());
  return app::RunApplication();
}
