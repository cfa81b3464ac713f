// make_demo_db DBFILE DATADIR [INIFILE [PATIENTS]]: builds the demo database
// (and settings); PATIENTS generated admissions, 3000 by default.
#include <cstdio>
#include <cstdlib>
#include <exception>

#include <QCoreApplication>
#include <QFileInfo>

#include "tools/demo_db/demo_database.h"

int main(int argc, char** argv) {
  if (argc < 3 || argc > 5) {
    std::fprintf(stderr, "usage: make_demo_db DBFILE DATADIR [INIFILE [PATIENTS]]\n");
    return 2;
  }
  QCoreApplication application(argc, argv);
  try {
    const int patients = argc == 5 ? std::atoi(argv[4]) : tools::kDemoPatients;
    tools::BuildDemoDatabaseFromDir(argv[1], argv[2], patients > 0 ? patients : tools::kDemoPatients);
    if (argc >= 4) tools::WriteDemoSettings(argv[3], QFileInfo(QString::fromUtf8(argv[1])).fileName().toStdString());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_demo_db: %s\n", e.what());
    return 1;
  }
  return 0;
}
