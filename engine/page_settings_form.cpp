// The page settings dialog of the preview.
#include "engine/page_settings_form.h"
#include "engine/resource_text.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QVBoxLayout>
#include <cmath>

#include "engine/printers.h"
#include "report/page.h"
#include "report/paper_sizes.h"
#include "report/report.h"
#include "report/resources.h"

namespace engine {

namespace {


// A sheet with lines of text, upright or lying.
QPixmap OrientationPicture(bool landscape) {
  QPixmap pm(40, 40);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  const QRect sheet = landscape ? QRect(4, 10, 32, 22) : QRect(9, 3, 22, 32);
  p.setPen(Qt::black);
  p.setBrush(Qt::white);
  p.drawRect(sheet);
  p.setPen(QColor(90, 90, 90));
  for (int y = sheet.top() + 5; y < sheet.bottom() - 3; y += 4)
    p.drawLine(sheet.left() + 4, y, sheet.right() - 4, y);
  return pm;
}

// Lengths are shown with at most two decimals, and read with a point or a comma.
QString LengthText(double v) {
  QString s = QString::number(std::round(v * 100) / 100, 'f', 2);
  while (s.contains('.') && (s.endsWith('0') || s.endsWith('.'))) s.chop(1);
  return s;
}

}  // namespace

int DesignerUnits(report::TqdrReport* report) {
  if (!report) return 0;
  std::unique_ptr<QSettings> ini = report->GetIniFile();
  const int units = ini ? ini->value("Form.TqdrDesignerForm/Units", 0).toInt() : 0;
  return units == 1 ? 1 : 0;
}

struct TqdrPageSettingsForm::Controls {
  QComboBox* paper = nullptr;
  QLineEdit* width = nullptr;
  QLineEdit* height = nullptr;
  QRadioButton* portrait = nullptr;
  QRadioButton* landscape = nullptr;
  QLineEdit* margins[4] = {};
  QRadioButton* current = nullptr;
  QRadioButton* all = nullptr;
};

TqdrPageSettingsForm::TqdrPageSettingsForm(report::TqdrReportPage* page, report::TqdrReport* report,
                                           QWidget* parent)
    : QDialog(parent), page_(page), c_(std::make_unique<Controls>()) {
  setWindowTitle(Res(400));
  unitMm_ = DesignerUnits(report) == 1 ? 25.4 : 10;
  const QString unit = Res(unitMm_ == 10 ? "uCm" : "uInch");

  // Paper.
  auto* paperGroup = new QGroupBox(Res(403), this);
  c_->paper = new QComboBox(paperGroup);
  c_->width = new QLineEdit(paperGroup);
  c_->height = new QLineEdit(paperGroup);
  auto* paperLayout = new QGridLayout(paperGroup);
  paperLayout->addWidget(c_->paper, 0, 0, 1, 3);
  paperLayout->addWidget(new QLabel(Res(401), paperGroup), 1, 0);
  paperLayout->addWidget(c_->width, 1, 1);
  paperLayout->addWidget(new QLabel(unit, paperGroup), 1, 2);
  paperLayout->addWidget(new QLabel(Res(402), paperGroup), 2, 0);
  paperLayout->addWidget(c_->height, 2, 1);
  paperLayout->addWidget(new QLabel(unit, paperGroup), 2, 2);

  // Orientation.
  auto* orientationGroup = new QGroupBox(Res(404), this);
  c_->portrait = new QRadioButton(Res(410), orientationGroup);
  c_->landscape = new QRadioButton(Res(411), orientationGroup);
  auto* portraitPicture = new QLabel(orientationGroup);
  portraitPicture->setPixmap(OrientationPicture(false));
  auto* landscapePicture = new QLabel(orientationGroup);
  landscapePicture->setPixmap(OrientationPicture(true));
  auto* orientationLayout = new QGridLayout(orientationGroup);
  orientationLayout->addWidget(portraitPicture, 0, 0);
  orientationLayout->addWidget(c_->portrait, 0, 1);
  orientationLayout->addWidget(landscapePicture, 1, 0);
  orientationLayout->addWidget(c_->landscape, 1, 1);

  // Margins.
  auto* marginGroup = new QGroupBox(Res(409), this);
  auto* marginLayout = new QGridLayout(marginGroup);
  for (int side = 0; side < 4; ++side) {
    c_->margins[side] = new QLineEdit(marginGroup);
    const int row = side % 2, column = (side / 2) * 3;
    marginLayout->addWidget(new QLabel(Res(405 + side), marginGroup), row, column);
    marginLayout->addWidget(c_->margins[side], row, column + 1);
    marginLayout->addWidget(new QLabel(unit, marginGroup), row, column + 2);
  }

  // Where the settings go.
  auto* otherGroup = new QGroupBox(Res(412), this);
  c_->current = new QRadioButton(Res(413), otherGroup);
  c_->all = new QRadioButton(Res(414), otherGroup);
  c_->current->setChecked(true);
  auto* otherLayout = new QVBoxLayout(otherGroup);
  otherLayout->addWidget(c_->current);
  otherLayout->addWidget(c_->all);

  auto* ok = new QPushButton(Res(1), this);
  ok->setDefault(true);
  auto* cancel = new QPushButton(Res(2), this);
  connect(ok, &QPushButton::clicked, this, &TqdrPageSettingsForm::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);

  auto* grid = new QGridLayout;
  grid->addWidget(paperGroup, 0, 0);
  grid->addWidget(orientationGroup, 0, 1);
  grid->addWidget(marginGroup, 1, 0);
  grid->addWidget(otherGroup, 1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);

  // Fill from the page.
  filling_ = true;
  TqdrCustomPrinter* printer = Printers().CurrentPrinter();
  if (printer)
    for (const TqdrPrinterChoice& choice : printer->Papers())
      c_->paper->addItem(QString::fromStdString(choice.name), choice.number);
  if (c_->paper->count() == 0) c_->paper->addItem(Res("prCustom"), report::kCustomPaper);
  const int known = page_ ? c_->paper->findData(page_->PaperSize()) : -1;
  c_->paper->setCurrentIndex(known >= 0 ? known : 0);
  if (page_) {
    ShowLength(c_->width, page_->PaperWidth());
    ShowLength(c_->height, page_->PaperHeight());
    const bool landscape = page_->Orientation() == report::TPrinterOrientation::poLandscape;
    (landscape ? c_->landscape : c_->portrait)->setChecked(true);
    ShowLength(c_->margins[0], page_->LeftMargin());
    ShowLength(c_->margins[1], page_->TopMargin());
    ShowLength(c_->margins[2], page_->RightMargin());
    ShowLength(c_->margins[3], page_->BottomMargin());
  } else {
    c_->portrait->setChecked(true);
  }
  filling_ = false;

  connect(c_->paper, &QComboBox::activated, this, [this](int) { PaperChosen(); });
  connect(c_->portrait, &QRadioButton::clicked, this, [this] { PaperChosen(); });
  connect(c_->landscape, &QRadioButton::clicked, this, [this] { PaperChosen(); });
  // Typing a size makes it a custom one.
  auto typed = [this] {
    if (!filling_) c_->paper->setCurrentIndex(0);
  };
  connect(c_->width, &QLineEdit::textEdited, this, typed);
  connect(c_->height, &QLineEdit::textEdited, this, typed);
}

TqdrPageSettingsForm::~TqdrPageSettingsForm() = default;

bool TqdrPageSettingsForm::ApplyToAllPages() const {
  return c_->all->isChecked();
}

QComboBox* TqdrPageSettingsForm::PaperBox() const {
  return c_->paper;
}
QLineEdit* TqdrPageSettingsForm::WidthEdit() const {
  return c_->width;
}
QLineEdit* TqdrPageSettingsForm::HeightEdit() const {
  return c_->height;
}
QLineEdit* TqdrPageSettingsForm::MarginEdit(int side) const {
  return side >= 0 && side < 4 ? c_->margins[side] : nullptr;
}
QRadioButton* TqdrPageSettingsForm::PortraitButton() const {
  return c_->portrait;
}
QRadioButton* TqdrPageSettingsForm::LandscapeButton() const {
  return c_->landscape;
}
QRadioButton* TqdrPageSettingsForm::AllPagesButton() const {
  return c_->all;
}

void TqdrPageSettingsForm::ShowLength(QLineEdit* edit, double mm) {
  const bool was = filling_;
  filling_ = true;
  edit->setText(LengthText(mm / unitMm_));
  filling_ = was;
}

double TqdrPageSettingsForm::ReadLength(const QLineEdit* edit, double fallbackMm) const {
  bool ok = false;
  const double v = edit->text().trimmed().replace(',', '.').toDouble(&ok);
  return ok && v >= 0 ? v * unitMm_ : fallbackMm;
}

void TqdrPageSettingsForm::PaperChosen() {
  const int paper = c_->paper->currentData().toInt();
  const auto orientation = c_->landscape->isChecked() ? report::TPrinterOrientation::poLandscape
                                                      : report::TPrinterOrientation::poPortrait;
  double width = ReadLength(c_->width, 210), height = ReadLength(c_->height, 297);
  if (paper == report::kCustomPaper) {
    // A custom size keeps its numbers; turning the sheet swaps them.
    const bool wide = width > height;
    if (wide != (orientation == report::TPrinterOrientation::poLandscape)) std::swap(width, height);
  } else if (TqdrCustomPrinter* printer = Printers().CurrentPrinter()) {
    printer->SetViewParams(paper, orientation, width, height);
    width = printer->PaperWidth();
    height = printer->PaperHeight();
  } else if (const report::TqdrPaperSize* known = report::FindPaperSize(paper)) {
    width = known->width;
    height = known->height;
    if (orientation == report::TPrinterOrientation::poLandscape) std::swap(width, height);
  }
  ShowLength(c_->width, width);
  ShowLength(c_->height, height);
}

void TqdrPageSettingsForm::accept() {
  if (page_) {
    const auto orientation = c_->landscape->isChecked() ? report::TPrinterOrientation::poLandscape
                                                        : report::TPrinterOrientation::poPortrait;
    const double width = ReadLength(c_->width, page_->PaperWidth());
    const double height = ReadLength(c_->height, page_->PaperHeight());
    const double margins[4] = {
        ReadLength(c_->margins[0], page_->LeftMargin()),
        ReadLength(c_->margins[1], page_->TopMargin()),
        ReadLength(c_->margins[2], page_->RightMargin()),
        ReadLength(c_->margins[3], page_->BottomMargin()),
    };
    page_->SetOrientation(orientation);
    page_->SetPaperWidth(width);
    page_->SetPaperHeight(height);
    const int paper = c_->paper->currentData().toInt();
    if (paper != report::kCustomPaper) page_->SetPaperSize(paper);
    page_->SetLeftMargin(margins[0]);
    page_->SetTopMargin(margins[1]);
    page_->SetRightMargin(margins[2]);
    page_->SetBottomMargin(margins[3]);
    page_->AlignChildren();
  }
  QDialog::accept();
}

}  // namespace engine
