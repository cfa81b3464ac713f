// The print dialog's window.
#include "engine/print_dialog.h"
#include "engine/resource_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <exception>
#include <filesystem>

#include "engine/printers.h"
#include "report/report.h"
#include "report/resources.h"

namespace engine {

namespace {


QIcon PrinterIcon() {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setPen(Qt::black);
  p.setBrush(Qt::white);
  p.drawRect(4, 1, 8, 5);  // paper in
  p.setBrush(QColor(160, 160, 160));
  p.drawRect(1, 6, 14, 6);  // body
  p.setBrush(Qt::white);
  p.drawRect(4, 10, 8, 5);  // paper out
  return QIcon(pm);
}

// Three sheets per copy: stacked 1-2-3 twice when collated, 1-1 2-2 3-3 when not.
QPixmap CopiesPicture(bool collated) {
  QPixmap pm(96, 40);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setPen(Qt::black);
  QFont f = p.font();
  f.setPixelSize(9);
  p.setFont(f);
  auto sheet = [&](int x, int y, int n) {
    p.setBrush(Qt::white);
    p.drawRect(x, y, 14, 18);
    p.drawText(QRect(x, y, 14, 18), Qt::AlignCenter, QString::number(n));
  };
  if (collated) {
    for (int copy = 0; copy < 2; ++copy)
      for (int k = 0; k < 3; ++k) sheet(4 + copy * 46 + k * 5, 4 + k * 5, 3 - k);
  } else {
    for (int page = 0; page < 3; ++page)
      for (int k = 0; k < 2; ++k) sheet(4 + page * 31 + k * 5, 4 + k * 5, page + 1);
  }
  return pm;
}

}  // namespace

struct TqdrPrintDialog::Controls {
  QComboBox* printer = nullptr;
  QLabel* type = nullptr;
  QLabel* where = nullptr;
  QPushButton* properties = nullptr;
  QCheckBox* toFile = nullptr;
  QCheckBox* reverse = nullptr;
  QRadioButton* all = nullptr;
  QRadioButton* current = nullptr;
  QRadioButton* pages = nullptr;
  QLineEdit* pageNumbers = nullptr;
  QSpinBox* copies = nullptr;
  QCheckBox* collate = nullptr;
  QLabel* collatePicture = nullptr;
  QComboBox* range = nullptr;
  QPushButton* ok = nullptr;
  QPushButton* cancel = nullptr;
};

namespace {
// Entering the page box selects the Pages choice.
class FocusSelects : public QObject {
 public:
  FocusSelects(QObject* parent, QRadioButton* radio) : QObject(parent), radio_(radio) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::FocusIn) radio_->setChecked(true);
    return QObject::eventFilter(watched, event);
  }

 private:
  QRadioButton* radio_;
};
}  // namespace

