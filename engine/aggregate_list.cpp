// Aggregate list: finding the aggregate calls of footer memos and keeping
// their totals while the band engine prints rows.
#include "engine/aggregate_list.h"

#include <algorithm>
#include <cassert>
#include <cctype>

#include "core/error.h"
#include "core/text_util.h"
#include "core/variant_ops.h"
#include "report/band.h"
#include "report/collections.h"
#include "report/dataset_functions.h"
#include "report/find_expression.h"
#include "report/page.h"
#include "report/report.h"
#include "report/view.h"
#include "script/format_text.h"

namespace engine {
namespace {

using report::TqdrBand;
using report::TqdrDataBand;
using Item = TqdrAggregateItem;

TqdrAggregateKind KindOfName(std::string_view name) {
  const std::string upper = core::UpperCase(core::TrimView(name));
  if (upper == "SUM") return TqdrAggregateKind::akSum;
  if (upper == "AVG") return TqdrAggregateKind::akAvg;
  if (upper == "MIN") return TqdrAggregateKind::akMin;
  if (upper == "MAX") return TqdrAggregateKind::akMax;
  return TqdrAggregateKind::akCount;
}

bool IsAggregateName(const std::string& ident) {
  const std::string upper = core::UpperCase(ident);
  return upper == "SUM" || upper == "AVG" || upper == "MIN" || upper == "MAX" || upper == "COUNT";
}

// Bytes of UTF-8 sequences count as letters: names may be Chinese.
bool IsIdentStart(unsigned char c) {
  return std::isalpha(c) || c == '_' || c >= 0x80;
}
bool IsIdentChar(unsigned char c) {
  return IsIdentStart(c) || std::isdigit(c);
}

// Index just past the quote that closes the one at `pos`.
size_t SkipQuoted(const std::string& s, size_t pos) {
  const size_t end = s.find(s[pos], pos + 1);
  return end == std::string::npos ? s.size() : end + 1;
}

// Index of the bracket closing the one at `pos`, over nesting and quotes; npos
// when it is never closed.
size_t FindClosing(const std::string& s, size_t pos, char open, char close) {
  int depth = 0;
  for (size_t i = pos; i < s.size();) {
    const char c = s[i];
    if (c == '\'' || c == '"') {
      i = SkipQuoted(s, i);
      continue;
    }
    if (c == open) ++depth;
    if (c == close && --depth == 0) return i;
    ++i;
  }
  return std::string::npos;
}

// The arguments between the parentheses at `open` and `close`, split at
// commas outside quotes and nested parentheses.
std::vector<std::string> SplitArguments(const std::string& s, size_t open, size_t close) {
  std::vector<std::string> args;
  size_t start = open + 1;
  int depth = 0;
  for (size_t i = open + 1; i < close;) {
    const char c = s[i];
    if (c == '\'' || c == '"') {
      i = std::min(SkipQuoted(s, i), close);
      continue;
    }
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (c == ',' && depth == 0) {
      args.push_back(s.substr(start, i - start));
      start = i + 1;
    }
    ++i;
  }
  args.push_back(s.substr(start, close - start));
  return args;
}

int LimitColumn(int column) {
  return std::clamp(column, 0, TqdrAggregateList::kMaxColumn);
}

// Folds value `v` into a stored value: a Null side changes nothing, a Null
// store takes it, otherwise add, the smaller or the larger.
void MergeValue(TqdrAggregateKind kind, const core::Variant& v, core::Variant& stored) {
  if (v.IsNull()) return;
  if (stored.IsNull()) {
    stored = v;
    return;
  }
  switch (kind) {
    case TqdrAggregateKind::akSum:
    case TqdrAggregateKind::akAvg:
      stored = core::VarAdd(stored, v);
      return;
    case TqdrAggregateKind::akMin:
      if (core::VarCompare(v, stored) < 0) stored = v;
      return;
    case TqdrAggregateKind::akMax:
      if (core::VarCompare(v, stored) > 0) stored = v;
      return;
    case TqdrAggregateKind::akCount:
      return;
  }
}

void Accumulate(TqdrAggregateKind kind, const core::Variant& v, int& count, core::Variant& stored) {
  if (kind != TqdrAggregateKind::akAvg || !v.IsNull()) ++count;
  MergeValue(kind, v, stored);
}

bool HasCounted(const Item& item) {
  if (item.count > 0) return true;
  return std::any_of(item.columnCounts.begin(), item.columnCounts.end(),
                     [](int c) { return c > 0; });
}

void Empty(Item& item) {
  item.count = 0;
  item.value = core::Variant::MakeNull();
  item.columnValues.clear();
  item.columnCounts.clear();
  if (item.lastRow == Item::LastRow::lrMain) item.lastRow = Item::LastRow::lrEmptied;
}

template <class T>
TqdrBand* FindBandOfClass(const report::TqdrReportPage& page) {
  for (report::TqdrComponent* c : page.Objects())
    if (auto* band = dynamic_cast<T*>(c)) return band;
  return nullptr;
}

// Makes `name` the report's current object for as long as it lives.
class CurrentObject {
 public:
  CurrentObject(report::TqdrReport& report, const std::string& name)
      : report_(report), saved_(report.CurrentObjectName()) {
    report_.SetCurrentObjectName(name);
  }
  ~CurrentObject() { report_.SetCurrentObjectName(saved_); }

