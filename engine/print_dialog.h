// TqdrPrintDialog: the print dialog. Printer (with its type and place, the
// properties dialog, print to file, reverse order), page choice, copies with
// collation, odd/even selection. Picking a printer makes it current in the
// printer list at once; Cancel restores the one that was current.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "engine/print_pages.h"

namespace engine {

enum class TqdrPageChoice { pcAll, pcCurrent, pcPages };

class TqdrPrintDialog : public QDialog {
 public:
  explicit TqdrPrintDialog(QWidget* parent = nullptr);
  ~TqdrPrintDialog() override;

  // Fills the fields; page numbers select the Pages choice.
  void SetSettings(const TqdrPrintSettings& settings);
  // The chosen settings; the Current page choice gives `currentPage`.
  TqdrPrintSettings Settings(int currentPage) const;
  TqdrPageChoice PageChoice() const;
  bool PrintToFile() const;

  // Asks for the print-to-file name; false when cancelled. The default shows a save dialog.
  std::function<bool(std::string& fileName)> OnAskFileName;
  // F1; the default does nothing.
  std::function<void()> OnHelp;

  // Clears the printer's FileName, or sets it (extension ".prn") when printing to a file.
  void accept() override;
  void reject() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  struct Controls;
  void PrinterChosen(int index);
  void UpdateCollatePicture();

  std::unique_ptr<Controls> c_;
  int originalPrinter_ = -1;
};

}  // namespace engine