TqdrPrintDialog::TqdrPrintDialog(QWidget* parent)
    : QDialog(parent), c_(std::make_unique<Controls>()) {
  setWindowTitle(Res(200));
  TqdrPrinters& printers = Printers();
  originalPrinter_ = printers.PrinterIndex();

  // Printer group.
  auto* printerGroup = new QGroupBox(Res(201), this);
  c_->printer = new QComboBox(printerGroup);
  c_->printer->setObjectName("cbPrinter");
  const QIcon icon = PrinterIcon();
  for (const std::string& name : printers.Printers())
    c_->printer->addItem(icon, QString::fromStdString(name));
  c_->printer->setCurrentIndex(originalPrinter_);
  c_->type = new QLabel(printerGroup);
  c_->type->setObjectName("lblType");
  c_->where = new QLabel(printerGroup);
  c_->where->setObjectName("lblWhere");
  c_->properties = new QPushButton(Res(209), printerGroup);
  c_->properties->setObjectName("btnProperties");
  c_->toFile = new QCheckBox(Res(210), printerGroup);
  c_->toFile->setObjectName("chkToFile");
  c_->reverse = new QCheckBox(Res(211), printerGroup);
  c_->reverse->setObjectName("chkReverse");
  auto* pg = new QGridLayout(printerGroup);
  pg->addWidget(c_->printer, 0, 0, 1, 2);
  pg->addWidget(c_->properties, 0, 2);
  pg->addWidget(new QLabel(Res(207), printerGroup), 1, 0);
  pg->addWidget(c_->type, 1, 1, 1, 2);
  pg->addWidget(new QLabel(Res(208), printerGroup), 2, 0);
  pg->addWidget(c_->where, 2, 1, 1, 2);
  pg->addWidget(c_->toFile, 3, 0, 1, 2);
  pg->addWidget(c_->reverse, 4, 0, 1, 2);

  // Pages group.
  auto* pagesGroup = new QGroupBox(Res(202), this);
  c_->all = new QRadioButton(Res(3), pagesGroup);
  c_->all->setObjectName("rbAll");
  c_->current = new QRadioButton(Res(4), pagesGroup);
  c_->current->setObjectName("rbCurrent");
  c_->pages = new QRadioButton(Res(5), pagesGroup);
  c_->pages->setObjectName("rbPages");
  c_->pageNumbers = new QLineEdit(pagesGroup);
  c_->pageNumbers->setObjectName("edPages");
  c_->pageNumbers->installEventFilter(new FocusSelects(this, c_->pages));
  connect(c_->pageNumbers, &QLineEdit::textEdited, this, [this] { c_->pages->setChecked(true); });
  c_->all->setChecked(true);
  auto* help = new QLabel(Res(9), pagesGroup);
  help->setWordWrap(true);
  auto* pl = new QGridLayout(pagesGroup);
  pl->addWidget(c_->all, 0, 0, 1, 2);
  pl->addWidget(c_->current, 1, 0, 1, 2);
  pl->addWidget(c_->pages, 2, 0);
  pl->addWidget(c_->pageNumbers, 2, 1);
  pl->addWidget(help, 3, 0, 1, 2);

  // Copies group.
  auto* copiesGroup = new QGroupBox(Res(205), this);
  c_->copies = new QSpinBox(copiesGroup);
  c_->copies->setObjectName("edCopies");
  c_->copies->setRange(1, 9999);
  c_->collate = new QCheckBox(Res(204), copiesGroup);
  c_->collate->setObjectName("chkCollate");
  c_->collate->setChecked(true);
  c_->collatePicture = new QLabel(copiesGroup);
  c_->collatePicture->setObjectName("imgCollate");
  connect(c_->collate, &QCheckBox::toggled, this, [this] { UpdateCollatePicture(); });
  auto* copiesLabel = new QLabel(Res(203), copiesGroup);
  copiesLabel->setBuddy(c_->copies);
  auto* cl = new QGridLayout(copiesGroup);
  cl->addWidget(copiesLabel, 0, 0);
  cl->addWidget(c_->copies, 0, 1);
  cl->addWidget(c_->collatePicture, 1, 0);
  cl->addWidget(c_->collate, 1, 1);

  // Odd/even selector and the buttons.
  c_->range = new QComboBox(this);
  c_->range->setObjectName("cbRange");
  c_->range->addItems({Res("ppAll"), Res("ppOdd"), Res("ppEven")});
  c_->ok = new QPushButton(Res(1), this);
  c_->ok->setObjectName("btnOK");
  c_->ok->setDefault(true);
  c_->cancel = new QPushButton(Res(2), this);
  c_->cancel->setObjectName("btnCancel");
  connect(c_->ok, &QPushButton::clicked, this, &TqdrPrintDialog::accept);
  connect(c_->cancel, &QPushButton::clicked, this, &TqdrPrintDialog::reject);

  auto* middle = new QHBoxLayout;
  middle->addWidget(pagesGroup, 1);
  middle->addWidget(copiesGroup, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(new QLabel(Res(206), this));
  bottom->addWidget(c_->range);
  bottom->addStretch(1);
  bottom->addWidget(c_->ok);
  bottom->addWidget(c_->cancel);
  auto* root = new QVBoxLayout(this);
  root->addWidget(printerGroup);
  root->addLayout(middle);
  root->addLayout(bottom);

  connect(c_->printer, &QComboBox::currentIndexChanged, this,
          [this](int index) { PrinterChosen(index); });
  connect(c_->properties, &QPushButton::clicked, this, [] {
    if (TqdrCustomPrinter* p = Printers().CurrentPrinter()) p->PropertiesDlg();
  });
  PrinterChosen(originalPrinter_);
  UpdateCollatePicture();
}

TqdrPrintDialog::~TqdrPrintDialog() = default;

void TqdrPrintDialog::PrinterChosen(int index) {
  TqdrPrinters& printers = Printers();
  if (index != printers.PrinterIndex()) {
    try {
      printers.SelectPrinter(index);
    } catch (const std::exception& e) {
      report::MessageBoxes().ErrorBox(e.what(), report::Resources().Lookup("mbError"));
    }
  }
  const TqdrCustomPrinter* p = printers.CurrentPrinter();
  c_->type->setText(p ? QString::fromStdString(p->Name()) : QString());
  c_->where->setText(p ? QString::fromStdString(p->Port()) : QString());
}

void TqdrPrintDialog::UpdateCollatePicture() {
  c_->collatePicture->setPixmap(CopiesPicture(c_->collate->isChecked()));
}

void TqdrPrintDialog::SetSettings(const TqdrPrintSettings& s) {
  c_->copies->setValue(std::max(1, s.copies));
  c_->collate->setChecked(s.collate);
  c_->pageNumbers->setText(QString::fromStdString(s.pageNumbers));
  (s.pageNumbers.empty() ? c_->all : c_->pages)->setChecked(true);
  c_->range->setCurrentIndex(static_cast<int>(s.printPages));
  c_->reverse->setChecked(s.reverse);
}

TqdrPageChoice TqdrPrintDialog::PageChoice() const {
  if (c_->current->isChecked()) return TqdrPageChoice::pcCurrent;
  if (c_->pages->isChecked()) return TqdrPageChoice::pcPages;
  return TqdrPageChoice::pcAll;
}

TqdrPrintSettings TqdrPrintDialog::Settings(int currentPage) const {
  TqdrPrintSettings s;
  s.copies = c_->copies->value();
  s.collate = c_->collate->isChecked();
  switch (PageChoice()) {
    case TqdrPageChoice::pcAll:
      break;
    case TqdrPageChoice::pcCurrent:
      s.pageNumbers = std::to_string(currentPage);
      break;
    case TqdrPageChoice::pcPages:
      s.pageNumbers = c_->pageNumbers->text().toStdString();
      break;
  }
  s.printPages = static_cast<report::TqdrPrintPages>(c_->range->currentIndex());
  s.reverse = c_->reverse->isChecked();
  return s;
}

bool TqdrPrintDialog::PrintToFile() const {
  return c_->toFile->isChecked();
}

void TqdrPrintDialog::accept() {
  TqdrCustomPrinter* printer = Printers().CurrentPrinter();
  if (printer) printer->SetFileName("");
  if (PrintToFile()) {
    std::string name;
    bool chosen = false;
    if (OnAskFileName) {
      chosen = OnAskFileName(name);
    } else {
      const QString file =
          QFileDialog::getSaveFileName(this, "Print To File", QString(), "Printer files (*.prn)");
      name = file.toStdString();
      chosen = !file.isEmpty();
    }
    if (!chosen || name.empty()) {
      reject();
      return;
    }
    std::filesystem::path path(name);
    path.replace_extension(".prn");
    if (printer) printer->SetFileName(path.string());
  }
  QDialog::accept();
}

void TqdrPrintDialog::reject() {
  if (Printers().PrinterIndex() != originalPrinter_) {
    try {
      Printers().SelectPrinter(originalPrinter_);
    } catch (const std::exception&) {
      // It was usable when the dialog opened.
    }
  }
  QDialog::reject();
}

void TqdrPrintDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    if (OnHelp) OnHelp();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace engine
