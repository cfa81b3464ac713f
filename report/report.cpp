// The report object: properties, loading and saving, errors, progress, settings.
#include "report/report.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "core/code_page.h"
#include "core/error.h"
#include "core/text_util.h"
#include "report/band.h"
#include "report/dataset.h"
#include "report/db_dataset.h"
#include "report/expression_cache.h"
#include "report/page.h"
#include "report/prop_stream.h"
#include "report/resources.h"
#include "report/serializer.h"
#include "report/view.h"
#include "report/xml_document.h"
#include "script/script.h"

namespace report {

namespace {

std::unique_ptr<TqdrMessageBoxes>& BoxesSlot() {
  static std::unique_ptr<TqdrMessageBoxes> boxes = std::make_unique<TqdrMessageBoxes>();
  return boxes;
}

std::function<std::unique_ptr<TqdrProgressWindow>()>& ProgressFactory() {
  static std::function<std::unique_ptr<TqdrProgressWindow>()> factory;
  return factory;
}

std::string Format(const std::string& pattern, int n) {
  char buf[512];
  std::snprintf(buf, sizeof buf, "%s", pattern.c_str());
  std::string out(buf);
  size_t at = out.find("%d");
  if (at != std::string::npos) out.replace(at, 2, std::to_string(n));
  return out;
}

template <class T>
core::TObject* Make(core::TObject* owner) {
  return new T(dynamic_cast<TqdrComponent*>(owner));
}

// One collection as a list of items, each a list holding its attribute text.
template <class Coll>
void WriteCollection(TqdrPropWriter& w, const char* name, const Coll& coll,
                     TqdrXMLSerializer& serializer) {
  w.WriteName(name);
  w.WriteListBegin();
  for (int i = 0; i < coll.Count(); ++i) {
    w.WriteListBegin();
    w.WriteLString(serializer.WriteProperties(coll.Items(i), ""));
    w.WriteListEnd();
  }
  w.WriteListEnd();
}

// Strings of form-file collections: byte 1 followed by c stands for c + 128.
std::string DecodeFormBytes(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\x01' && i + 1 < s.size()) {
      out.push_back(static_cast<char>(static_cast<unsigned char>(s[i + 1]) + 128));
      ++i;
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

void ReadCollection(core::TCollection& coll, TqdrPropReader& r, TqdrXMLSerializer& serializer) {
  PropValueType t = r.ReadValueType();
  coll.Clear();
  if (t == vaCollection) {
    while (!r.EndOfList()) {
      PropValueType n = r.NextValueType();
      if (n == vaInt8 || n == vaInt16 || n == vaInt32) r.ReadValue();
      if (r.ReadValueType() != vaList) throw core::Error("Stream read error");
      core::TObject* item = coll.Add();
      while (!r.EndOfList()) {
        std::string name = r.ReadName();
        core::Variant value = r.ReadValue();
        if (value.IsString())
          value = core::Variant(core::GbkToUtf8(DecodeFormBytes(value.ToString())));
        if (const core::PropInfo* p = item->ClassType()->FindProperty(name)) {
          if (p->kind == core::PropKind::Class && (p->flags & core::pfReference)) {
            serializer.AddFixup(item, p, value.ToString());
          } else if (p->set && p->kind != core::PropKind::Class) {
            try {
              p->Set(item, value);
            } catch (const std::exception& e) {
              serializer.AddError(e.what());
            }
          }
        }
      }
    }
    return;
  }
  if (t != vaList) throw core::Error("Stream read error");
  while (!r.EndOfList()) {
    if (r.ReadValueType() != vaList) throw core::Error("Stream read error");
    core::TObject* item = coll.Add();
    while (!r.EndOfList())
      serializer.ReadProperties(static_cast<TqdrPersistent*>(item), r.ReadString());
  }
}

}  // namespace

void TqdrMessageBoxes::ErrorBox(const std::string& text, const std::string& caption) {
  Recorded.push_back(caption + ": " + text);
}

int TqdrMessageBoxes::ConfirmBox(const std::string& text, const std::string& caption, int) {
  Recorded.push_back(caption + ": " + text);
  return defaultButton;
}

TqdrMessageBoxes& MessageBoxes() {
  return *BoxesSlot();
}

void SetMessageBoxes(std::unique_ptr<TqdrMessageBoxes> boxes) {
  BoxesSlot() = boxes ? std::move(boxes) : std::make_unique<TqdrMessageBoxes>();
}

void SetProgressWindowFactory(std::function<std::unique_ptr<TqdrProgressWindow>()> factory) {
  ProgressFactory() = std::move(factory);
}

// ---------------------------------------------------------------------------

const core::ClassInfo* TqdrReport::StaticClass() {
  using R = TqdrReport;
  static const core::ClassInfo* info = [] {
    core::ClassBuilder<R> b("TqdrReport", TqdrComponent::StaticClass());
    b.Factory(&Make<R>);
    b.String<&R::Version, &R::SetVersion>("Version");
    b.Reference<&TqdrComponent::DataSet, &TqdrComponent::SetDataSet>("DataSet",
                                                                     TqdrDataSet::StaticClass());
    b.String<&TqdrComponent::DataSetName, &TqdrComponent::SetDataSetName>("DataSetName");
    b.Boolean<&R::DotMatrixReport, &R::SetDotMatrixReport>("DotMatrixReport");
    b.Object<&R::EngineOptions, &R::SetEngineOptions>("EngineOptions",
                                                      TqdrEngineOptions::StaticClass());
    b.String<&R::IniFile, &R::SetIniFile>("IniFile");
    b.Boolean<&R::OldStyleProgress, &R::SetOldStyleProgress>("OldStyleProgress").Default(0);
    b.Object<&R::PreviewOptions, &R::SetPreviewOptions>("PreviewOptions",
                                                        TqdrPreviewOptions::StaticClass());
    b.Object<&R::PrintOptions, &R::SetPrintOptions>("PrintOptions",
                                                    TqdrPrintOptions::StaticClass());
    b.Object<&R::ReportOptions, &R::SetReportOptions>("ReportOptions",
                                                      TqdrReportOptions::StaticClass());
    b.String<&R::ScriptLanguage, &R::SetScriptLanguage>("ScriptLanguage");
    b.Object<&R::ScriptText, &R::SetScriptText>("ScriptText", TqdrStringList::StaticClass(),
                                                core::pfStringList);
    b.Boolean<&R::ShowProgress, &R::SetShowProgress>("ShowProgress").Default(1);
    b.Boolean<&R::StoreInDFM, &R::SetStoreInDFM>("StoreInDFM").Default(1);
    b.Event<&R::OnRunDialogs, &R::SetOnRunDialogs>("OnRunDialogs");
    b.Event<&R::OnStartReport, &R::SetOnStartReport>("OnStartReport");
    b.Event<&R::OnStopReport, &R::SetOnStopReport>("OnStopReport");
    b.Collection<&R::Datasets>("Datasets", TqdrDatasetItem::StaticClass());
    b.Collection<&R::Variables>("Variables", TqdrVariable::StaticClass());
    b.Collection<&R::Styles>("Styles", TqdrStyleItem::StaticClass());
    return b.Done();
  }();
  return info;
}

TqdrReport::TqdrReport(TqdrComponent* owner)
    : TqdrComponent(owner),
      engineOptions_(std::make_unique<TqdrEngineOptions>()),
      previewOptions_(std::make_unique<TqdrPreviewOptions>()),
      printOptions_(std::make_unique<TqdrPrintOptions>()),
      reportOptions_(std::make_unique<TqdrReportOptions>()),
      scriptText_(std::make_unique<TqdrStringList>()),
      datasets_(std::make_unique<TqdrReportDatasets>(this)),
      variables_(std::make_unique<TqdrVariables>()),
      styles_(std::make_unique<TqdrStyles>()),
      script_(std::make_unique<sq::TsqScript>()),
      expressionCache_(std::make_unique<TqdrExpressionCache>()) {
  RegisterReportClasses();
  reportOptions_->OnConnectionName = [this](const std::string& name) {
    if (!OnConnection || !ReadMachineSetting) return;
    std::optional<std::string> text = ReadMachineSetting("\\Software\\Morvane\\Connections", name);
    if (text) OnConnection(*text);
  };
  scriptText_->SetLines({"begin", "", "end."});
}

TqdrReport::~TqdrReport() {
  // The engine, its store and an open preview refer to the report: they go first.
  if (runtime_) runtime_->ClosePreview();
  runtime_.reset();
  // Children first, while the report's own parts still exist.
  TqdrComponent::Clear();
  datasets_->Clear();
}

void TqdrReport::SetScriptText(TqdrStringList* v) {
  scriptText_->Assign(v);
}

void TqdrReport::SetStyles(const TqdrStyles& styles) {
  styles_->AssignItems(styles);
  for (TqdrComponent* c : AllObjects())
    if (auto* memo = dynamic_cast<TqdrCustomMemoView*>(c)) memo->ReapplyStyle();
}

void TqdrReport::SaveStyles(std::ostream& stream, const std::string& name) const {
  TqdrXMLDocument doc;
  doc.AutoIndent = true;
  doc.Root()->Name = "style";
  doc.Root()->SetProp("Name", core::Utf8ToGbk(name));
  TqdrXMLSerializer serializer(const_cast<TqdrReport*>(this));
  for (int i = 0; i < styles_->Count(); ++i) {
    TqdrXMLItem* item = doc.Root()->Add();
    item->Name = "item";
    item->Text = serializer.WriteProperties(styles_->Items(i), "").substr(1);
  }
  doc.SaveToStream(stream);
}

void TqdrReport::LoadStyles(std::istream& stream) {
  TqdrXMLDocument doc;
  doc.LoadFromStream(stream);
  TqdrStyles styles;
  TqdrXMLSerializer serializer(this);
  for (int i = 0; i < doc.Root()->Count(); ++i) {
    TqdrXMLItem* item = doc.Root()->Items(i);
    if (core::EqualsNoCase(item->Name, "item"))
      serializer.ReadProperties(styles.AddItem(), item->Text);
  }
  AddErrors(serializer.Errors());
  SetStyles(styles);
}

void TqdrReport::ResetOptions() {
  engineOptions_->SetConvertNulls(true);
  engineOptions_->SetDoublePass(false);
  previewOptions_->SetOutlineExpand(true);
  previewOptions_->SetOutlineVisible(false);
  previewOptions_->SetOutlineWidth(120);
  printOptions_->Clear();
  reportOptions_->Clear();
}

void TqdrReport::Clear() {
  TqdrComponent::Clear();
  datasets_->Clear();
  variables_->Clear();
  styles_->Clear();
  ResetOptions();
  SetDataSet(nullptr);
  SetDataSetName("");
  dotMatrixReport_ = false;
  scriptLanguage_ = "VuredeVizivo";
  scriptText_->SetLines({"begin", "", "end."});
  onRunDialogs_.clear();
  onStartReport_.clear();
  onStopReport_.clear();
}

std::string TqdrReport::ScramblePassword(const std::string& s, int delta) {
  std::string out = s;
  for (char& c : out) c = static_cast<char>(static_cast<unsigned char>(c) + delta);
  return out;
}

bool TqdrReport::LoadFromFile(const std::string& fileName, bool raiseIfMissing) {
  Clear();
  fileName_.clear();
  const bool exists = std::filesystem::is_regular_file(fileName);
  if (!exists && !raiseIfMissing) return false;
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw core::Error("Cannot open file \"" + fileName + "\"");
  LoadFromStream(in);
  fileName_ = fileName;
  return exists;
}

void TqdrReport::SaveToFile(const std::string& fileName) {
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  if (!out) throw core::Error("Cannot create file \"" + fileName + "\"");
  SaveToStream(out, true, false);
}

void TqdrReport::LoadFromStream(std::istream& stream) {
  ClearErrors();
  // A template may not change how the application shows, stores or previews the report.
  TqdrEngineOptions engine;
  engine.Assign(engineOptions_.get());
  TqdrPreviewOptions preview;
  preview.Assign(previewOptions_.get());
  const std::string iniFile = iniFile_;
  const bool oldStyle = oldStyleProgress_, showProgress = showProgress_, storeInDFM = storeInDFM_;
  const double left = Left(), top = Top();
  try {
    TqdrComponent::LoadFromStream(stream);
  } catch (...) {
    SetLeft(left);
    SetTop(top);
    throw;
  }
  SetLeft(left);
  SetTop(top);
  const bool convertNulls = engineOptions_->ConvertNulls(),
             doublePass = engineOptions_->DoublePass();
  engineOptions_->Assign(&engine);
  engineOptions_->SetConvertNulls(convertNulls);
  engineOptions_->SetDoublePass(doublePass);
  const bool outlineVisible = previewOptions_->OutlineVisible(),
             outlineExpand = previewOptions_->OutlineExpand();
  const int outlineWidth = previewOptions_->OutlineWidth();
  previewOptions_->Assign(&preview);
  previewOptions_->SetOutlineVisible(outlineVisible);
  previewOptions_->SetOutlineExpand(outlineExpand);
  previewOptions_->SetOutlineWidth(outlineWidth);
  iniFile_ = iniFile;
  oldStyleProgress_ = oldStyle;
  showProgress_ = showProgress;
  storeInDFM_ = storeInDFM;
  reportOptions_->SetPassword(ScramblePassword(reportOptions_->Password(), 10));
  const std::string& password = reportOptions_->Password();
  if (!password.empty() && password != reportOptions_->LastAcceptedPassword() && !restoring_ &&
      !engineOptions_->UseThreadSafe()) {
    std::string entered;
    if (OnPasswordRequest && OnPasswordRequest(entered) && entered == password) {
      reportOptions_->SetLastAcceptedPassword(entered);
    } else {
      Clear();
      return;
    }
  }
  if (!errors_.empty()) ShowErrorMessage(Resources().Lookup("clErrors") + "\r\n" + ErrorsText());
}

void TqdrReport::SaveToStream(std::ostream& stream, bool saveChildren, bool saveDefaultValues) {
  const std::string clear = reportOptions_->Password();
  reportOptions_->SetLastAcceptedPassword(clear);
  reportOptions_->SetPassword(ScramblePassword(clear, -10));
  try {
    TqdrComponent::SaveToStream(stream, saveChildren, saveDefaultValues);
  } catch (...) {
    reportOptions_->SetPassword(clear);
    throw;
  }
  reportOptions_->SetPassword(clear);
}

void TqdrReport::AddError(const std::string& text) {
  auto less = [](const std::string& a, const std::string& b) {
    return core::CompareNoCase(a, b) < 0;
  };
  auto it = std::lower_bound(errors_.begin(), errors_.end(), text, less);
  if (it != errors_.end() && core::EqualsNoCase(*it, text)) return;
  errors_.insert(it, text);
}

void TqdrReport::AddErrors(const std::vector<std::string>& lines) {
  for (const auto& l : lines) AddError(l);
}

std::string TqdrReport::ErrorsText() const {
  std::string out;
  for (size_t i = 0; i < errors_.size(); ++i) {
    if (i) out += "\r\n";
    out += errors_[i];
  }
  return out;
}

void TqdrReport::ShowErrorMessage(const std::string& text) {
  switch (engineOptions_->NewSilentMode()) {
    case TqdrSilentMode::simMessageBoxes:
      ErrorBox(text);
      return;
    case TqdrSilentMode::simSilent:
      return;
    case TqdrSilentMode::simReThrow:
      throw core::Error(text);
  }
}

void TqdrReport::ErrorBox(const std::string& text) {
  MessageBoxes().ErrorBox(text, Resources().Lookup("mbError"));
}

int TqdrReport::ConfirmBox(const std::string& text, int buttons) {
  return MessageBoxes().ConfirmBox(text, Resources().Lookup("mbConfirm"), buttons);
}

void TqdrReport::ProcessMessages() {
  if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

void TqdrReport::ProgressStart(int kind) {
  if (engineOptions_->UseThreadSafe()) return;
  if (OnProgressStart) OnProgressStart(this, kind, 0);
  if ((oldStyleProgress_ || kind != pkPreparing) && showProgress_) {
    progressWindow_.reset();
    if (ProgressFactory()) progressWindow_ = ProgressFactory()();
    if (progressWindow_) progressWindow_->Start(0, "", false, true);
  }
  if (kind == pkPreparing && previewLink_) previewLink_->PrepareStarted();
  ProcessMessages();
}

void TqdrReport::Progress(int kind, int page) {
  if (engineOptions_->UseThreadSafe()) return;
  if (OnProgress) OnProgress(this, kind, page);
  if ((oldStyleProgress_ || kind != pkPreparing) && showProgress_ && progressWindow_) {
    const char* key = kind == pkPreparing   ? (finalPass_ ? "prRunning" : "prRunningFirst")
                      : kind == pkExporting ? "prExporting"
                                            : "prPrinting";
    progressWindow_->SetMessage(Format(Resources().Lookup(key), page));
    if (progressWindow_->Terminated()) terminated_ = true;
  }
  if (kind == pkPreparing && previewLink_) previewLink_->PagePrepared(page - 1);
  ProcessMessages();
}

void TqdrReport::ProgressStop(int kind) {
  if (engineOptions_->UseThreadSafe()) return;
  if (OnProgressStop) OnProgressStop(this, kind, 0);
  if ((oldStyleProgress_ || kind != pkPreparing) && showProgress_) progressWindow_.reset();
  if (kind == pkPreparing && previewLink_) previewLink_->PrepareEnded();
  ProcessMessages();
}

void TqdrReport::ProgressMessage(const std::string& text) {
  if (engineOptions_->UseThreadSafe()) return;
  if (oldStyleProgress_ && showProgress_ && engineRunning_ && progressWindow_)
    progressWindow_->SetMessage(text);
  if (previewLink_) previewLink_->SetStatusText(text);
  ProcessMessages();
}

std::unique_ptr<QSettings> TqdrReport::GetIniFile() const {
  if (core::StartsWithNoCase(iniFile_, "\\Software\\")) {
    // The registry stand-in: one writable INI file in the user's config folder,
    // with the key path as the group prefix.
    QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    auto settings = std::make_unique<QSettings>(dir + "/his/registry.ini", QSettings::IniFormat);
    QString group = QString::fromStdString(iniFile_.substr(1)).replace('\\', '/');
    settings->beginGroup(group);
    return settings;
  }
  return std::make_unique<QSettings>(QString::fromStdString(iniFile_), QSettings::IniFormat);
}

void TqdrReport::WriteStoredData(TqdrPropWriter& w, TqdrXMLSerializer& serializer) const {
  if (Left() != 0) {
    w.WriteName("Left");
    w.WriteInteger(static_cast<int64_t>(Left()));
  }
  if (Top() != 0) {
    w.WriteName("Top");
    w.WriteInteger(static_cast<int64_t>(Top()));
  }
  WriteCollection(w, "Datasets", *datasets_, serializer);
  WriteCollection(w, "Variables", *variables_, serializer);
  WriteCollection(w, "Style", *styles_, serializer);
}

bool TqdrReport::ReadStoredEntry(const std::string& name, TqdrPropReader& r,
                                 TqdrXMLSerializer& serializer) {
  if (core::EqualsNoCase(name, "Left")) {
    SetLeft(static_cast<double>(r.ReadInteger()));
  } else if (core::EqualsNoCase(name, "Top")) {
    SetTop(static_cast<double>(r.ReadInteger()));
  } else if (core::EqualsNoCase(name, "Datasets")) {
    ReadCollection(*datasets_, r, serializer);
  } else if (core::EqualsNoCase(name, "Variables")) {
    ReadCollection(*variables_, r, serializer);
  } else if (core::EqualsNoCase(name, "Style")) {
    ReadCollection(*styles_, r, serializer);
  } else {
    return TqdrComponent::ReadStoredEntry(name, r, serializer);
  }
  return true;
}

std::string TqdrReport::GetDescription() const {
  return Resources().Lookup("obReport");
}

void RegisterReportClasses() {
  static const bool done = [] {
    for (const core::ClassInfo* info :
         {TqdrCustomMemoView::StaticClass(), TqdrMemoView::StaticClass(),
          TqdrSysMemoView::StaticClass(),    TqdrCustomLineView::StaticClass(),
          TqdrLineView::StaticClass(),       TqdrPictureView::StaticClass(),
          TqdrShapeView::StaticClass(),      TqdrSubreport::StaticClass(),
          TqdrMasterData::StaticClass(),     TqdrDetailData::StaticClass(),
          TqdrSubdetailData::StaticClass(),  TqdrDataBand4::StaticClass(),
          TqdrDataBand5::StaticClass(),      TqdrDataBand6::StaticClass(),
          TqdrHeader::StaticClass(),         TqdrFooter::StaticClass(),
          TqdrPageHeader::StaticClass(),     TqdrPageFooter::StaticClass(),
          TqdrColumnHeader::StaticClass(),   TqdrColumnFooter::StaticClass(),
          TqdrGroupHeader::StaticClass(),    TqdrGroupFooter::StaticClass(),
          TqdrReportTitle::StaticClass(),    TqdrReportSummary::StaticClass(),
          TqdrChild::StaticClass(),          TqdrOverlay::StaticClass(),
          TqdrNullBand::StaticClass(),       TqdrReportPage::StaticClass(),
          TqdrDialogPage::StaticClass(),     TqdrFrame::StaticClass(),
          TqdrHighlight::StaticClass(),      TqdrStyleItem::StaticClass(),
          TqdrUserDataSet::StaticClass(),    TqdrDBDataset::StaticClass(),
          TqdrReport::StaticClass()})
      core::RegisterClass(info);
    return true;
  }();
  (void)done;
}

}  // namespace report
