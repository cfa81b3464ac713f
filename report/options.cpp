// Option objects: published properties, initial values and copying.
#include "report/options.h"

#include "core/date_time.h"
#include "report/picture.h"
#include "report/resources.h"

namespace report {

const core::ClassInfo* TqdrEngineOptions::StaticClass() {
  using E = TqdrEngineOptions;
  static const core::ClassInfo* info =
      core::ClassBuilder<E>("TqdrEngineOptions", nullptr)
          .Factory<>()
          .Boolean<&E::ConvertNulls, &E::SetConvertNulls>("ConvertNulls")
          .Default(1)
          .Boolean<&E::DoublePass, &E::SetDoublePass>("DoublePass")
          .Default(0)
          .Integer<&E::MaxMemSize, &E::SetMaxMemSize>("MaxMemSize")
          .Default(10)
          .Boolean<&E::PrintIfEmpty, &E::SetPrintIfEmpty>("PrintIfEmpty")
          .Default(1)
          .Boolean<&E::SilentMode, &E::SetSilentMode>("SilentMode")
          .Default(0)
          .Enum<&E::NewSilentMode, &E::SetNewSilentMode>("NewSilentMode", &kSilentModeType)
          .Default(0)
          .String<&E::TempDir, &E::SetTempDir>("TempDir")
          .Boolean<&E::UseFileCache, &E::SetUseFileCache>("UseFileCache")
          .Default(0)
          .Done();
  return info;
}

void TqdrEngineOptions::Assign(const TqdrPersistent* source) {
  auto* s = dynamic_cast<const TqdrEngineOptions*>(source);
  if (!s || s == this) return;
  *this = *s;
}

const core::ClassInfo* TqdrPreviewOptions::StaticClass() {
  using P = TqdrPreviewOptions;
  static const core::ClassInfo* info =
      core::ClassBuilder<P>("TqdrPreviewOptions", nullptr)
          .Factory<>()
          .Boolean<&P::AllowEdit, &P::SetAllowEdit>("AllowEdit")
          .Default(1)
          .Set<&P::Buttons, &P::SetButtons>("Buttons", &kPreviewButtonsType)
          .Default(preview_button::kDefault)
          .Boolean<&P::DoubleBuffered, &P::SetDoubleBuffered>("DoubleBuffered")
          .Default(1)
          .Boolean<&P::Maximized, &P::SetMaximized>("Maximized")
          .Default(1)
          .Boolean<&P::MDIChild, &P::SetMDIChild>("MDIChild")
          .Default(0)
          .Boolean<&P::Modal, &P::SetModal>("Modal")
          .Default(1)
          .Boolean<&P::OutlineExpand, &P::SetOutlineExpand>("OutlineExpand")
          .Default(1)
          .Boolean<&P::OutlineVisible, &P::SetOutlineVisible>("OutlineVisible")
          .Default(0)
          .Integer<&P::OutlineWidth, &P::SetOutlineWidth>("OutlineWidth")
          .Default(120)
          .Boolean<&P::ShowCaptions, &P::SetShowCaptions>("ShowCaptions")
          .Default(0)
          .Float<&P::Zoom, &P::SetZoom>("Zoom")
          .Enum<&P::ZoomMode, &P::SetZoomMode>("ZoomMode", &kZoomModeType)
          .Default(0)
          .Done();
  return info;
}

void TqdrPreviewOptions::Assign(const TqdrPersistent* source) {
  auto* s = dynamic_cast<const TqdrPreviewOptions*>(source);
  if (!s || s == this) return;
  *this = *s;
}

const core::ClassInfo* TqdrPrintOptions::StaticClass() {
  using P = TqdrPrintOptions;
  static const core::ClassInfo* info =
      core::ClassBuilder<P>("TqdrPrintOptions", nullptr)
          .Factory<>()
          .Integer<&P::Copies, &P::SetCopies>("Copies")
          .Default(1)
          .Boolean<&P::Collate, &P::SetCollate>("Collate")
          .Default(1)
          .String<&P::PageNumbers, &P::SetPageNumbers>("PageNumbers")
          .String<&P::Printer, &P::SetPrinter>("Printer")
          .Enum<&P::PrintPages, &P::SetPrintPages>("PrintPages", &kPrintPagesType)
          .Default(0)
          .Boolean<&P::Reverse, &P::SetReverse>("Reverse")
          .Default(0)
          .Boolean<&P::ShowDialog, &P::SetShowDialog>("ShowDialog")
          .Default(1)
          .Done();
  return info;
}

TqdrPrintOptions::TqdrPrintOptions() : printer_(Resources().Lookup("prDefault")) {}

void TqdrPrintOptions::Clear() {
  *this = TqdrPrintOptions();
}

void TqdrPrintOptions::Assign(const TqdrPersistent* source) {
  auto* s = dynamic_cast<const TqdrPrintOptions*>(source);
  if (!s || s == this) return;
  *this = *s;
}

const core::ClassInfo* TqdrReportOptions::StaticClass() {
  using R = TqdrReportOptions;
  static const core::ClassInfo* info =
      core::ClassBuilder<R>("TqdrReportOptions", nullptr)
          .Factory<>()
          .String<&R::Author, &R::SetAuthor>("Author")
          .Boolean<&R::Compressed, &R::SetCompressed>("Compressed")
          .Default(0)
          .String<&R::ConnectionName, &R::SetConnectionName>("ConnectionName")
          .Float<&R::CreateDate, &R::SetCreateDate>("CreateDate")
          .Flags(core::pfDateTime)
          .Object<&R::Description, &R::SetDescription>("Description", TqdrStringList::StaticClass(),
                                                       core::pfStringList)
          .String<&R::InitString, &R::SetInitString>("InitString")
          .Float<&R::LastChange, &R::SetLastChange>("LastChange")
          .Flags(core::pfDateTime)
          .String<&R::Name, &R::SetName>("Name")
          .String<&R::Password, &R::SetPassword>("Password")
          .Object<&R::Picture, &R::SetPicture>("Picture", TqdrPicture::StaticClass())
          .String<&R::VersionBuild, &R::SetVersionBuild>("VersionBuild")
          .String<&R::VersionMajor, &R::SetVersionMajor>("VersionMajor")
          .String<&R::VersionMinor, &R::SetVersionMinor>("VersionMinor")
          .String<&R::VersionRelease, &R::SetVersionRelease>("VersionRelease")
          .Done();
  return info;
}

TqdrReportOptions::TqdrReportOptions()
    : createDate_(core::Now()),
      description_(std::make_unique<TqdrStringList>()),
      lastChange_(createDate_),
      picture_(std::make_unique<TqdrPicture>()) {}

TqdrReportOptions::~TqdrReportOptions() = default;

void TqdrReportOptions::SetConnectionName(const std::string& v) {
  connectionName_ = v;
  if (!v.empty() && OnConnectionName) OnConnectionName(v);
}

void TqdrReportOptions::SetDescription(TqdrStringList* v) {
  description_->Assign(v);
}
void TqdrReportOptions::SetPicture(TqdrPicture* v) {
  picture_->Assign(v);
}

void TqdrReportOptions::Clear() {
  author_.clear();
  compressed_ = false;
  createDate_ = lastChange_ = core::Now();
  description_->Clear();
  picture_->Clear();
  versionBuild_.clear();
  versionMajor_.clear();
  versionMinor_.clear();
  versionRelease_.clear();
  connectionName_.clear();
  initString_.clear();
  name_.clear();
  password_.clear();
  lastAcceptedPassword_.clear();
}

void TqdrReportOptions::Assign(const TqdrPersistent* source) {
  auto* s = dynamic_cast<const TqdrReportOptions*>(source);
  if (!s || s == this) return;
  author_ = s->author_;
  compressed_ = s->compressed_;
  connectionName_ = s->connectionName_;
  createDate_ = s->createDate_;
  description_->Assign(s->description_.get());
  initString_ = s->initString_;
  lastChange_ = s->lastChange_;
  name_ = s->name_;
  password_ = s->password_;
  picture_->Assign(s->picture_.get());
  versionBuild_ = s->versionBuild_;
  versionMajor_ = s->versionMajor_;
  versionMinor_ = s->versionMinor_;
  versionRelease_ = s->versionRelease_;
}

}  // namespace report
