// make_survey_templates DIR: writes the survey print template and the design
// template (the same design) into DIR.
#include <QGuiApplication>
#include <cstdio>
#include <exception>
#include <string>

#include "app/survey_design.h"
#include "report/dataset.h"
#include "report/report.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_survey_templates DIR\n");
    return 2;
  }
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  try {
    report::TqdrUserDataSet dataSet;
    dataSet.SetName("QDDBBRXX");
    report::TqdrReport rep;
    app::BuildSurveyDesign(rep, &dataSet);
    std::string dir = argv[1];
    for (const char* name : {"医院出院病人调查表(病案).qr3", "医院出院病人调查表.qr3"}) rep.SaveToFile(dir + "/" + name);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_survey_templates: %s\n", e.what());
    return 1;
  }
  return 0;
}
