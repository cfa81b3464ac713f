// Prepared pages store: source copies, page records, swapping, rebuilding, files.
#include "engine/preview_pages.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>

#include "core/code_page.h"
#include "core/error.h"
#include "core/float_text.h"
#include "core/reflection.h"
#include "core/text_util.h"
#include "report/band.h"
#include "report/component.h"
#include "report/font.h"
#include "report/options.h"
#include "report/page.h"
#include "report/report.h"
#include "report/serializer.h"
#include "report/view.h"
#include "report/xml_document.h"

namespace engine {

using report::TqdrBand;
using report::TqdrComponent;
using report::TqdrPage;
using report::TqdrReportPage;
using report::TqdrXMLItem;

namespace {

constexpr int kCacheSize = 50;
constexpr double kMm = 3.77953;

bool IsCrossView(const TqdrComponent* c) {
  std::string_view n = c->ClassName();
  return n == "TqdrCrossView" || n == "TqdrDBCrossView";
}

bool IsDialogObject(const TqdrComponent* c) {
  return c->IsDialogObject();
}

// Objects whose differences the serializer writes in compact form.
bool HasCompactForm(const TqdrComponent* c) {
  return c->AsBand() || c->AsPage() || c->AsMemo() ||
         dynamic_cast<const report::TqdrPictureView*>(c) ||
         dynamic_cast<const report::TqdrShapeView*>(c) ||
         dynamic_cast<const report::TqdrCustomLineView*>(c);
}

std::string Prefix(const TqdrComponent* c) {
  if (c->AsBand()) return "b";
  std::string base = c->BaseName();
  if (base.empty()) return "o";
  char ch = base[0];
  if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  return std::string(1, ch);
}

void AddAttr(std::string& out, const char* name, const std::string& value) {
  out += ' ';
  out.append(name).append("=\"").append(report::XmlEscape(value)).append("\"");
}

void AddFloat(std::string& out, const char* name, double a, double b, bool always = false) {
  if (always || std::fabs(a - b) > 0.0001) AddAttr(out, name, core::FloatToStr(a));
}

void AddInt(std::string& out, const char* name, int64_t a, int64_t b) {
  if (a != b) AddAttr(out, name, std::to_string(a));
}

// Position, size, visibility, font and tag against `base`.
std::string GeometryDiff(const TqdrComponent* c, const TqdrComponent* base) {
  std::string out;
  const report::TqdrView* view = c->AsView();
  const report::TqdrCustomMemoView* memo = c->AsMemo();
  if (!view || view->Align() == report::TqdrAlign::baNone)
    AddFloat(out, "l", c->Left(), base ? base->Left() : 0, !base);
  AddFloat(out, "t", c->Top(), base ? base->Top() : 0, !base || c->AsBand());
  if (!memo || !memo->AutoWidth()) AddFloat(out, "w", c->Width(), base ? base->Width() : 0, !base);
  AddFloat(out, "h", c->Height(), base ? base->Height() : 0, !base);
  if (!base) return out;
  AddInt(out, "Visible", c->Visible(), base->Visible());
  if (!c->ParentFont()) {
    const report::TqdrFont* a = c->Font();
    const report::TqdrFont* b = base->Font();
    if (a->Name() != b->Name()) AddAttr(out, "Font.Name", core::Utf8ToGbk(a->Name()));
    AddInt(out, "Font.Size", a->Size(), b->Size());
    AddInt(out, "Font.Color", a->Color(), b->Color());
    AddInt(out, "Font.Style", a->Style(), b->Style());
    AddInt(out, "Font.Charset", a->Charset(), b->Charset());
  }
  AddInt(out, "ParentFont", c->ParentFont(), base->ParentFont());
  AddInt(out, "Tag", c->Tag(), base->Tag());
  return out;
}

std::string_view TrimLeading(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  return s;
}

bool ToDouble(const std::string& text, double& out) {
  return !text.empty() && core::TextToFloatAnySeparator(text, out);
}

int ToInt(const std::string& text, int fallback) {
  try {
    size_t used = 0;
    int v = std::stoi(text, &used);
    return used == text.size() ? v : fallback;
  } catch (...) {
    return fallback;
  }
}

// Index N of a record named "pageN", or -2 when the name has another form.
int PageRecordSource(const std::string& name) {
  if (name.size() < 5 || !core::EqualsNoCase(name.substr(0, 4), "page")) return -2;
  return ToInt(name.substr(4), -2);
}

}  // namespace

TqdrPreviewPages::TqdrPreviewPages(report::TqdrReport* report)
    : report_(report), doc_(std::make_unique<report::TqdrXMLDocument>()), outline_(this) {
  doc_->Root()->Name = "preparedreport";
}

TqdrPreviewPages::~TqdrPreviewPages() {
  ClearCache();
  templateLinks_.clear();
}

// ---------------------------------------------------------------------------
// State

bool TqdrPreviewPages::Preparing() const {
  return engine_ && engine_->Preparing();
}
bool TqdrPreviewPages::FinalPass() const {
  return !engine_ || engine_->FinalPass();
}

TqdrXMLItem* TqdrPreviewPages::Pages() {
  return doc_->Root()->FindItem("previewpages");
}

TqdrXMLItem* TqdrPreviewPages::OutlineItem() {
  return doc_->Root()->FindItem("outline");
}

TqdrXMLItem* TqdrPreviewPages::PageItem(int index) const {
  int i = doc_->Root()->Find("previewpages");
  if (i < 0) return nullptr;
  TqdrXMLItem* pages = doc_->Root()->Items(i);
  if (index < 0 || index >= pages->Count()) return nullptr;
  return pages->Items(index);
}

TqdrXMLItem* TqdrPreviewPages::CurrentPageItem() const {
  return PageItem(currentPage_);
}

int TqdrPreviewPages::PageCount() const {
  int i = doc_->Root()->Find("previewpages");
  return i < 0 ? 0 : doc_->Root()->Items(i)->Count();
}

void TqdrPreviewPages::ClearCache() {
  cache_.clear();
  uncached_.reset();
}

void TqdrPreviewPages::ReleaseCachedPages() {
  const bool swap = report_ && report_->EngineOptions()->UseFileCache() && !Preparing();
  for (const auto& entry : cache_)
    if (TqdrXMLItem* item = PageItem(entry.index); swap && item && item->Unloadable() && item->Loaded())
      doc_->UnloadItem(item);
  ClearCache();
}

void TqdrPreviewPages::EnsureLoaded(TqdrXMLItem* item) {
  if (item && !item->Loaded()) doc_->LoadItem(item);
}

void TqdrPreviewPages::ClearAll() {
  ClearCache();
  templateLinks_.clear();
  sourceToTemplate_.clear();
  sourceNames_.clear();
  dictionary_.Clear();
  sourcePages_.clear();
  templatePages_.clear();
  doc_->Clear();
  doc_->Root()->Name = "preparedreport";
  outline_.Reset();
  currentPage_ = -1;
  addMode_ = TqdrAddPageMode::apOverwrite;
  markedPage_ = -1;
  markedObjectCount_ = 0;
  memSize_ = 0;
}

void TqdrPreviewPages::OpenStore() {
  if (report_) {
    doc_->TempDir = report_->EngineOptions()->TempDir();
    report_->ProgressStart(report::pkPreparing);
  }
}

void TqdrPreviewPages::CloseStore() {
  ClearCache();
  sourceToTemplate_.clear();
  std::fill(templatePages_.begin(), templatePages_.end(), nullptr);
  if (report_) report_->ProgressStop(report::pkPreparing);
}

// ---------------------------------------------------------------------------
// Source pages

void TqdrPreviewPages::StoreSerialized(TqdrDictionary::Entry& e) {
  if (!e.source) return;
  report::TqdrXMLSerializer serializer(report_);
  e.serialized = HasCompactForm(e.source) ? serializer.WriteComponentText(e.source)
                                          : std::string(e.source->ClassName());
}

void TqdrPreviewPages::RegisterCopy(TqdrComponent* tmpl, TqdrComponent* copy) {
  const std::string shortName = dictionary_.CreateUniqueName(Prefix(copy));
  const std::string fullName =
      "Page" + std::to_string(sourcePages_.size() - 1) + "." + copy->Name();
  StoreSerialized(dictionary_.Add(shortName, fullName, copy));
  if (tmpl) {
    templateLinks_[tmpl] = {copy, shortName};
    sourceToTemplate_[copy] = tmpl;
  }
  sourceNames_[copy] = shortName;
}

TqdrComponent* TqdrPreviewPages::CopyTree(TqdrComponent* src, TqdrComponent* parent) {
  auto* copy = static_cast<TqdrComponent*>(src->ClassType()->Create(parent));
  copy->Assign(src);
  copy->SetName(src->Name());
  for (TqdrComponent* child : src->Objects()) {
    if (IsCrossView(child) || IsDialogObject(child)) continue;
    CopyTree(child, copy);
  }
  return copy;
}

void TqdrPreviewPages::RegisterSourcePage(TqdrPage* page) {
  if (!page || !page->ClassType() || !page->ClassType()->CanCreate()) return;
  std::unique_ptr<TqdrPage> copy(static_cast<TqdrPage*>(page->ClassType()->Create(nullptr)));
  copy->Assign(page);
  copy->SetName(page->Name());
  for (TqdrComponent* child : page->Objects()) {
    if (IsCrossView(child) || IsDialogObject(child)) continue;
    CopyTree(child, copy.get());
  }
  TqdrPage* pageCopy = copy.get();
  sourcePages_.push_back(std::move(copy));
  templatePages_.push_back(page);
  sourceToTemplate_[pageCopy] = page;
  // Template and copy trees have the same shape minus the skipped objects: pair them by walk.
  std::function<void(TqdrComponent*, TqdrComponent*)> link = [&](TqdrComponent* t,
                                                                 TqdrComponent* c) {
    size_t k = 0;
    for (TqdrComponent* tc : t->Objects()) {
      if (IsCrossView(tc) || IsDialogObject(tc)) continue;
      if (k >= c->Objects().size()) return;
      TqdrComponent* cc = c->Objects()[k++];
      RegisterCopy(tc, cc);
      link(tc, cc);
    }
  };
  link(page, pageCopy);
}

void TqdrPreviewPages::RegisterRuntimeObject(TqdrComponent* object) {
  if (!object || sourcePages_.empty() || !object->ClassType()->CanCreate()) return;
  TqdrPage* last = sourcePages_.back().get();
  auto* copy = static_cast<TqdrComponent*>(object->ClassType()->Create(last));
  copy->Assign(object);
  // Unique within the source page: the base name and the first free number.
  std::string base = copy->BaseName();
  for (int n = 1;; ++n) {
    std::string name = base + std::to_string(n);
    bool used = false;
    for (TqdrComponent* c : last->AllObjects())
      if (c != copy && core::EqualsNoCase(c->Name(), name)) used = true;
    if (!used) {
      copy->SetName(name);
      break;
    }
  }
  RegisterCopy(object, copy);
}

int TqdrPreviewPages::SourceIndexOf(TqdrPage* templatePage) const {
  for (size_t i = 0; i < templatePages_.size(); ++i)
    if (templatePages_[i] == templatePage || sourcePages_[i].get() == templatePage)
      return static_cast<int>(i);
  return -1;
}

// ---------------------------------------------------------------------------
// Adding pages and objects

void TqdrPreviewPages::ApplyMemoryLimit() {
  if (!report_ || !report_->EngineOptions()->UseFileCache()) return;
  if (memSize_ <= static_cast<int64_t>(report_->EngineOptions()->MaxMemSize()) * 1048576) return;
  TqdrXMLItem* pages = Pages();
  for (int i = pages->Count() - 2; i >= 0; --i) {
    TqdrXMLItem* item = pages->Items(i);
    if (!item->Unloadable() || !item->Loaded()) break;
    doc_->UnloadItem(item);
  }
  memSize_ = 0;
}

void TqdrPreviewPages::StartOutputPage(TqdrPage* page) {
  ApplyMemoryLimit();
  ++currentPage_;
  if (currentPage_ < PageCount() && addMode_ == TqdrAddPageMode::apOverwrite) {
    EnsureLoaded(CurrentPageItem());
    return;
  }
  TqdrXMLItem* pages = Pages();
  TqdrXMLItem* item = pages->Add();
  item->Name = "page" + std::to_string(SourceIndexOf(page));
  if (pages->Count() >= 3) item->SetUnloadable(true);
  if (report_) report_->Progress(report::pkPreparing, currentPage_ + 1);
  addMode_ = TqdrAddPageMode::apOverwrite;
  currentPage_ = pages->Count() - 1;
}

std::string TqdrPreviewPages::RecordText(TqdrComponent* obj, TqdrComponent* source) const {
  if (!FinalPass()) return GeometryDiff(obj, source);
  if (HasCompactForm(obj)) return obj->Diff(source);
  report::TqdrXMLSerializer serializer(report_);
  std::string full = serializer.WriteProperties(obj, "");
  if (source) full += GeometryDiff(obj, source);
  return full;
}

void TqdrPreviewPages::AddObject(TqdrComponent* obj, TqdrXMLItem* parent) {
  if (!obj->Visible()) return;
  TqdrXMLItem* target = parent;
  if (!dynamic_cast<report::TqdrSubreport*>(obj) && !IsCrossView(obj) && !IsDialogObject(obj)) {
    TqdrXMLItem* item = parent->Add();
    auto it = templateLinks_.find(obj);
    TqdrComponent* source = nullptr;
    if (it != templateLinks_.end()) {
      source = it->second.source;
      item->Name = it->second.shortName;
    } else if (sourceNames_.count(obj)) {
      source = obj;  // the engine output a source copy itself
      item->Name = sourceNames_.at(obj);
    } else {
      item->Name = std::string(obj->ClassName());
    }
    item->Text = std::string(TrimLeading(RecordText(obj, source)));
    memSize_ +=
        static_cast<int64_t>(item->Name.size() + item->Text.size() + sizeof(TqdrXMLItem) + 16);
    target = item;
  }
  for (TqdrComponent* child : obj->Objects()) AddObject(child, target);
}

void TqdrPreviewPages::LinkCopy(const TqdrComponent* copy, const TqdrComponent* original) {
  auto it = templateLinks_.find(original);
  if (it != templateLinks_.end()) templateLinks_[copy] = it->second;
}

void TqdrPreviewPages::AppendBand(TqdrBand* band) {
  TqdrXMLItem* page = CurrentPageItem();
  if (!band || !page) return;
  EnsureLoaded(page);
  AddObject(band, page);
}

// ---------------------------------------------------------------------------
// Passes, cut and paste, queries

int TqdrPreviewPages::RecordCount(TqdrXMLItem* item) const {
  if (!item) return 0;
  if (!item->Loaded()) doc_->LoadItem(item);
  return item->Count();
}

void TqdrPreviewPages::MarkPassStart() {
  markedPage_ = PageCount() - 1;
  markedObjectCount_ = markedPage_ >= 0 ? RecordCount(PageItem(markedPage_)) : 0;
}

void TqdrPreviewPages::RewindToPassStart() {
  ClearCache();
  TqdrXMLItem* root = doc_->Root();
  if (markedPage_ == -1) {
    for (int i = 0; i < root->Count(); ++i)
      if (!core::EqualsNoCase(root->Items(i)->Name, "anchors")) root->Items(i)->Clear();
    outline_.Reset();
  } else {
    TqdrXMLItem* pages = Pages();
    while (pages->Count() > markedPage_ + 1) delete pages->Items(pages->Count() - 1);
    TqdrXMLItem* page = PageItem(markedPage_);
    EnsureLoaded(page);
    while (page && page->Count() > markedObjectCount_) delete page->Items(page->Count() - 1);
  }
  currentPage_ = markedPage_;
  memSize_ = 0;
}

void TqdrPreviewPages::CutFrom(int index) {
  TqdrXMLItem* page = CurrentPageItem();
  if (!page) return;
  EnsureLoaded(page);
  TqdrXMLItem* cutted = doc_->Root()->FindItem("cutted");
  while (index >= 0 && index < page->Count()) cutted->AddItem(page->Items(index));
}

void TqdrPreviewPages::PasteAt(double x, double y) {
  int at = doc_->Root()->Find("cutted");
  if (at < 0) return;
  TqdrXMLItem* cutted = doc_->Root()->Items(at);
  TqdrXMLItem* page = CurrentPageItem();
  if (cutted->Count() && page) {
    EnsureLoaded(page);
    auto value = [](TqdrXMLItem* item, const char* name) {
      double v = 0;
      return ToDouble(item->Prop(name), v) ? v : 0.0;
    };
    const double dx = x - value(cutted->Items(0), "l");
    const double dy = y - value(cutted->Items(0), "t");
    while (cutted->Count()) {
      TqdrXMLItem* item = cutted->Items(0);
      item->SetProp("l", core::FloatToStr(value(item, "l") + dx));
      item->SetProp("t", core::FloatToStr(value(item, "t") + dy));
      page->AddItem(item);
    }
  }
  delete cutted;
}

bool TqdrPreviewPages::PageHasBand(TqdrBand* band) const {
  TqdrXMLItem* page = CurrentPageItem();
  if (!page || !band) return false;
  if (!page->Loaded()) doc_->LoadItem(page);
  const bool pageFooter = dynamic_cast<report::TqdrPageFooter*>(band);
  const bool columnFooter = dynamic_cast<report::TqdrColumnFooter*>(band);
  for (int i = 0; i < page->Count(); ++i) {
    const TqdrDictionary::Entry* e = dictionary_.Find(page->Items(i)->Name);
    if (!e || !e->source) continue;
    auto t = sourceToTemplate_.find(e->source);
    if (t != sourceToTemplate_.end() && t->second == band) return true;
    if (pageFooter && dynamic_cast<report::TqdrPageFooter*>(e->source)) return true;
    if (columnFooter && dynamic_cast<report::TqdrColumnFooter*>(e->source)) return true;
  }
  return false;
}

int TqdrPreviewPages::PageObjectCount() const {
  return RecordCount(CurrentPageItem());
}

double TqdrPreviewPages::PageContentBottom() const {
  TqdrXMLItem* page = CurrentPageItem();
  if (!page) return 0;
  if (!page->Loaded()) doc_->LoadItem(page);
  double bottom = 0;
  for (int i = 0; i < page->Count(); ++i) {
    TqdrXMLItem* item = page->Items(i);
    const TqdrDictionary::Entry* e = dictionary_.Find(item->Name);
    if (!e || !dynamic_cast<TqdrBand*>(e->source)) continue;
    if (dynamic_cast<report::TqdrPageFooter*>(e->source) ||
        dynamic_cast<report::TqdrOverlay*>(e->source))
      continue;
    double top = e->source->Top(), height = e->source->Height();
    ToDouble(item->Prop("t"), top);
    ToDouble(item->Prop("h"), height);
    bottom = std::max(bottom, top + height);
  }
  return bottom;
}

// ---------------------------------------------------------------------------
// Building pages

void TqdrPreviewPages::BuildObjects(TqdrXMLItem* item, TqdrComponent* parent) {
  report::TqdrXMLSerializer serializer(report_);
  for (int i = 0; i < item->Count(); ++i) {
    TqdrXMLItem* rec = item->Items(i);
    const TqdrDictionary::Entry* e = dictionary_.Find(rec->Name);
    TqdrComponent* obj = nullptr;
    if (e && e->source) {
      obj = serializer.ReadComponentText(parent, e->serialized + " " + rec->Text);
      if (obj) obj->SetName(e->source->Name());
    } else {
      const core::ClassInfo* info = core::FindClass(rec->Name);
      // Only printable objects may appear on a page: no reports or pages inside pages.
      if (info && info->InheritsFrom(report::TqdrReportComponent::StaticClass()))
        obj = serializer.ReadComponentText(parent, rec->Name + " " + rec->Text);
    }
    if (obj) BuildObjects(rec, obj);
  }
}

std::unique_ptr<TqdrPage> TqdrPreviewPages::BuildPage(int index) {
  TqdrXMLItem* item = PageItem(index);
  if (!item) return nullptr;
  EnsureLoaded(item);
  std::unique_ptr<TqdrPage> page;
  const int source = PageRecordSource(item->Name);
  if (source == -2) {
    const core::ClassInfo* info = core::FindClass(item->Name);
    if (!info || !info->CanCreate() || !info->InheritsFrom(TqdrPage::StaticClass()))
      info = TqdrReportPage::StaticClass();
    page.reset(static_cast<TqdrPage*>(info->Create(nullptr)));
    report::TqdrXMLSerializer serializer(report_);
    std::istringstream none;
    serializer.ReadRootComponent(page.get(), none, item);
  } else {
    TqdrPage* src = source >= 0 && source < static_cast<int>(sourcePages_.size())
                        ? sourcePages_[source].get()
                        : nullptr;
    if (src) {
      page.reset(static_cast<TqdrPage*>(src->ClassType()->Create(nullptr)));
      page->Assign(src);
      page->SetName(src->Name());
    } else {
      page = std::make_unique<TqdrReportPage>();
    }
    BuildObjects(item, page.get());
  }
  page->AlignChildren();
  return page;
}

TqdrPage* TqdrPreviewPages::PageAt(int index) {
  if (index < 0 || index >= PageCount()) return nullptr;
  if (Preparing()) {
    uncached_ = BuildPage(index);
    return uncached_.get();
  }
  for (auto it = cache_.begin(); it != cache_.end(); ++it) {
    if (it->index != index) continue;
    cache_.splice(cache_.begin(), cache_, it);
    return cache_.front().page.get();
  }
  std::unique_ptr<TqdrPage> page = BuildPage(index);
  if (!page) return nullptr;
  cache_.push_front({index, std::move(page)});
  if (static_cast<int>(cache_.size()) > kCacheSize) {
    const int dropped = cache_.back().index;
    cache_.pop_back();
    if (report_ && report_->EngineOptions()->UseFileCache())
      if (TqdrXMLItem* item = PageItem(dropped); item && item->Unloadable() && item->Loaded())
        doc_->UnloadItem(item);
  }
  return cache_.front().page.get();
}

void TqdrPreviewPages::PageSizeAt(int index, int& width, int& height) {
  width = height = 0;
  TqdrXMLItem* item = PageItem(index);
  if (!item) return;
  const int source = PageRecordSource(item->Name);
  TqdrPage* page = nullptr;
  if (source >= 0 && source < static_cast<int>(sourcePages_.size()))
    page = sourcePages_[source].get();
  else
    page = PageAt(index);
  if (!page) return;
  width = static_cast<int>(std::lround(page->Width()));
  height = static_cast<int>(std::lround(page->Height()));
}

// ---------------------------------------------------------------------------
// Modification

void TqdrPreviewPages::InsertEmptyPage(int index) {
  TqdrXMLItem* at = PageItem(index);
  if (!at) return;
  ClearCache();
  auto* item = new TqdrXMLItem;
  item->Name = at->Name;
  Pages()->InsertItem(index, item);
}

void TqdrPreviewPages::RemovePage(int index) {
  if (PageCount() < 2) return;
  TqdrXMLItem* item = PageItem(index);
  if (!item) return;
  ClearCache();
  delete item;
}

void TqdrPreviewPages::WriteFullPage(TqdrPage* page, TqdrXMLItem* item) {
  report::TqdrXMLSerializer serializer(report_);
  std::ostringstream none;
  serializer.WriteRootComponent(page, none, true, item);
}

void TqdrPreviewPages::ReplacePage(int index, TqdrPage* page) {
  TqdrXMLItem* item = PageItem(index);
  if (!item || !page) return;
  // Copy first: `page` may be a cached object that clearing the cache frees.
  TqdrXMLItem full;
  WriteFullPage(page, &full);
  ClearCache();
  item->SetUnloadable(false);
  item->Clear();
  item->Name = full.Name;
  item->Text = full.Text;
  while (full.Count()) item->AddItem(full.Items(0));
}

void TqdrPreviewPages::AppendPagesOf(TqdrPreviewPages& other) {
  for (int i = 0; i < other.PageCount(); ++i) {
    TqdrPage* page = other.PageAt(i);
    if (!page) continue;
    TqdrXMLItem* item = Pages()->Add();
    WriteFullPage(page, item);
    item->SetUnloadable(false);
  }
  ClearCache();
}

void TqdrPreviewPages::SetPageDimensions(TqdrPage* page, double height, double width) {
  const int i = SourceIndexOf(page);
  if (i < 0) return;
  auto* src = dynamic_cast<TqdrReportPage*>(sourcePages_[i].get());
  if (!src) return;
  src->SetPaperSize(256);
  src->SetPaperWidth(width / kMm);
  src->SetPaperHeight(height / kMm);
  src->UpdateDimensions();
  ClearCache();
}

// ---------------------------------------------------------------------------
// Anchors

void TqdrPreviewPages::AddAnchor(const std::string& text) {
  TqdrXMLItem* item = doc_->Root()->FindItem("anchors")->Add();
  item->Name = "item";
  item->SetProp("text", text);
  item->SetProp("page", std::to_string(currentPage_));
  item->SetProp("top", std::to_string(engine_ ? std::lround(engine_->CurY()) : 0));
}

int TqdrPreviewPages::GetAnchorPage(const std::string& text) const {
  int i = doc_->Root()->Find("anchors");
  if (i < 0) return 1;
  TqdrXMLItem* anchors = doc_->Root()->Items(i);
  for (int k = anchors->Count() - 1; k >= 0; --k)
    if (core::EqualsNoCase(anchors->Items(k)->Prop("text"), text))
      return ToInt(anchors->Items(k)->Prop("page"), 0) + 1;
  return 1;
}

// ---------------------------------------------------------------------------
// Drawing

void TqdrPreviewPages::DrawPageAt(int index, QPainter& canvas, double scaleX, double scaleY,
                                  double offsetX, double offsetY, bool printing) {
  TqdrPage* page = PageAt(index);
  auto* rp = dynamic_cast<TqdrReportPage*>(page);
  if (!rp) return;
  const double savedLeft = rp->LeftMargin(), savedRight = rp->RightMargin();
  if (rp->MirrorMargins() && index % 2 == 1) {
    rp->SetLeftMargin(savedRight);
    rp->SetRightMargin(savedLeft);
  }
  canvas.save();
  if (!printing) {
    const QRect paper(static_cast<int>(std::lround(offsetX)),
                      static_cast<int>(std::lround(offsetY)),
                      static_cast<int>(std::lround(rp->PaperWidth() * kMm * scaleX)),
                      static_cast<int>(std::lround(rp->PaperHeight() * kMm * scaleY)));
    canvas.setClipRect(paper, canvas.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
  }
  if (report::TqdrPictureView* bg = rp->BackgroundView())
    bg->Draw(canvas, scaleX, scaleY, offsetX, offsetY);
  offsetX += rp->LeftMargin() * kMm * scaleX;
  offsetY += rp->TopMargin() * kMm * scaleY;
  const QRegion clip = canvas.hasClipping() ? canvas.clipRegion() : QRegion();
  for (TqdrComponent* c : rp->AllObjects()) {
    auto* view = c->AsView();
    if (!view) continue;
    if (printing && !view->Printable()) continue;
    const report::TqdrRect r = view->GetAbsoluteBounds();
    const QRect box(static_cast<int>(std::lround(r.Left * scaleX + offsetX - 20)),
                    static_cast<int>(std::lround(r.Top * scaleY + offsetY - 20)),
                    static_cast<int>(std::lround((r.Right - r.Left) * scaleX + 40)),
                    static_cast<int>(std::lround((r.Bottom - r.Top) * scaleY + 40)));
    if (!clip.isEmpty() && !clip.intersects(box)) continue;
    if (auto* memo = view->AsMemo())
      memo->SetTotalPages(PageCount());
    view->Draw(canvas, scaleX, scaleY, offsetX, offsetY);
  }
  canvas.restore();
  rp->SetLeftMargin(savedLeft);
  rp->SetRightMargin(savedRight);
}

report::TqdrView* TqdrPreviewPages::HitTest(int index, double x, double y, bool click, int& cursor,
                                            double scale, double offsetX, double offsetY,
                                            int button, int shift) {
  if (Preparing()) return nullptr;
  auto* rp = dynamic_cast<TqdrReportPage*>(PageAt(index));
  if (!rp) return nullptr;
  double left = rp->LeftMargin();
  if (rp->MirrorMargins() && index % 2 == 1) left = rp->RightMargin();
  offsetX += left * kMm * scale;
  offsetY += rp->TopMargin() * kMm * scale;
  report::TqdrView* found = nullptr;
  const auto& all = rp->AllObjects();
  for (auto it = all.rbegin(); it != all.rend() && !found; ++it) {
    auto* view = (*it)->AsView();
    if (!view) continue;
    const report::TqdrRect r = view->GetAbsoluteBounds();
    if (x >= r.Left * scale + offsetX && x < r.Right * scale + offsetX &&
        y >= r.Top * scale + offsetY && y < r.Bottom * scale + offsetY)
      found = view;
  }
  if (!found) return nullptr;
  cursor = found->Cursor();
  if (!found->URL().empty() && OnShowURL) OnShowURL(found->URL());
  if (click) {
    if (!found->URL().empty() && OnFollowURL) OnFollowURL(found->URL());
    bool modified = false;
    if (OnClickObject) OnClickObject(found, button, shift, modified);
    if (modified) {
      ReplacePage(index, rp);
      return nullptr;  // the page object was freed with the cache
    }
  } else if (OnMouseOverObject) {
    OnMouseOverObject(found, cursor);
  }
  return found;
}

// ---------------------------------------------------------------------------
// Files

void TqdrPreviewPages::RefreshSaveElements() {
  TqdrXMLItem* root = doc_->Root();
  root->Name = "preparedreport";
  TqdrXMLItem* rep = root->FindItem("report");
  rep->Clear();
  TqdrXMLItem* r = rep->Add();
  r->Name = "TqdrReport";
  if (report_) {
    r->SetProp("DotMatrixReport", report_->DotMatrixReport() ? "1" : "0");
    r->SetProp("PreviewOptions.OutlineVisible",
               report_->PreviewOptions()->OutlineVisible() ? "1" : "0");
    r->SetProp("PreviewOptions.OutlineWidth",
               std::to_string(report_->PreviewOptions()->OutlineWidth()));
  }
  TqdrXMLItem* sp = root->FindItem("sourcepages");
  sp->Clear();
  for (auto& page : sourcePages_) WriteFullPage(page.get(), sp->Add());
  TqdrXMLItem* dict = root->FindItem("dictionary");
  dict->Clear();
  for (const auto& [shortName, entry] : dictionary_.Entries()) {
    TqdrXMLItem* item = dict->Add();
    item->Name = shortName;
    item->SetProp("name", entry.fullName);
  }
}

void TqdrPreviewPages::SaveToStream(std::ostream& stream) {
  RefreshSaveElements();
  doc_->AutoIndent = false;
  doc_->SaveToStream(stream);
  // The copies are rebuilt from the live objects on the next save.
  doc_->Root()->FindItem("sourcepages")->Clear();
}

void TqdrPreviewPages::ReadLoadedElements() {
  TqdrXMLItem* root = doc_->Root();
  report::TqdrXMLSerializer serializer(report_);
  if (int i = root->Find("report"); i >= 0 && report_) {
    TqdrXMLItem* rep = root->Items(i);
    EnsureLoaded(rep);
    if (rep->Count()) {
      TqdrXMLItem* r = rep->Items(0);
      report_->SetDotMatrixReport(r->Prop("DotMatrixReport") == "1");
      report_->PreviewOptions()->SetOutlineVisible(r->Prop("PreviewOptions.OutlineVisible") == "1");
      report_->PreviewOptions()->SetOutlineWidth(
          ToInt(r->Prop("PreviewOptions.OutlineWidth"), report_->PreviewOptions()->OutlineWidth()));
    }
  }
  if (int i = root->Find("sourcepages"); i >= 0) {
    TqdrXMLItem* sp = root->Items(i);
    EnsureLoaded(sp);
    for (int k = 0; k < sp->Count(); ++k) {
      const core::ClassInfo* info = core::FindClass(sp->Items(k)->Name);
      if (!info || !info->CanCreate() || !core::EqualsNoCase(sp->Items(k)->Name, "TqdrDMPPage"))
        info = TqdrReportPage::StaticClass();
      std::unique_ptr<TqdrPage> page(static_cast<TqdrPage*>(info->Create(nullptr)));
      std::istringstream none;
      serializer.ReadRootComponent(page.get(), none, sp->Items(k));
      sourcePages_.push_back(std::move(page));
      templatePages_.push_back(nullptr);
    }
    sp->Clear();
  }
  if (int i = root->Find("dictionary"); i >= 0) {
    TqdrXMLItem* dict = root->Items(i);
    EnsureLoaded(dict);
    for (int k = 0; k < dict->Count(); ++k) {
      TqdrXMLItem* item = dict->Items(k);
      const std::string& text = item->Text;
      std::string fullName;
      if (text.size() >= 7 && text.compare(0, 6, "name=\"") == 0 && text.back() == '"' &&
          text.find('"', 6) == text.size() - 1)
        fullName = report::XmlUnescape(std::string_view(text).substr(6, text.size() - 7));
      TqdrComponent* source = nullptr;
      const size_t dot = fullName.find('.');
      if (fullName.size() > 4 && fullName.compare(0, 4, "Page") == 0 && dot != std::string::npos) {
        const int n = ToInt(fullName.substr(4, dot - 4), -1);
        const std::string objName = fullName.substr(dot + 1);
        if (n >= 0 && n < static_cast<int>(sourcePages_.size()))
          for (TqdrComponent* c : sourcePages_[n]->AllObjects())
            if (core::EqualsNoCase(c->Name(), objName)) {
              source = c;
              break;
            }
      }
      StoreSerialized(dictionary_.Add(item->Name, fullName, source));
      if (source) sourceNames_[source] = item->Name;
    }
  }
}

void TqdrPreviewPages::LoadFromStream(std::istream& stream, bool allowPartialLoading) {
  ClearAll();
  try {
    doc_->LoadFromStream(stream, allowPartialLoading);
    if (!core::EqualsNoCase(doc_->Root()->Name, "preparedreport"))
      throw core::Error("Invalid file format");
    ReadLoadedElements();
    // The file's ld="0" marks are gone after a full read: from the third on,
    // records made from source pages may be swapped again; full pages may not.
    for (int i = 2; i < PageCount(); ++i)
      if (TqdrXMLItem* item = PageItem(i); item->Loaded() && PageRecordSource(item->Name) != -2)
        item->SetUnloadable(true);
  } catch (...) {
    ClearAll();
    throw;
  }
  currentPage_ = PageCount() - 1;
}

void TqdrPreviewPages::SaveToFile(const std::string& fileName) {
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  if (!out) throw core::Error("Cannot create file \"" + fileName + "\"");
  SaveToStream(out);
  out.flush();
  if (!out) throw core::Error("Cannot write file \"" + fileName + "\"");
}

bool TqdrPreviewPages::LoadFromFile(const std::string& fileName, bool mustExist) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) {
    if (mustExist) throw core::Error("Cannot open file \"" + fileName + "\"");
    return false;
  }
  LoadFromStream(in, false);
  return true;
}

}  // namespace engine
