// Aggregates of report texts (SUM, AVG, MIN, MAX, COUNT): the calls are found
// in the memos of footer-like bands before a pass, and their values are
// accumulated row by row while the band engine prints data bands.
#pragma once

#include <string>
#include <vector>

#include "core/variant.h"

namespace report {
class TqdrBand;
class TqdrCustomMemoView;
class TqdrDataBand;
class TqdrReport;
class TqdrReportPage;
}  // namespace report

namespace engine {

enum class TqdrAggregateKind { akSum, akAvg, akMin, akMax, akCount };

// One aggregate call found in a memo, with its running totals.
struct TqdrAggregateItem {
  // Which total the last row went into, so that a rollback undoes just that
  // row (see TqdrAggregateList::RollBackKeep).
  enum class LastRow { lrNone, lrMain, lrKeep, lrEmptied };

  TqdrAggregateKind kind = TqdrAggregateKind::akCount;
  std::string expression;                    // first argument; empty for COUNT
  report::TqdrDataBand* dataBand = nullptr;  // whose rows are counted
  report::TqdrBand* scopeBand = nullptr;     // whose output resets the item
  bool inPageFooter = false;                 // scope is a page footer: takes part in keeps
  bool countInvisible = false;               // flags bit 0
  bool runningTotal = false;                 // flags bit 1
  std::string ownerMemo;                     // made current while the expression runs
  std::string callText;                      // the whole call, trimmed

  int count = 0;
  core::Variant value = core::Variant::MakeNull();
  int savedCount = 0;
  core::Variant savedValue = core::Variant::MakeNull();
  bool keeping = false;
  int keepCount = 0;
  core::Variant keepValue = core::Variant::MakeNull();
  // Per vertical column 0..kMaxColumn; empty until a row of a column is added.
  std::vector<core::Variant> columnValues;
  std::vector<int> columnCounts;
  int vColumn = 0;  // 0: not a vertical layout

  LastRow lastRow = LastRow::lrNone;
  bool skipNextAdd = false;  // the row taken back had already been reset away
};

// The aggregate items of one report. The band engine owns the list and calls
// it while it prepares; expressions reach GetValue through the engine.
class TqdrAggregateList {
 public:
  static constexpr int kMaxColumn = 1000;

  explicit TqdrAggregateList(report::TqdrReport& report);
  ~TqdrAggregateList();
  TqdrAggregateList(const TqdrAggregateList&) = delete;
  TqdrAggregateList& operator=(const TqdrAggregateList&) = delete;

  // Frees all items.
  void Clear();
  // Makes one item per aggregate call in the memos of the footers, group
  // footers, page footer, column footer and report summary of `page` (and of
  // its vertical data bands). A flags argument that is not an integer raises.
  void CollectFromPage(report::TqdrReportPage& page);
  // A row of `band` was shown: every item counting that band evaluates its
  // expression and accumulates it (in column `vColumn` when it is 1 or more).
  void AddValue(report::TqdrDataBand* band, int vColumn);
  // `band` was output: its items start again, except running totals that
  // have counted something.
  void ResetBand(report::TqdrBand* band);
  // A page break inside a footer keep: takes the last row of `band` back out
  // of the totals; the engine adds it again on the new page.
  void RollBackKeep(report::TqdrDataBand* band);
  // Page footer items gather their rows aside while a keep is open, and merge
  // them when it closes.
  void OpenKeep();
  void CloseKeep();
  // Empties every item, running totals included (between passes).
  void ClearValues();
  // The current value of the first matching item; Null when none matches.
  // `dataBand` null accepts any data band.
  core::Variant GetValue(report::TqdrBand* scopeBand, int vColumn, int flags,
                         report::TqdrBand* dataBand, const std::string& expr,
                         const std::string& functionName);

  int Count() const { return static_cast<int>(items_.size()); }
  const TqdrAggregateItem& Items(int i) const;

 private:
  void CollectFromDataBand(report::TqdrDataBand* band);
  void ScanBandChain(report::TqdrBand* band, report::TqdrDataBand* defaultBand);
  void ScanMemo(report::TqdrCustomMemoView* memo, report::TqdrBand* scopeBand,
                report::TqdrDataBand* defaultBand);
  void ScanExpression(const std::string& expr, std::vector<std::string>& followed);
  void ScanText(const std::string& text, std::vector<std::string>& followed);
  bool FollowVariable(const std::string& name, std::vector<std::string>& followed);
  void AddItem(const std::string& callText, const std::vector<std::string>& args);

  report::TqdrReport& report_;
  std::vector<TqdrAggregateItem> items_;
  // Context of the memo being scanned.
  report::TqdrCustomMemoView* scanMemo_ = nullptr;
  report::TqdrBand* scanScope_ = nullptr;
  report::TqdrDataBand* scanDefault_ = nullptr;
};

}  // namespace engine
