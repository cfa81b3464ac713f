// The print dialog: fields to settings, print to file, printer choice, and
// PrintAll driving the dialog.
#include "engine/print_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "engine/printers.h"
#include "print_test_util.h"
#include "report/options.h"
#include "report/resources.h"

using engine::TqdrPageChoice;
using engine::TqdrPrintDialog;
using engine::TqdrPrintSettings;
using report::TqdrPrintPages;
using namespace print_test;

namespace {

template <class W>
W* Find(QWidget* dialog, const char* name) {
  W* w = dialog->findChild<W*>(name);
  EXPECT_NE(w, nullptr) << name;
  return w;
}

// Two file printers in the shared list; the first is current.
struct TwoPrinters {
  TwoPrinters() {
    engine::TqdrPrinters& list = engine::Printers();
    first = list.AddPrinter(engine::TqdrPrinter::CreateFilePrinter("Dialog One"));
    second = list.AddPrinter(engine::TqdrPrinter::CreateFilePrinter("Dialog Two"));
    list.SelectPrinter(first);
  }
  ~TwoPrinters() {
    for (int i : {first, second}) engine::Printers().PrinterAt(i)->SetFileName("");
  }
  int first, second;
};

}  // namespace

TEST(PrintDialogTest, CaptionsComeFromTheResources) {
  TqdrPrintDialog d;
  EXPECT_EQ(d.windowTitle(), "打印");
  EXPECT_EQ(Find<QPushButton>(&d, "btnOK")->text(), "确定");
  EXPECT_EQ(Find<QPushButton>(&d, "btnCancel")->text(), "取消");
  EXPECT_EQ(Find<QRadioButton>(&d, "rbPages")->text(), "页:");
  EXPECT_EQ(Find<QCheckBox>(&d, "chkCollate")->text(), "自动分页(&T)");
  EXPECT_EQ(Find<QCheckBox>(&d, "chkReverse")->text(), "逆页序打印(&V)");
  QComboBox* range = Find<QComboBox>(&d, "cbRange");
  ASSERT_EQ(range->count(), 3);
  EXPECT_EQ(range->itemText(1), "奇数页");
  EXPECT_EQ(Find<QComboBox>(&d, "cbPrinter")->count(), engine::Printers().PrinterCount());
}

TEST(PrintDialogTest, FieldsGiveSettings) {
  struct Case {
    const char* name;
    TqdrPrintSettings in;
    std::function<void(TqdrPrintDialog&)> edit;
    TqdrPageChoice choice;
    std::string pages;
    int copies;
    bool collate, reverse;
    TqdrPrintPages odd;
  };
  const std::vector<Case> cases = {
      {"defaults", {}, nullptr, TqdrPageChoice::pcAll, "", 1, true, false, TqdrPrintPages::ppAll},
      {"page numbers preselect Pages",
       {2, false, "1,3", TqdrPrintPages::ppEven, true},
       nullptr,
       TqdrPageChoice::pcPages,
       "1,3",
       2,
       false,
       true,
       TqdrPrintPages::ppEven},
      {"typing in the page box selects Pages",
       {},
       [](TqdrPrintDialog& d) { QTest::keyClicks(Find<QLineEdit>(&d, "edPages"), "2-4"); },
       TqdrPageChoice::pcPages,
       "2-4",
       1,
       true,
       false,
       TqdrPrintPages::ppAll},
      {"current page is the preview's page",
       {},
       [](TqdrPrintDialog& d) { Find<QRadioButton>(&d, "rbCurrent")->setChecked(true); },
       TqdrPageChoice::pcCurrent,
       "7",
       1,
       true,
       false,
       TqdrPrintPages::ppAll},
      {"All drops the page text",
       {1, true, "5"},
       [](TqdrPrintDialog& d) { Find<QRadioButton>(&d, "rbAll")->setChecked(true); },
       TqdrPageChoice::pcAll,
       "",
       1,
       true,
       false,
       TqdrPrintPages::ppAll},
      {"copies typed, collate label clicked, odd chosen",
       {},
       [](TqdrPrintDialog& d) {
         QSpinBox* copies = Find<QSpinBox>(&d, "edCopies");
         copies->selectAll();
         QTest::keyClicks(copies, "3x");  // digits only
         QTest::mouseClick(Find<QCheckBox>(&d, "chkCollate"), Qt::LeftButton);
         Find<QComboBox>(&d, "cbRange")->setCurrentIndex(1);
       },
       TqdrPageChoice::pcAll,
       "",
       3,
       false,
       false,
       TqdrPrintPages::ppOdd},
      {"copies never go below 1",
       {},
       [](TqdrPrintDialog& d) { Find<QSpinBox>(&d, "edCopies")->stepDown(); },
       TqdrPageChoice::pcAll,
       "",
       1,
       true,
       false,
       TqdrPrintPages::ppAll},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TqdrPrintDialog d;
    d.SetSettings(c.in);
    d.show();
    if (c.edit) c.edit(d);
    EXPECT_EQ(d.PageChoice(), c.choice);
    const TqdrPrintSettings s = d.Settings(7);
    EXPECT_EQ(s.pageNumbers, c.pages);
    EXPECT_EQ(s.copies, c.copies);
    EXPECT_EQ(s.collate, c.collate);
    EXPECT_EQ(s.reverse, c.reverse);
    EXPECT_EQ(s.printPages, c.odd);
  }
}

