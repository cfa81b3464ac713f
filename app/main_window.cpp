// Main window: selection, statistics run and result grid.
#include "app/main_window.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>

#include "app/data_module.h"
#include "app/expand_combo_box.h"
#include "app/guarded_call.h"
#include "app/his_globals.h"
#include "app/messages.h"
#include "app/survey_print.h"
#include "app/survey_statistics.h"
#include "core/text_util.h"
#include "grid/data_source.h"
#include "grid/db_grid.h"
#include "platform/db/db_query.h"

namespace app {

namespace {

struct GridColumn {
  const char* field;
  const char* title;
};

// The result columns of the statistics procedure, in display order.
const GridColumn kColumns[] = {
    {"JFFS00", "交费方式"},   {"ZYCS00", "住院次数"},         {"BAH000", "病案号"},
    {"BRXB00", "病人性别"},   {"BRNL00", "病人年龄"},         {"HYZK00", "婚姻状况"},
    {"ZY0000", "职业"},       {"RYRQ00", "入院日期"},         {"RYKB00", "入院科别"},
    {"CYRQ00", "出院日期"},   {"CYKB00", "出院科别"},         {"RYQK00", "入院情况"},
    {"QZRQ00", "确诊日期"},   {"RYZD00", "入院诊断"},         {"ZYZD00", "主要诊断"},
    {"ZYZLXG", "主要诊断治疗效果"}, {"QTZD00", "其他诊断"},   {"QTZLXG", "其他诊断治疗效果"},
    {"YYGR00", "医院感染"},   {"GRZLXG", "医院感染治疗效果"}, {"XSZD00", "损伤中毒"},
    {"SSM000", "手术编码"},   {"ZJE000", "总金额"},           {"CWF000", "床位费"},
    {"HLF000", "护理费"},     {"XYF000", "西药费"},           {"ZYF000", "中药费"},
    {"HYF000", "化验费"},     {"ZLF000", "诊疗费"},           {"SSF000", "手术费"},
    {"JCF000", "检查费"},     {"QTF000", "其他费"},           {"XX0000", "血型"},
    {"SXFY00", "输血反应"},   {"HXB000", "红细胞"},           {"XXB000", "血小板"},
    {"XJ0000", "血浆"},       {"QX0000", "全血"},             {"SXQT00", "其他"},
};

QPushButton* MakeButton(QWidget* parent, const char* caption, QStyle::StandardPixmap glyph, int x) {
  auto* b = new QPushButton(parent->style()->standardIcon(glyph), QString::fromUtf8(caption), parent);
  b->setGeometry(x, 20, 96, 32);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

QDate OneMonthBack(const QDate& date) { return date.addMonths(-1); }  // addMonths clamps the day

TFrmMain::TFrmMain(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QString::fromUtf8(kAppTitle));
  setAttribute(Qt::WA_DeleteOnClose);
  QFont f(QString::fromUtf8("宋体"));
  f.setPixelSize(15);
  setFont(f);

  TfrmDB& dm = DataModule();
  qryTmp_ = std::make_unique<platform::DbQuery>(dm.DBHis);
  qryReport_ = std::make_unique<platform::DbQuery>(dm.DBHis);
  qryReportSource_ = std::make_unique<platform::DbQuery>(dm.DBHis);
  print_ = std::make_unique<TSurveyPrint>(dm.DBHis);

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* strip = new QWidget(central);
  strip->setFixedHeight(73);
  layout->addWidget(strip);

  label1_ = new QLabel(QString::fromUtf8("统计科室"), strip);
  label1_->setGeometry(12, 12, 64, 22);
  cmbBMMC00_ = new TExpandComboBox(strip);
  cmbBMMC00_->setGeometry(80, 10, 160, 24);
  label2_ = new QLabel(QString::fromUtf8("病案号"), strip);
  label2_->setGeometry(256, 12, 64, 22);
  edBAH000_ = new QLineEdit(strip);
  edBAH000_->setGeometry(324, 10, 130, 24);
  label3_ = new QLabel(QString::fromUtf8("起始日期"), strip);
  label3_->setGeometry(12, 42, 64, 22);
  dtBeginDate_ = new QDateEdit(strip);
  dtBeginDate_->setGeometry(80, 40, 160, 24);
  label4_ = new QLabel(QString::fromUtf8("结束日期"), strip);
  label4_->setGeometry(256, 42, 64, 22);
  dtEndDate_ = new QDateEdit(strip);
  dtEndDate_->setGeometry(324, 40, 130, 24);
  for (QDateEdit* d : {dtBeginDate_, dtEndDate_}) {
    d->setCalendarPopup(true);
    d->setDisplayFormat("yyyy.MM.dd");  // the long date format
  }
  btnQuery_ = MakeButton(strip, "查询", QStyle::SP_FileDialogContentsView, 476);
  btnPrint_ = MakeButton(strip, "单个打印", QStyle::SP_FileIcon, 582);
  btallPrint_ = MakeButton(strip, "全部打印", QStyle::SP_FileDialogDetailedView, 688);
  btnExit_ = MakeButton(strip, "退出(&X)", QStyle::SP_DialogCloseButton, 794);

  BuildGrid();
  layout->addWidget(dbGridGv1_, 1);
  progressBar1_ = new QProgressBar(central);
  progressBar1_->setFixedHeight(14);
  progressBar1_->setRange(0, 100);
  progressBar1_->setValue(0);
  progressBar1_->setTextVisible(false);
  layout->addWidget(progressBar1_);
  setCentralWidget(central);

  QWidget::setTabOrder(dtBeginDate_, dtEndDate_);
  QWidget::setTabOrder(dtEndDate_, btnQuery_);
  QWidget::setTabOrder(btnQuery_, btnExit_);
  QWidget::setTabOrder(btnExit_, btnPrint_);
  QWidget::setTabOrder(btnPrint_, btallPrint_);
  QWidget::setTabOrder(btallPrint_, cmbBMMC00_);
  QWidget::setTabOrder(cmbBMMC00_, edBAH000_);

  connect(btnQuery_, &QPushButton::clicked, this, [this] { GuardedCall([this] { BtnQueryClick(); }); });
  connect(btnPrint_, &QPushButton::clicked, this, [this] { GuardedCall([this] { BtnPrintClick(); }); });
  connect(btallPrint_, &QPushButton::clicked, this, [this] { GuardedCall([this] { BtallPrintClick(); }); });
  connect(btnExit_, &QPushButton::clicked, this, [this] { BtnExitClick(); });

  // The window sees keys before its controls.
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);

