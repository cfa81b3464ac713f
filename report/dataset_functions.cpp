// Dataset functions over the report's Datasets list.
#include "report/dataset_functions.h"

#include "report/collections.h"
#include "report/dataset.h"
#include "report/report.h"
#include "report/resources.h"

namespace report {

TqdrDataSet* GetDataset(const TqdrReport& report, const std::string& alias) {
  TqdrDatasetItem* item = report.Datasets()->Find(alias);
  return item ? item->DataSet() : nullptr;
}

std::string GetAlias(const TqdrReport& report, const TqdrDataSet* dataset) {
  if (!dataset) return std::string();
  if (!report.Datasets()->Find(dataset)) return Resources().Lookup("clDSNotIncl");
  return dataset->UserName();
}

void GetDatasetAndField(const TqdrReport& report, const std::string& text, TqdrDataSet*& dataset,
                        std::string& field) {
  dataset = nullptr;
  field.clear();
  size_t p = text.find(".\"");
  if (p == std::string::npos) return;
  dataset = GetDataset(report, text.substr(0, p));
  field = text.substr(p + 2);
  if (!field.empty()) field.pop_back();  // the closing quote
}

void GetDataSetList(const TqdrReport& report,
                    std::vector<std::pair<std::string, TqdrDataSet*>>& list, bool onlyDB) {
  list.clear();
  TqdrReportDatasets* datasets = report.Datasets();
  for (int i = 0; i < datasets->Count(); ++i) {
    TqdrDataSet* ds = datasets->Items(i)->DataSet();
    if (!ds) continue;
    if (onlyDB && dynamic_cast<TqdrUserDataSet*>(ds)) continue;
    list.emplace_back(ds->UserName(), ds);
  }
}

}  // namespace report
