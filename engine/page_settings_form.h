// TqdrPageSettingsForm: paper size, orientation and margins of a prepared
// page, shown in the designer's length unit, applied to this page or to all
// pages of the template.
#pragma once

#include <QDialog>
#include <memory>
#include <vector>

#include "report/types.h"

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace report {
class TqdrReport;
class TqdrReportPage;
}  // namespace report

namespace engine {

class TqdrPageSettingsForm : public QDialog {
 public:
  // `report` supplies the unit setting (may be null: centimetres).
  TqdrPageSettingsForm(report::TqdrReportPage* page, report::TqdrReport* report,
                       QWidget* parent = nullptr);
  ~TqdrPageSettingsForm() override;

  // True: the settings go to every page of the template.
  bool ApplyToAllPages() const;
  // Millimetres per shown unit: 10 for centimetres, 25.4 for inches.
  double UnitMm() const { return unitMm_; }

  // The controls, for tests.
  QComboBox* PaperBox() const;
  QLineEdit* WidthEdit() const;
  QLineEdit* HeightEdit() const;
  QLineEdit* MarginEdit(int side) const;  // 0 left, 1 top, 2 right, 3 bottom
  QRadioButton* PortraitButton() const;
  QRadioButton* LandscapeButton() const;
  QRadioButton* AllPagesButton() const;

  // Writes orientation, paper and margins into the page and realigns it.
  void accept() override;

 private:
  struct Controls;
  void PaperChosen();
  void ShowLength(QLineEdit* edit, double mm);
  double ReadLength(const QLineEdit* edit, double fallbackMm) const;

  report::TqdrReportPage* page_;
  std::unique_ptr<Controls> c_;
  double unitMm_ = 10;
  bool filling_ = false;
};

// 0 centimetres, 1 inches (2 and 3 count as centimetres) from the report's settings store.
int DesignerUnits(report::TqdrReport* report);

}  // namespace engine
