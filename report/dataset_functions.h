// The report's dataset functions used by expressions: datasets by user name,
// a dataset's alias, and field references of the form alias."field".
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace report {

class TqdrDataSet;
class TqdrReport;

// The dataset of the report's Datasets item with that user name, or none.
TqdrDataSet* GetDataset(const TqdrReport& report, const std::string& alias);
// Its user name; "(数据库未加入至 Report.DataSets)" when not in Datasets; "" for none.
std::string GetAlias(const TqdrReport& report, const TqdrDataSet* dataset);
// Splits alias."field" at the first dot followed by a double quote; without
// one, dataset and field are empty.
void GetDatasetAndField(const TqdrReport& report, const std::string& text, TqdrDataSet*& dataset,
                        std::string& field);
// User names and datasets of the Datasets items that have one; onlyDB leaves
// out user datasets.
void GetDataSetList(const TqdrReport& report,
                    std::vector<std::pair<std::string, TqdrDataSet*>>& list, bool onlyDB);

}  // namespace report