 private:
  report::TqdrReport& report_;
  std::string saved_;
};

}  // namespace

TqdrAggregateList::TqdrAggregateList(report::TqdrReport& report) : report_(report) {}

TqdrAggregateList::~TqdrAggregateList() = default;

void TqdrAggregateList::Clear() {
  items_.clear();
}

const TqdrAggregateItem& TqdrAggregateList::Items(int i) const {
  assert(i >= 0 && i < Count() && "aggregate item index out of range");
  return items_[static_cast<size_t>(i)];
}

// ---------------------------------------------------------------------------
// Finding the calls

void TqdrAggregateList::CollectFromPage(report::TqdrReportPage& page) {
  for (TqdrDataBand* band : page.TopDataBands()) CollectFromDataBand(band);
  for (TqdrDataBand* band : page.TopVerticalDataBands()) CollectFromDataBand(band);
  if (page.TopDataBands().empty()) return;
  TqdrDataBand* first = page.TopDataBands().front();
  ScanBandChain(FindBandOfClass<report::TqdrPageFooter>(page), first);
  ScanBandChain(FindBandOfClass<report::TqdrColumnFooter>(page), first);
  ScanBandChain(FindBandOfClass<report::TqdrReportSummary>(page), first);
}

void TqdrAggregateList::CollectFromDataBand(TqdrDataBand* band) {
  if (!band) return;
  ScanBandChain(band->Run().footerBand, band);
  if (TqdrBand* group = band->Run().groupBand) {
    // The chain lists the first header itself; a header that was connected
    // alone may not have filled it.
    const auto& chain = group->Run().childDataBands;
    if (chain.empty()) ScanBandChain(group->Run().footerBand, band);
    for (TqdrBand* header : chain) ScanBandChain(header->Run().footerBand, band);
  }
  if (band->Vertical()) {
    // A memo moved here from a horizontal footer-like band counts with that
    // band as its scope; any other takes the vertical band itself.
    for (report::TqdrComponent* c : band->Objects()) {
      auto* memo = dynamic_cast<report::TqdrCustomMemoView*>(c);
      if (!memo) continue;
      TqdrBand* host = memo->HostBand();
      const bool footerLike = dynamic_cast<report::TqdrReportSummary*>(host) ||
                              dynamic_cast<report::TqdrPageFooter*>(host) ||
                              dynamic_cast<report::TqdrFooter*>(host) ||
                              dynamic_cast<report::TqdrGroupFooter*>(host);
      ScanMemo(memo, footerLike ? host : band, band);
    }
  }
  for (TqdrBand* child : band->Run().childDataBands)
    CollectFromDataBand(dynamic_cast<TqdrDataBand*>(child));
}

void TqdrAggregateList::ScanBandChain(TqdrBand* band, TqdrDataBand* defaultBand) {
  // SetChild refuses circular chains, so this walk ends.
  for (; band; band = band->Child())
    for (report::TqdrComponent* c : band->Objects())
      if (auto* memo = dynamic_cast<report::TqdrCustomMemoView*>(c))
        ScanMemo(memo, band, defaultBand);
}

void TqdrAggregateList::ScanMemo(report::TqdrCustomMemoView* memo, TqdrBand* scopeBand,
                                 TqdrDataBand* defaultBand) {
  if (!memo->AllowExpressions()) return;
  std::string open, close;
  report::SplitExpressionDelimiters(memo->ExpressionDelimiters(), open, close);
  const std::string text = memo->Text();
  if (open.empty() || text.find(open) == std::string::npos) return;
  scanMemo_ = memo;
  scanScope_ = scopeBand;
  scanDefault_ = defaultBand;
  // The same walk as the memo's own expansion, so both see the same expressions.
  size_t i = 0;
  while (i < text.size()) {
    while (i + 1 < text.size() && text.compare(i, open.size(), open) != 0) ++i;
    const report::FoundExpression found = report::FindExpression(text, open, close, i);
    if (found.endPos == i) break;
    std::vector<std::string> followed;
    ScanExpression(found.inner, followed);
    i = found.endPos + 1;
  }
}

void TqdrAggregateList::ScanExpression(const std::string& expr,
                                       std::vector<std::string>& followed) {
  const std::string text = core::Trim(expr);
  if (text.empty()) return;
  if (FollowVariable(text, followed)) return;
  report::TqdrDataSet* dataset = nullptr;
  std::string field;
  report::GetDatasetAndField(report_, text, dataset, field);
  if (dataset && !field.empty()) return;
  ScanText(text, followed);
}

bool TqdrAggregateList::FollowVariable(const std::string& name,
                                       std::vector<std::string>& followed) {
  report::TqdrVariables* variables = report_.Variables();
  if (variables->IndexOf(name) < 0) return false;
  // A variable that leads back to itself is scanned once.
  for (const std::string& seen : followed)
    if (core::EqualsNoCase(seen, name)) return true;
  followed.push_back(name);
  ScanExpression(variables->Variables(name).ToString(), followed);
  followed.pop_back();
  return true;
}

void TqdrAggregateList::ScanText(const std::string& text, std::vector<std::string>& followed) {
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\'' || c == '"') {
      i = SkipQuoted(text, i);
    } else if (c == '(' || c == '<') {
      const size_t end = FindClosing(text, i, static_cast<char>(c), c == '(' ? ')' : '>');
      const size_t stop = end == std::string::npos ? n : end;
      ScanExpression(text.substr(i + 1, stop - i - 1), followed);
      i = stop + 1;
    } else if (IsIdentStart(c)) {
      size_t j = i;
      while (j < n && IsIdentChar(static_cast<unsigned char>(text[j]))) ++j;
      const std::string ident = text.substr(i, j - i);
      if (j < n && text[j] == '(' && IsAggregateName(ident)) {
        const size_t end = FindClosing(text, j, '(', ')');
        if (end == std::string::npos) return;  // an unclosed call: not a call
        AddItem(text.substr(i, end - i + 1), SplitArguments(text, j, end));
        i = end + 1;
      } else {
        FollowVariable(ident, followed);
        i = j;
      }
    } else if (std::isdigit(c)) {
      // A number, exponent and hex digits included, is no name.
      while (i < n && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '.')) ++i;
    } else {
      ++i;
    }
  }
}

