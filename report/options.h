// The report's four option objects: engine, preview, print and report options.
// Each copies all its published fields when assigned from one of its class.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "report/persistent.h"
#include "report/types.h"

namespace report {

class TqdrPicture;
class TqdrStringList;

class TqdrEngineOptions : public TqdrPersistent {
  CORE_DECLARE_CLASS()
 public:
  TqdrEngineOptions() = default;
  bool ConvertNulls() const { return convertNulls_; }
  void SetConvertNulls(bool v) { convertNulls_ = v; }
  bool DoublePass() const { return doublePass_; }
  void SetDoublePass(bool v) { doublePass_ = v; }
  int MaxMemSize() const { return maxMemSize_; }
  void SetMaxMemSize(int v) { maxMemSize_ = v; }
  bool PrintIfEmpty() const { return printIfEmpty_; }
  void SetPrintIfEmpty(bool v) { printIfEmpty_ = v; }
  // A Boolean view of NewSilentMode: true exactly when it is simSilent.
  bool SilentMode() const { return newSilentMode_ == TqdrSilentMode::simSilent; }
  void SetSilentMode(bool v) {
    newSilentMode_ = v ? TqdrSilentMode::simSilent : TqdrSilentMode::simMessageBoxes;
  }
  TqdrSilentMode NewSilentMode() const { return newSilentMode_; }
  void SetNewSilentMode(TqdrSilentMode v) { newSilentMode_ = v; }
  const std::string& TempDir() const { return tempDir_; }
  void SetTempDir(const std::string& v) { tempDir_ = v; }
  bool UseFileCache() const { return useFileCache_; }
  void SetUseFileCache(bool v) { useFileCache_ = v; }
  // Not stored in templates.
  bool UseThreadSafe() const { return useThreadSafe_; }
  void SetUseThreadSafe(bool v) { useThreadSafe_ = v; }
  bool RestoreAfterRun() const { return restoreAfterRun_; }
  void SetRestoreAfterRun(bool v) { restoreAfterRun_ = v; }
  void Assign(const TqdrPersistent* source) override;

 private:
  bool convertNulls_ = true;
  bool doublePass_ = false;
  int maxMemSize_ = 10;
  bool printIfEmpty_ = true;
  TqdrSilentMode newSilentMode_ = TqdrSilentMode::simMessageBoxes;
  std::string tempDir_;
  bool useFileCache_ = false;
  bool useThreadSafe_ = false;
  bool restoreAfterRun_ = true;
};

class TqdrPreviewOptions : public TqdrPersistent {
  CORE_DECLARE_CLASS()
 public:
  TqdrPreviewOptions() = default;
  bool AllowEdit() const { return allowEdit_; }
  void SetAllowEdit(bool v) { allowEdit_ = v; }
  uint32_t Buttons() const { return buttons_; }  // preview_button bits
  void SetButtons(uint32_t v) { buttons_ = v & 0x1FFF; }
  bool DoubleBuffered() const { return doubleBuffered_; }
  void SetDoubleBuffered(bool v) { doubleBuffered_ = v; }
  bool Maximized() const { return maximized_; }
  void SetMaximized(bool v) { maximized_ = v; }
  bool MDIChild() const { return mdiChild_; }
  void SetMDIChild(bool v) { mdiChild_ = v; }
  bool Modal() const { return modal_; }
  void SetModal(bool v) { modal_ = v; }
  bool OutlineExpand() const { return outlineExpand_; }
  void SetOutlineExpand(bool v) { outlineExpand_ = v; }
  bool OutlineVisible() const { return outlineVisible_; }
  void SetOutlineVisible(bool v) { outlineVisible_ = v; }
  int OutlineWidth() const { return outlineWidth_; }
  void SetOutlineWidth(int v) { outlineWidth_ = v; }
  bool ShowCaptions() const { return showCaptions_; }
  void SetShowCaptions(bool v) { showCaptions_ = v; }
  double Zoom() const { return zoom_; }
  void SetZoom(double v) { zoom_ = v; }
  TqdrZoomMode ZoomMode() const { return zoomMode_; }
  void SetZoomMode(TqdrZoomMode v) { zoomMode_ = v; }
  void Assign(const TqdrPersistent* source) override;

