// The survey form's design: one A4 page, one master band on the report
// dataset QDDBBRXX, and the 160 memos of the form. The main window's report
// carries this design; the shipped template files are written from it.
#pragma once

namespace report {
class TqdrReport;
class TqdrDataSet;
}  // namespace report

namespace app {

// Replaces the report's design by the survey form bound to `dataSet`
// (named "QDDBBRXX"), which also becomes the report's main dataset.
void BuildSurveyDesign(report::TqdrReport& report, report::TqdrDataSet* dataSet);

}  // namespace app