TEST(PrintDialogTest, PrintToFileAsksForAName) {
  TwoPrinters printers;
  struct Case {
    const char* name;
    bool tick;
    bool answer;
    std::string given;
    int result;
    std::string fileName;
  };
  const std::vector<Case> cases = {
      {"not ticked clears an old file name", false, true, "", QDialog::Accepted, ""},
      {"name gets .prn", true, true, "/tmp/out/report.pdf", QDialog::Accepted,
       "/tmp/out/report.prn"},
      {"name without extension", true, true, "/tmp/out/report", QDialog::Accepted,
       "/tmp/out/report.prn"},
      {"cancelling the save dialog cancels printing", true, false, "", QDialog::Rejected, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    engine::Printers().CurrentPrinter()->SetFileName("/tmp/old.prn");
    TqdrPrintDialog d;
    bool asked = false;
    d.OnAskFileName = [&](std::string& name) {
      asked = true;
      name = c.given;
      return c.answer;
    };
    Find<QCheckBox>(&d, "chkToFile")->setChecked(c.tick);
    QTest::mouseClick(Find<QPushButton>(&d, "btnOK"), Qt::LeftButton);
    EXPECT_EQ(asked, c.tick);
    EXPECT_EQ(d.result(), c.result);
    if (c.result == QDialog::Accepted) {
      EXPECT_EQ(engine::Printers().CurrentPrinter()->FileName(), c.fileName);
    }
  }
}

TEST(PrintDialogTest, ChoosingAPrinterSelectsItAndCancelRestores) {
  TwoPrinters printers;
  for (bool ok : {false, true}) {
    SCOPED_TRACE(ok ? "OK" : "Cancel");
    engine::Printers().SelectPrinter(printers.first);
    TqdrPrintDialog d;
    QComboBox* box = Find<QComboBox>(&d, "cbPrinter");
    EXPECT_EQ(box->currentIndex(), printers.first);
    EXPECT_EQ(Find<QLabel>(&d, "lblType")->text(), "Dialog One");
    box->setCurrentIndex(printers.second);
    EXPECT_EQ(engine::Printers().PrinterIndex(), printers.second) << "selected at once";
    EXPECT_EQ(Find<QLabel>(&d, "lblType")->text(), "Dialog Two");
    QTest::mouseClick(Find<QPushButton>(&d, ok ? "btnOK" : "btnCancel"), Qt::LeftButton);
    EXPECT_EQ(engine::Printers().PrinterIndex(), ok ? printers.second : printers.first);
  }
}

TEST(PrintDialogTest, PrintAllTakesTheDialogsChoices) {
  TwoPrinters printers;
  TempDir dir;
  struct Case {
    const char* name;
    bool cancel;
    std::function<void(QWidget*)> edit;
    std::vector<int> expected;
  };
  const std::vector<Case> cases = {
      {"current page",
       false,
       [](QWidget* d) { Find<QRadioButton>(d, "rbCurrent")->setChecked(true); },
       {2}},
      {"preset pages kept, reversed",
       false,
       [](QWidget* d) { Find<QCheckBox>(d, "chkReverse")->setChecked(true); },
       {3, 1}},
      {"cancel prints nothing", true, nullptr, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    engine::Printers().SelectPrinter(printers.first);
    PrintedReport r;
    r.Prepare(4);
    r.store->SetPreviewPageNo(2);
    r.report->PrintOptions()->SetShowDialog(true);
    r.report->PrintOptions()->SetPageNumbers("1,3");
    bool seen = false;
    QTimer::singleShot(0, [&] {
      auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(d, nullptr);
      seen = true;
      EXPECT_TRUE(Find<QRadioButton>(d, "rbPages")->isChecked());
      EXPECT_EQ(Find<QLineEdit>(d, "edPages")->text(), "1,3");
      if (c.edit) c.edit(d);
      auto* tqdr = dynamic_cast<TqdrPrintDialog*>(d);
      ASSERT_NE(tqdr, nullptr);
      tqdr->OnAskFileName = [&](std::string& name) {
        name = dir.File("printed");
        return true;
      };
      Find<QCheckBox>(d, "chkToFile")->setChecked(true);
      QTest::mouseClick(Find<QPushButton>(d, c.cancel ? "btnCancel" : "btnOK"), Qt::LeftButton);
    });
    fs::remove(dir.File("printed.prn"));
    EXPECT_EQ(r.store->PrintAll(), !c.cancel);
    EXPECT_TRUE(seen);
    if (c.expected.empty()) {
      EXPECT_FALSE(fs::exists(dir.File("printed.prn")));
      continue;
    }
    EXPECT_EQ(PdfMarks(dir.File("printed.prn")), c.expected);
  }
}
