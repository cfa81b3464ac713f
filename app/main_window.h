// The survey main window: selection strip (department, record number, date
// range), the statistics run into the result grid, and the print buttons.
#pragma once

#include <QDate>
#include <QMainWindow>
#include <memory>
#include <string>

class QDateEdit;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace platform {
class DbQuery;
}
namespace grid {
class TDBGridGv;
class TDataSourceGv;
}  // namespace grid

namespace app {

class TExpandComboBox;
class TSurveyPrint;

// The date one calendar month before `date`, the day clamped to the shorter month.
QDate OneMonthBack(const QDate& date);

class TFrmMain : public QMainWindow {
 public:
  explicit TFrmMain(QWidget* parent = nullptr);
  ~TFrmMain() override;

  void FormShow();
  void BtnQueryClick();
  // False when the run stopped (definition missing, procedure failed).
  bool RunStatistics();
  void BtnPrintClick();
  void BtallPrintClick();
  void BtnExitClick();

  TExpandComboBox* cmbBMMC00() const { return cmbBMMC00_; }
  QLineEdit* EdBAH000() const { return edBAH000_; }
  QDateEdit* dtBeginDate() const { return dtBeginDate_; }
  QDateEdit* dtEndDate() const { return dtEndDate_; }
  QPushButton* BtnQuery() const { return btnQuery_; }
  QPushButton* BtnPrint() const { return btnPrint_; }
  QPushButton* BtallPrint() const { return btallPrint_; }
  QPushButton* BtnExit() const { return btnExit_; }
  QProgressBar* ProgressBar1() const { return progressBar1_; }
  grid::TDBGridGv* DBGridGv1() const { return dbGridGv1_; }
  platform::DbQuery& qryReport() const { return *qryReport_; }
  const std::string& ReportName() const { return reportName_; }
  TSurveyPrint& SurveyPrint() const { return *print_; }

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildGrid();
  void SetProgress(int value);
  void DesignTemplate();

  QLabel* label1_;
  QLabel* label2_;
  QLabel* label3_;
  QLabel* label4_;
  TExpandComboBox* cmbBMMC00_;
  QLineEdit* edBAH000_;
  QDateEdit* dtBeginDate_;
  QDateEdit* dtEndDate_;
  QPushButton* btnQuery_;
  QPushButton* btnPrint_;
  QPushButton* btallPrint_;
  QPushButton* btnExit_;
  QProgressBar* progressBar1_;
  grid::TDBGridGv* dbGridGv1_;
  std::unique_ptr<grid::TDataSourceGv> dataSource1_;
  std::unique_ptr<platform::DbQuery> qryTmp_;
  std::unique_ptr<platform::DbQuery> qryReport_;
  std::unique_ptr<platform::DbQuery> qryReportSource_;
  std::unique_ptr<TSurveyPrint> print_;
  std::string reportName_;
  bool shownOnce_ = false;
};

}  // namespace app
