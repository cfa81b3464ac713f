// The survey print template loaded from data/ over a dataset of generated
// rows (string fields; "mrn000" numbered MRN1, MRN2, ...; optional other
// values), its master band bound to it, ready to prepare.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "report/band.h"
#include "report/collections.h"
#include "report/dataset.h"
#include "report/report.h"

namespace enginetest {

class SurveyRows : public report::TqdrUserDataSet {
 public:
  explicit SurveyRows(int rows, std::map<std::string, std::string> fixed = {})
      : fixed_(std::move(fixed)) {
    SetName("QDDBBRXX");
    SetRangeEnd(report::TqdrRangeEnd::reCount);
    SetRangeEndCount(rows);
    OnGetValue = [this](const std::string& field, core::Variant& v) {
      if (field == "mrn000") v = core::Variant("MRN" + std::to_string(RecNo() + 1));
      if (auto it = fixed_.find(field); it != fixed_.end()) v = core::Variant(it->second);
    };
  }
  report::TqdrFieldType FieldType(const std::string&) override {
    return report::TqdrFieldType::fftString;
  }

  // Loads the template into `report` and binds it to these rows; false when
  // the template or its band is missing. The report-level dataset the stored
  // template names is left unset: the band runs over the rows.
  bool LoadSurvey(report::TqdrReport& report) {
    if (!report.LoadFromFile(std::string(SURVEY_SOURCE_DIR) + "/data/医院出院病人调查表(病案).qr3"))
      return false;
    auto* band = dynamic_cast<report::TqdrMasterData*>(report.FindObject("MasterData1"));
    if (!band) return false;
    band->SetDataSet(this);
    report.SetDataSet(nullptr);
    report.Datasets()->Clear();
    report.Datasets()->AddDataSet(this);
    return true;
  }

 private:
  std::map<std::string, std::string> fixed_;
};

}  // namespace enginetest