  // Maximised; without a window manager the state alone does nothing, so take the screen's size too.
  if (QScreen* screen = QGuiApplication::primaryScreen()) setGeometry(screen->availableGeometry());
  setWindowState(Qt::WindowMaximized);
  dtBeginDate_->setFocus();
}

// The grid is a child widget and outlives the members: unbind it from the data source first.
TFrmMain::~TFrmMain() { dbGridGv1_->SetDataSource(nullptr); }

void TFrmMain::BuildGrid() {
  dataSource1_ = std::make_unique<grid::TDataSourceGv>();
  dataSource1_->SetDataSet(qryReportSource_.get());
  dbGridGv1_ = new grid::TDBGridGv(this);
  QFont titleFont(QString::fromUtf8("宋体"));
  titleFont.setPixelSize(15);
  dbGridGv1_->SetTitleFont(titleFont);
  dbGridGv1_->SetTitleLines(2);
  for (const GridColumn& c : kColumns) {
    grid::TColumnGv* column = dbGridGv1_->Columns().Add();
    column->SetFieldName(c.field);
    column->Title().SetCaption(c.title);
    column->Title().SetAlignment(Qt::AlignCenter);
  }
  dbGridGv1_->SumList().SetActive(true);
  dbGridGv1_->SetDataSource(dataSource1_.get());
}

void TFrmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shownOnce_) return;
  shownOnce_ = true;
  GuardedCall([this] { FormShow(); });
}

void TFrmMain::FormShow() {
  QDate today = QDate::currentDate();
  dtBeginDate_->setDate(OneMonthBack(today));
  dtEndDate_->setDate(today);
  cmbBMMC00_->ClearAll();
  cmbBMMC00_->AddItem("所有科室", "-1");
  OpenQuery(*qryTmp_, {"select  bmbh00,bmmc00  from  XT_BMBM00 order by bmbh00 "});
  for (qryTmp_->First(); !qryTmp_->Eof(); qryTmp_->Next())
    cmbBMMC00_->AddItem(qryTmp_->FieldByName("bmmc00").AsString(), qryTmp_->FieldByName("bmbh00").AsString());
  cmbBMMC00_->setCurrentIndex(0);
}

void TFrmMain::SetProgress(int value) {
  progressBar1_->setValue(value);
  progressBar1_->repaint();
}

void TFrmMain::BtnQueryClick() {
  SetProgress(5);
  RunStatistics();
  SetProgress(0);
  bool rows = qryReport_->Active() && qryReport_->RecordCount() > 0;
  btnPrint_->setEnabled(rows);
  btallPrint_->setEnabled(rows);
}

bool TFrmMain::RunStatistics() {
  reportName_ = "首页报盘处理";
  // qryReport may be what the grid shows: let the grid drop it first.
  dataSource1_->SetDataSet(qryReportSource_.get());
  dataSource1_->DataSetChanged();
  TSurveySelection selection;
  selection.deptCode = cmbBMMC00_->SelectedValue();
  selection.recordNo = edBAH000_->text().toUtf8().toStdString();
  selection.from = dtBeginDate_->date();
  selection.to = dtEndDate_->date();
  std::string detail;
  switch (RunSurveyStatistics(*qryReport_, selection, [this](int v) { SetProgress(v); }, detail)) {
    case TStatisticsOutcome::soNoDefinition:
      ShowErrorBox("没有找到该报表！");
      return false;
    case TStatisticsOutcome::soFailed:
      ShowDetailMessage("", "统计失败，请看详细信息", detail);
      return false;
    case TStatisticsOutcome::soOk:
      break;
  }
  dataSource1_->SetDataSet(qryReport_.get());
  dataSource1_->DataSetChanged();
  return true;
}

void TFrmMain::BtnPrintClick() {
  const std::string recordNo = qryReport_->FieldByName("BAH000").AsString();
  PrintSurveyForms(*print_, recordNo, "0");
}

void TFrmMain::BtallPrintClick() {
  PrintSurveyForms(*print_, "", "1");
}

void TFrmMain::BtnExitClick() { close(); }

void TFrmMain::DesignTemplate() {
  std::string path = Globals().ExeDir + "医院出院病人调查表.qr3";
  if (!QFileInfo::exists(QString::fromUtf8(path))) {
    std::string dir = Globals().ExeDir;
    MessageRequest r;
    r.text = "系统找不到程序目录 " + dir + " 下的 [医院出院病人调查表.qr3] 文件，请确认是否存在该文件！";
    r.caption = "提示";
    r.icon = MessageIcon::Information;
    MessageBox(r);
    return;
  }
  MessageRequest r;
  r.text = "报表设计器不可用。";
  r.caption = "提示";
  r.icon = MessageIcon::Information;
  MessageBox(r);
}

bool TFrmMain::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      focusNextChild();
      return true;
    }
    if (key->key() == Qt::Key_F12 && (key->modifiers() & Qt::ControlModifier)) {
      GuardedCall([this] { DesignTemplate(); });
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace app