void TqdrAggregateList::AddItem(const std::string& callText, const std::vector<std::string>& args) {
  auto arg = [&args](size_t k) { return k < args.size() ? core::Trim(args[k]) : std::string(); };
  Item item;
  item.callText = core::Trim(callText);
  item.kind = KindOfName(std::string_view(callText).substr(0, callText.find('(')));
  const bool count = item.kind == TqdrAggregateKind::akCount;
  const size_t bandArg = count ? 0 : 1;
  if (!count) item.expression = arg(0);

  item.dataBand = scanDefault_;
  const std::string bandName = arg(bandArg);
  if (!bandName.empty())
    if (auto* named = dynamic_cast<TqdrDataBand*>(report_.FindObject(bandName)))
      item.dataBand = named;

  int32_t flags = 0;
  const std::string flagsText = arg(bandArg + 1);
  if (!flagsText.empty() && !sq::TryStrToInt(flagsText, flags))
    throw core::Error("'" + flagsText + "' is not a valid integer value");
  item.countInvisible = (flags & 1) != 0;
  item.runningTotal = (flags & 2) != 0;

  item.scopeBand = scanScope_;
  item.inPageFooter = dynamic_cast<report::TqdrPageFooter*>(scanScope_) != nullptr;
  item.ownerMemo = scanMemo_->Name();
  items_.push_back(std::move(item));
}

// ---------------------------------------------------------------------------
// Totals

void TqdrAggregateList::AddValue(TqdrDataBand* band, int vColumn) {
  if (!band) return;
  const int column = LimitColumn(vColumn);
  for (Item& item : items_) {
    if (item.dataBand != band) continue;
    item.vColumn = column;
    if (item.skipNextAdd) {
      item.skipNextAdd = false;
      continue;
    }
    if (!band->Visible() && !item.countInvisible) {
      item.lastRow = Item::LastRow::lrNone;
      continue;
    }
    core::Variant v = core::Variant::MakeNull();
    if (item.kind != TqdrAggregateKind::akCount) {
      CurrentObject current(report_, item.ownerMemo);
      v = report_.Calc(item.expression);
      // Booleans count as 1 and 0, so SUM counts true values; an expression
      // without a value counts as Null.
      if (v.IsBoolean()) v = core::Variant(int32_t{v.RawBool() ? 1 : 0});
      if (v.IsEmpty()) v = core::Variant::MakeNull();
    }
    if (column >= 1) {
      if (item.columnValues.empty()) {
        item.columnValues.assign(kMaxColumn + 1, core::Variant::MakeNull());
        item.columnCounts.assign(kMaxColumn + 1, 0);
      }
      Accumulate(item.kind, v, item.columnCounts[column], item.columnValues[column]);
      item.lastRow = Item::LastRow::lrNone;
    } else if (item.keeping) {
      item.savedCount = item.keepCount;
      item.savedValue = item.keepValue;
      Accumulate(item.kind, v, item.keepCount, item.keepValue);
      item.lastRow = Item::LastRow::lrKeep;
    } else {
      item.savedCount = item.count;
      item.savedValue = item.value;
      Accumulate(item.kind, v, item.count, item.value);
      item.lastRow = Item::LastRow::lrMain;
    }
  }
}