 private:
  bool allowEdit_ = true;
  uint32_t buttons_ = preview_button::kDefault;
  bool doubleBuffered_ = true, maximized_ = true, mdiChild_ = false, modal_ = true;
  bool outlineExpand_ = true, outlineVisible_ = false;
  int outlineWidth_ = 120;
  bool showCaptions_ = false;
  double zoom_ = 1;
  TqdrZoomMode zoomMode_ = TqdrZoomMode::zmDefault;
};

class TqdrPrintOptions : public TqdrPersistent {
  CORE_DECLARE_CLASS()
 public:
  // Printer: the "prDefault" text (the default printer).
  TqdrPrintOptions();
  int Copies() const { return copies_; }
  void SetCopies(int v) { copies_ = v; }
  bool Collate() const { return collate_; }
  void SetCollate(bool v) { collate_ = v; }
  const std::string& PageNumbers() const { return pageNumbers_; }
  void SetPageNumbers(const std::string& v) { pageNumbers_ = v; }
  const std::string& Printer() const { return printer_; }
  void SetPrinter(const std::string& v) { printer_ = v; }
  TqdrPrintPages PrintPages() const { return printPages_; }
  void SetPrintPages(TqdrPrintPages v) { printPages_ = v; }
  bool Reverse() const { return reverse_; }
  void SetReverse(bool v) { reverse_ = v; }
  bool ShowDialog() const { return showDialog_; }
  void SetShowDialog(bool v) { showDialog_ = v; }
  // Back to the initial values.
  void Clear();
  void Assign(const TqdrPersistent* source) override;

 private:
  int copies_ = 1;
  bool collate_ = true;
  std::string pageNumbers_;
  std::string printer_;
  TqdrPrintPages printPages_ = TqdrPrintPages::ppAll;
  bool reverse_ = false;
  bool showDialog_ = true;
};

class TqdrReportOptions : public TqdrPersistent {
  CORE_DECLARE_CLASS()
 public:
  // CreateDate and LastChange are the current date and time.
  TqdrReportOptions();
  ~TqdrReportOptions() override;
  const std::string& Author() const { return author_; }
  void SetAuthor(const std::string& v) { author_ = v; }
  bool Compressed() const { return compressed_; }
  void SetCompressed(bool v) { compressed_ = v; }
  const std::string& ConnectionName() const { return connectionName_; }
  // A non-empty name is passed to OnConnectionName (the report looks it up).
  void SetConnectionName(const std::string& v);
  double CreateDate() const { return createDate_; }
  void SetCreateDate(double v) { createDate_ = v; }
  TqdrStringList* Description() const { return description_.get(); }
  void SetDescription(TqdrStringList* v);
  const std::string& InitString() const { return initString_; }
  void SetInitString(const std::string& v) { initString_ = v; }
  double LastChange() const { return lastChange_; }
  void SetLastChange(double v) { lastChange_ = v; }
  const std::string& Name() const { return name_; }
  void SetName(const std::string& v) { name_ = v; }
  const std::string& Password() const { return password_; }
  void SetPassword(const std::string& v) { password_ = v; }
  TqdrPicture* Picture() const { return picture_.get(); }
  void SetPicture(TqdrPicture* v);
  const std::string& VersionBuild() const { return versionBuild_; }
  void SetVersionBuild(const std::string& v) { versionBuild_ = v; }
  const std::string& VersionMajor() const { return versionMajor_; }
  void SetVersionMajor(const std::string& v) { versionMajor_ = v; }
  const std::string& VersionMinor() const { return versionMinor_; }
  void SetVersionMinor(const std::string& v) { versionMinor_ = v; }
  const std::string& VersionRelease() const { return versionRelease_; }
  void SetVersionRelease(const std::string& v) { versionRelease_ = v; }
  // Not stored: the password the user last entered correctly.
  const std::string& LastAcceptedPassword() const { return lastAcceptedPassword_; }
  void SetLastAcceptedPassword(const std::string& v) { lastAcceptedPassword_ = v; }
  std::function<void(const std::string& name)> OnConnectionName;
  // Empties everything for a new template; the dates become now.
  void Clear();
  void Assign(const TqdrPersistent* source) override;

 private:
  std::string author_;
  bool compressed_ = false;
  std::string connectionName_;
  double createDate_ = 0;
  std::unique_ptr<TqdrStringList> description_;
  std::string initString_;
  double lastChange_ = 0;
  std::string name_, password_;
  std::unique_ptr<TqdrPicture> picture_;
  std::string versionBuild_, versionMajor_, versionMinor_, versionRelease_;
  std::string lastAcceptedPassword_;
};

}  // namespace report