void TqdrAggregateList::ResetBand(TqdrBand* band) {
  for (Item& item : items_) {
    if (item.scopeBand != band) continue;
    if (item.runningTotal && HasCounted(item)) continue;
    Empty(item);
  }
}

// The engine adds the row again after the page break, for every item of the
// band. An item whose footer was already printed and reset since the row was
// added must not get it a second time, so that re-add is skipped for it.
void TqdrAggregateList::RollBackKeep(TqdrDataBand* band) {
  if (!band) return;
  for (Item& item : items_) {
    if (item.dataBand != band) continue;
    switch (item.lastRow) {
      case Item::LastRow::lrMain:
        item.count = item.savedCount;
        item.value = item.savedValue;
        break;
      case Item::LastRow::lrKeep:
        item.keepCount = item.savedCount;
        item.keepValue = item.savedValue;
        break;
      case Item::LastRow::lrEmptied:
        item.skipNextAdd = true;
        break;
      case Item::LastRow::lrNone:
        break;
    }
    item.lastRow = Item::LastRow::lrNone;
  }
}

void TqdrAggregateList::OpenKeep() {
  for (Item& item : items_) {
    if (!item.inPageFooter || item.keeping) continue;
    item.keeping = true;
    item.keepCount = 0;
    item.keepValue = core::Variant::MakeNull();
  }
}

void TqdrAggregateList::CloseKeep() {
  for (Item& item : items_) {
    if (!item.keeping) continue;
    item.keeping = false;
    item.count += item.keepCount;
    MergeValue(item.kind, item.keepValue, item.value);
    item.keepCount = 0;
    item.keepValue = core::Variant::MakeNull();
    if (item.lastRow == Item::LastRow::lrKeep) item.lastRow = Item::LastRow::lrNone;
  }
}

void TqdrAggregateList::ClearValues() {
  for (Item& item : items_) {
    Empty(item);
    item.savedCount = 0;
    item.savedValue = core::Variant::MakeNull();
    item.keeping = false;
    item.keepCount = 0;
    item.keepValue = core::Variant::MakeNull();
    item.lastRow = Item::LastRow::lrNone;
    item.skipNextAdd = false;
  }
}

core::Variant TqdrAggregateList::GetValue(TqdrBand* scopeBand, int vColumn, int flags,
                                          TqdrBand* dataBand, const std::string& expr,
                                          const std::string& functionName) {
  const TqdrAggregateKind kind = KindOfName(functionName);
  const std::string_view wanted = core::TrimView(expr);
  const bool countInvisible = (flags & 1) != 0, runningTotal = (flags & 2) != 0;
  for (Item& item : items_) {
    if (item.scopeBand != scopeBand || item.kind != kind) continue;
    if (!core::EqualsNoCase(item.expression, wanted)) continue;
    if (dataBand && item.dataBand != dataBand) continue;
    if (item.countInvisible != countInvisible || item.runningTotal != runningTotal) continue;
    item.vColumn = LimitColumn(vColumn);
    const bool columns = !item.columnValues.empty();
    const int count = columns ? item.columnCounts[item.vColumn] : item.count;
    const core::Variant& value = columns ? item.columnValues[item.vColumn] : item.value;
    core::Variant result = core::Variant::MakeNull();
    switch (kind) {
      case TqdrAggregateKind::akAvg:
        if (count > 0) result = core::VarDiv(value, core::Variant(int32_t{count}));
        break;
      case TqdrAggregateKind::akCount:
        result = core::Variant(int32_t{count});
        break;
      case TqdrAggregateKind::akSum:
      case TqdrAggregateKind::akMin:
      case TqdrAggregateKind::akMax:
        result = value;
        break;
    }
    return result.IsNull() ? core::Variant(int32_t{0}) : result;
  }
  return core::Variant::MakeNull();
}

}  // namespace engine
