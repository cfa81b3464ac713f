// The preview window: page layout, zoom modes, keys, finding text, the
// outline, files, editing, preparation into the window, its toolbar, the
// progress window and PDF export.
#include "engine/preview.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QFont>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <cstdlib>
#include <filesystem>

#include "engine/engine.h"
#include "engine/export_filters.h"
#include "engine/page_settings_form.h"
#include "engine/pdf_export.h"
#include "engine/preview_form.h"
#include "engine/preview_workspace.h"
#include "engine/progress_window.h"
#include "engine/report_runtime.h"
#include "engine/search_dialog.h"
#include "print_test_util.h"
#include "report/collections.h"
#include "report/dataset.h"
#include "report/font_substitutions.h"
#include "report/options.h"
#include "report/resources.h"
#include "survey_rows.h"

using namespace print_test;
using engine::TqdrPageList;
using engine::TqdrPreviewForm;
namespace pb = report::preview_button;

namespace {

constexpr int kA4W = 794, kA4H = 1123;  // A4 in report units, as the page list holds it

// The faces the program registers at start-up; before any font is resolved,
// or later lookups keep the face Qt picked first.
void UseSurveyFonts() {
  report::InstallFontSubstitutions();
}

// Where screenshots go when PREVIEW_SHOTS names a folder.
void SaveShot(const QImage& image, const std::string& name) {
  if (const char* dir = std::getenv("PREVIEW_SHOTS"))
    image.save(QString::fromStdString(std::string(dir) + "/" + name));
}

// ---------------------------------------------------------------------------
// Page list: positions are pure arithmetic.

TEST(PageListTest, RowsColumnsAndRectangles) {
  struct Case {
    const char* name;
    int columns;
    std::vector<std::pair<int, int>> pages;  // width, height
    double zoom;
    int clientWidth;
    std::vector<QRect> expected;
    int widestRow;
  };
  const std::vector<Case> cases = {
      // One column: tops 10, 10 + 1123 + 10, ...; centred in 1000 pixels.
      {"one column at zoom 1",
       1,
       {{kA4W, kA4H}, {kA4W, kA4H}, {kA4W, kA4H}},
       1,
       1000,
       {QRect(103, 10, kA4W, kA4H), QRect(103, 1143, kA4W, kA4H), QRect(103, 2276, kA4W, kA4H)},
       kA4W + 10},
      // Half size: (1000 - 397) / 2 = 301.5 rounds to 302, tops scale too.
      {"one column at zoom 0.5",
       1,
       {{kA4W, kA4H}, {kA4W, kA4H}},
       0.5,
       1000,
       {QRect(302, 5, 397, 562), QRect(302, 572, 397, 562)},
       kA4W + 10},
      // Wider than the window: the page starts 10 pixels in.
      {"page wider than the window", 1, {{kA4W, kA4H}}, 1, 500, {QRect(10, 10, kA4W, kA4H)}, 804},
      // Two columns: the row is 794 + 10 + 794 wide, (1000 - 799) / 2 = 100.5 rounds
      // to 101, the second page 804 * 0.5 further right; the second row starts
      // below the taller page of the first (10 + 1500 + 10) and centres alone.
      {"two columns",
       2,
       {{kA4W, kA4H}, {kA4W, 1500}, {kA4W, kA4H}},
       0.5,
       1000,
       {QRect(101, 5, 397, 562), QRect(503, 5, 397, 750), QRect(302, 760, 397, 562)},
       2 * (kA4W + 10)},
      // A landscape page in a portrait report: each row centres its own width.
      {"mixed widths",
       1,
       {{kA4W, kA4H}, {kA4H, kA4W}},
       1,
       1200,
       {QRect(203, 10, kA4W, kA4H), QRect(39, 1143, kA4H, kA4W)},
       kA4H + 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TqdrPageList list;
    list.SetColumnCount(c.columns);
    for (auto [w, h] : c.pages) list.AddPage(w, h);
    for (size_t i = 0; i < c.expected.size(); ++i)
      EXPECT_EQ(c.expected[i], list.PageRect(static_cast<int>(i), c.zoom, c.clientWidth))
          << "page " << i;
    EXPECT_EQ(c.widestRow, list.WidestRow());
  }
}

TEST(PageListTest, PageAtScrollPositionAndOutsideTheList) {
  TqdrPageList list;
  for (int i = 0; i < 4; ++i) list.AddPage(kA4W, kA4H);
  // Page 2 (index 1) starts at 1143: by scrolling it counts a fifth of its
  // height (224.6) early; under the pointer only from its top.
  EXPECT_EQ(0, list.FindPage(0, 1, true));
  EXPECT_EQ(0, list.FindPage(917, 1, true));
  EXPECT_EQ(1, list.FindPage(919, 1, true));
  EXPECT_EQ(0, list.FindPage(1142, 1, false));
  EXPECT_EQ(1, list.FindPage(1143, 1, false));
  EXPECT_EQ(3, list.FindPage(100000, 1, true));
  // Widest row + 10; the last page's bottom (10 + 3 * 1133 + 1123) + 10.
  EXPECT_EQ(QSize(814, 4542), list.ScrollRange(1, 1000));
  // Outside the list: an A4 page at top 10.
  EXPECT_EQ(QRect(103, 10, kA4W, kA4H), list.PageRect(9, 1, 1000));
  TqdrPageList empty;
  EXPECT_EQ(0, empty.FindPage(500, 1, true));
  EXPECT_EQ(QSize(0, 0), empty.ScrollRange(1, 1000));
}

TEST(PreviewOutlineTest, NodeDataPacksPageAndHalfTheTop) {
  int page = 0, top = 0;
  EXPECT_EQ(3 + 50 * 1048576LL, engine::PackOutlineData(2, 101));
  engine::UnpackOutlineData(engine::PackOutlineData(2, 101), page, top);
  EXPECT_EQ(3, page) << "1-based";
  EXPECT_EQ(100, top) << "odd tops lose their last unit";
  // Tall pages: tops beyond 4096 units do not overflow.
  engine::UnpackOutlineData(engine::PackOutlineData(0, 20000), page, top);
  EXPECT_EQ(1, page);
  EXPECT_EQ(20000, top);
}

// ---------------------------------------------------------------------------
// The window over a store filled by hand.

class PreviewWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    UseSurveyFonts();
    engine::InstallPreviewWindow();
    printed_.AddTemplate(9);
    printed_.Prepare(5);
    report::TqdrPreviewOptions* options = printed_.report->PreviewOptions();
    options->SetModal(false);
    options->SetMaximized(false);
    engine::FindState() = engine::TqdrFindState();
  }
  void TearDown() override { delete engine::PreviewWindow(*printed_.report); }

  TqdrPreviewForm& Open(QSize size = QSize(1000, 800)) {
    engine::ShowPreviewWindow(*printed_.report, *printed_.store);
    TqdrPreviewForm* form = engine::PreviewWindow(*printed_.report);
    EXPECT_NE(nullptr, form);
    form->resize(size);
    QApplication::processEvents();
    return *form;
  }
  engine::TqdrPreview& Preview() { return *engine::PreviewWindow(*printed_.report)->Preview(); }
  QWidget* Viewport() { return Preview().Workspace()->viewport(); }
  QRect PageRect(int index) { return Preview().Workspace()->PageRect(index); }

  PrintedReport printed_;
};

TEST_F(PreviewWindowTest, ZoomModesFitTheViewport) {
  TqdrPreviewForm& form = Open();
  engine::TqdrPreview& preview = *form.Preview();
  const QSize client = Viewport()->size();
  const int workspaceWidth = preview.Workspace()->width();
  ASSERT_GT(client.height(), 200);

  preview.SetZoomMode(report::TqdrZoomMode::zmWholePage);
  EXPECT_DOUBLE_EQ((client.height() - 20.0) / kA4H, preview.Zoom());
  EXPECT_LE(PageRect(0).height(), client.height()) << "the whole page fits";

  preview.SetZoomMode(report::TqdrZoomMode::zmPageWidth);
  EXPECT_DOUBLE_EQ((workspaceWidth - 52.0) / kA4W, preview.Zoom());

  preview.SetZoomMode(report::TqdrZoomMode::zmManyPages);
  EXPECT_DOUBLE_EQ((client.width() - 32.0) / (2 * kA4W), preview.Zoom());
  EXPECT_EQ(PageRect(0).top(), PageRect(1).top()) << "two pages side by side";
  EXPECT_LT(PageRect(0).right(), PageRect(1).left());

  form.Button("btn100")->trigger();
  EXPECT_DOUBLE_EQ(1, preview.Zoom());
  EXPECT_EQ(report::TqdrZoomMode::zmDefault, preview.ZoomMode());
  EXPECT_LT(PageRect(0).bottom(), PageRect(1).top()) << "back to one column";
  EXPECT_EQ("100%", form.ZoomBox()->currentText().toStdString());

  // Resizing repeats the layout of the mode.
  preview.SetZoomMode(report::TqdrZoomMode::zmPageWidth);
  form.resize(700, 800);
  QApplication::processEvents();
  EXPECT_DOUBLE_EQ((preview.Workspace()->width() - 52.0) / kA4W, preview.Zoom());
}

TEST_F(PreviewWindowTest, ZoomBoxAndWheelLimits) {
  TqdrPreviewForm& form = Open();
  engine::TqdrPreview& preview = *form.Preview();
  struct Case {
    const char* text;
    double zoom;
    const char* shown;
  };
  const std::vector<Case> cases = {
      {"150%", 1.5, "150%"}, {" 75 % ", 0.75, "75%"}, {"12,5", 0.25, "25%"},
      {"10", 0.25, "25%"},   {"abc", 0.25, "25%"},    {"200", 2, "200%"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    form.ZoomBox()->setEditText(c.text);
    form.ApplyZoomText();
    EXPECT_DOUBLE_EQ(c.zoom, preview.Zoom());
    EXPECT_EQ(c.shown, form.ZoomBox()->currentText().toStdString());
  }
  form.ZoomBox()->setEditText(form.ZoomBox()->itemText(7));
  form.ApplyZoomText();
  EXPECT_EQ(report::TqdrZoomMode::zmWholePage, preview.ZoomMode());

  auto wheel = [&](int delta, Qt::KeyboardModifiers mods) {
    const QPointF at(50, 50);
    QWheelEvent event(at, Viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      mods, Qt::NoScrollPhase, false);
    QApplication::sendEvent(Viewport(), &event);
  };
  preview.SetZoom(0.6);
  for (int i = 0; i < 6; ++i) wheel(-120, Qt::ControlModifier);
  EXPECT_DOUBLE_EQ(0.3, preview.Zoom()) << "Ctrl+wheel stops at 30%";
  wheel(120, Qt::ControlModifier);
  EXPECT_NEAR(0.4, preview.Zoom(), 1e-9);
  const int y = preview.Workspace()->Position().y();
  wheel(-1, Qt::NoModifier);
  EXPECT_EQ(y + 20, preview.Workspace()->Position().y()) << "20 pixels whatever the delta";
}

TEST_F(PreviewWindowTest, KeysPageThroughTheReport) {
  TqdrPreviewForm& form = Open();
  engine::TqdrPreview& preview = *form.Preview();
  QWidget* workspace = preview.Workspace();
  EXPECT_EQ(1, preview.PageNo());
  EXPECT_EQ("页 1 / 5", form.StatusPanel(0)->text().toStdString());

  QTest::keyClick(workspace, Qt::Key_PageDown, Qt::ControlModifier);
  EXPECT_EQ(2, preview.PageNo());
  EXPECT_EQ(PageRect(1).top() - 10, preview.Workspace()->Position().y());
  EXPECT_EQ("页 2 / 5", form.StatusPanel(0)->text().toStdString());
  EXPECT_EQ("2", form.PageBox()->text().toStdString());

  QTest::keyClick(workspace, Qt::Key_End);
  EXPECT_EQ(5, preview.PageNo());
  QTest::keyClick(workspace, Qt::Key_Home);
  EXPECT_EQ(1, preview.PageNo());
  EXPECT_EQ(0, preview.Workspace()->Position().y());

  // Plain Page Down scrolls 300 pixels; the page follows the scroll position.
  for (int i = 0; i < 3; ++i) QTest::keyClick(workspace, Qt::Key_PageDown);
  EXPECT_EQ(900, preview.Workspace()->Position().y());
  EXPECT_EQ(1, preview.PageNo()) << "page 2's top is still more than a fifth of it below";
  QTest::keyClick(workspace, Qt::Key_PageDown);
  EXPECT_EQ(2, preview.PageNo());
  QTest::keyClick(workspace, Qt::Key_Down);
  EXPECT_EQ(1208, preview.Workspace()->Position().y());

  // The page box clamps to the pages.
  form.PageBox()->setText("99");
  QTest::keyClick(form.PageBox(), Qt::Key_Return);
  EXPECT_EQ(5, preview.PageNo());
  EXPECT_EQ("5", form.PageBox()->text().toStdString());
  form.PageBox()->setText("0");
  form.ApplyPageText();
  EXPECT_EQ(1, preview.PageNo());
}

TEST_F(PreviewWindowTest, FindMovesToThePageHoldingTheText) {
  printed_.Prepare(5);
  TqdrPreviewForm& form = Open();
  engine::TqdrPreview& preview = *form.Preview();
  EXPECT_FALSE(preview.FindText("page 3", true, true)) << "case-sensitive";
  EXPECT_EQ(1, preview.PageNo());
  EXPECT_TRUE(preview.FindText("PAGE 3", false, true));
  EXPECT_EQ(3, preview.PageNo());
  const engine::TqdrFindState& state = engine::FindState();
  EXPECT_TRUE(state.found);
  EXPECT_EQ(2, state.page);
  // The found memo at (20, 80) inside the band at top 20, margins 10 mm.
  EXPECT_NEAR(10 * 3.77953 + 20, state.rect.left(), 1e-6);
  EXPECT_NEAR(10 * 3.77953 + 20 + 80, state.rect.top(), 1e-6);
  const QRect page = PageRect(2);
  const QPoint pos = preview.Workspace()->Position();
  EXPECT_GE(page.top() + state.rect.top() - 20, pos.y()) << "visible with room to spare";
  EXPECT_LE(page.top() + state.rect.bottom() + 20, pos.y() + Viewport()->height() + 1)
      << "one pixel of rounding";

  // The highlight inverts the found text's box: the memo's white background turns black.
  const QImage shot = Viewport()->grab().toImage();
  const QPoint inside(page.left() + static_cast<int>(state.rect.left() + 250) - pos.x(),
                      page.top() + static_cast<int>(state.rect.top() + 20) - pos.y());
  EXPECT_EQ(QColor(Qt::black), QColor(shot.pixel(inside))) << "inside the highlight";

  // Each page has one "Page N" text: the next match is on page 4, then 5, then nothing.
  EXPECT_TRUE(preview.FindText("page", false, false));
  EXPECT_EQ(3, preview.PageNo()) << "from the current page";
  QTest::keyClick(preview.Workspace(), Qt::Key_F3);
  EXPECT_EQ(4, preview.PageNo());
  QTest::keyClick(preview.Workspace(), Qt::Key_F3);
  EXPECT_EQ(5, preview.PageNo());
  const QPoint before = preview.Workspace()->Position();
  QTest::keyClick(preview.Workspace(), Qt::Key_F3);
  EXPECT_EQ(5, preview.PageNo()) << "nothing after the last match";
  EXPECT_EQ(before, preview.Workspace()->Position());

  // Without the Find button F3 does nothing.
  preview.FindText("page", false, true);
  EXPECT_EQ(1, preview.PageNo());
  preview.SetButtons(pb::kDefault & ~pb::pbFind);
  QTest::keyClick(preview.Workspace(), Qt::Key_F3);
  EXPECT_EQ(1, preview.PageNo());
}

TEST_F(PreviewWindowTest, SaveAndLoadAPreparedReport) {
  TempDir dir;
  TqdrPreviewForm& form = Open();
  engine::TqdrPreview& preview = *form.Preview();
  std::string asked = dir.File("saved.txt");
  preview.OnAskFileName = [&](bool) { return asked; };
  preview.SaveReport();
  const std::string file = dir.File("saved.qp3");
  ASSERT_TRUE(fs::exists(file)) << "the name gets the .qp3 extension";
  EXPECT_FALSE(preview.Locked());
  EXPECT_FALSE(preview.MessagePanel()->isVisible());

  preview.ClearPages();
  EXPECT_EQ(0, preview.PageCount());
  EXPECT_EQ(0, preview.Workspace()->PageList().Count());
  preview.ShowPage(5);
  EXPECT_EQ(1, preview.PageNo()) << "an empty store shows page 1";
  Viewport()->grab();  // paints the background only

  asked = file;
  QTest::keyClick(preview.Workspace(), Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(5, preview.PageCount());
  EXPECT_EQ(5, preview.Workspace()->PageList().Count());
  EXPECT_EQ(1, preview.PageNo());
  EXPECT_TRUE(preview.FindText("Page 4", true, true)) << "the loaded pages hold their texts";
  EXPECT_EQ(4, preview.PageNo());

  // Without the Open button Ctrl+O does nothing.
  preview.SetButtons(pb::pbPrint);
  asked = dir.File("missing.qp3");
  QTest::keyClick(preview.Workspace(), Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(5, preview.PageCount());
}

TEST_F(PreviewWindowTest, OutlineNodesAndURLsShowTheirPages) {
  // Outline items and an anchor on the third page.
  printed_.store->SetCurrentPage(2);
  engine::TqdrOutline* outline = printed_.store->Outline();
  outline->LevelRoot();
  outline->AddItem("Third", 400);
  outline->AddItem("Inside", 0);
  outline->LevelRoot();
  printed_.store->AddAnchor("there");
  TqdrPreviewForm& form = Open();
  engine::TqdrPreview& preview = *form.Preview();
  QTreeWidget* tree = preview.OutlineTree();
  ASSERT_EQ(1, tree->topLevelItemCount());
  QTreeWidgetItem* third = tree->topLevelItem(0);
  EXPECT_EQ("Third", third->text(0).toStdString());
  ASSERT_EQ(1, third->childCount());
  EXPECT_TRUE(third->isExpanded()) << "OutlineExpand";
  EXPECT_FALSE(preview.OutlineVisible());
  form.Button("btnOutline")->trigger();
  EXPECT_TRUE(preview.OutlineVisible());

  emit tree->itemClicked(third, 0);
  EXPECT_EQ(3, preview.PageNo());
  EXPECT_EQ(PageRect(2).top() + static_cast<int>(std::lround(10 * 3.77953 + 400)) - 10,
            preview.Workspace()->Position().y());

  preview.FollowURL("@2");
  EXPECT_EQ(2, preview.PageNo());
  preview.FollowURL("@99");
  EXPECT_EQ(5, preview.PageNo());
  preview.FollowURL("#THERE");
  EXPECT_EQ(3, preview.PageNo());
  std::string opened;
  preview.OnOpenURL = [&](const std::string& url) { opened = url; };
  preview.FollowURL("http://example.org/");
  EXPECT_EQ("http://example.org/", opened);
}

TEST_F(PreviewWindowTest, MouseFollowsLinksAndUsesTheTools) {
  printed_.templates[0].text->SetURL("@3");
  printed_.Prepare(5);
  TqdrPreviewForm& form = Open();
  engine::TqdrPreview& preview = *form.Preview();
  // The "Page N" memo: (20, 80) in the band at top 20, inside 10 mm margins.
  const QPoint onText =
      PageRect(0).topLeft() - preview.Workspace()->Position() +
      QPoint(static_cast<int>(10 * 3.77953 + 30), static_cast<int>(10 * 3.77953 + 110));
  QTest::mouseMove(Viewport(), onText);
  EXPECT_EQ("@3", form.StatusPanel(1)->text().toStdString()) << "the URL under the pointer";
  EXPECT_EQ(Qt::PointingHandCursor, Viewport()->cursor().shape());
  QTest::mouseMove(Viewport(), onText + QPoint(400, 0));
  EXPECT_EQ("", form.StatusPanel(1)->text().toStdString());
  EXPECT_EQ(Qt::OpenHandCursor, Viewport()->cursor().shape()) << "the hand tool's cursor";
  QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, onText);
  EXPECT_EQ(3, preview.PageNo()) << "@3 shows page 3";

  // Dragging with the hand tool scrolls by the pointer movement.
  const int y = preview.Workspace()->Position().y();
  QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
  QTest::mouseMove(Viewport(), QPoint(300, 240));
  QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 240));
  EXPECT_EQ(y + 60, preview.Workspace()->Position().y());

  form.Button("btnZoomTool")->trigger();
  EXPECT_EQ(engine::TqdrPreviewTool::ptZoom, preview.Tool());
  QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
  EXPECT_DOUBLE_EQ(1.25, preview.Zoom());
  QTest::mouseClick(Viewport(), Qt::RightButton, Qt::NoModifier, QPoint(300, 300));
  QTest::mouseClick(Viewport(), Qt::RightButton, Qt::NoModifier, QPoint(300, 300));
  EXPECT_DOUBLE_EQ(0.75, preview.Zoom());
}

TEST_F(PreviewWindowTest, AddingAndDeletingPages) {
  TqdrPreviewForm& form = Open();
  engine::TqdrPreview& preview = *form.Preview();
  preview.ShowPage(5);
  form.Button("btnDeletePage")->trigger();
  EXPECT_EQ(4, preview.PageCount());
  EXPECT_EQ(4, preview.PageNo()) << "back by one past the end";
  EXPECT_EQ("页 4 / 4", form.StatusPanel(0)->text().toStdString());
  preview.ShowPage(2);
  form.Button("btnAddPage")->trigger();
  EXPECT_EQ(5, preview.PageCount());
  EXPECT_EQ(5, preview.Workspace()->PageList().Count());
  EXPECT_EQ(2, preview.PageNo());
  EXPECT_TRUE(printed_.store->PageAt(1)->AllObjects().empty()) << "an empty page before page 2";
  EXPECT_FALSE(printed_.store->PageAt(2)->AllObjects().empty());

  printed_.Prepare(1);
  preview.Attach(printed_.report.get(), printed_.store.get());
  preview.DeletePage();
  EXPECT_EQ(1, preview.PageCount()) << "the last page stays";

  printed_.report->PreviewOptions()->SetAllowEdit(false);
  preview.AddPage();
  EXPECT_EQ(1, preview.PageCount()) << "AllowEdit off";
}

TEST_F(PreviewWindowTest, PageSettingsOfTheCurrentPage) {
  TqdrPreviewForm& form = Open();
  engine::TqdrPreview& preview = *form.Preview();
  preview.ShowPage(2);
  auto* page = dynamic_cast<report::TqdrReportPage*>(printed_.store->PageAt(1));
  ASSERT_NE(nullptr, page);
  engine::TqdrPageSettingsForm settings(page, printed_.report.get());
  EXPECT_EQ("29.7", settings.HeightEdit()->text().toStdString()) << "centimetres";
  EXPECT_EQ("1", settings.MarginEdit(0)->text().toStdString());
  settings.LandscapeButton()->click();
  EXPECT_EQ("29.7", settings.WidthEdit()->text().toStdString()) << "the sheet turns";
  EXPECT_EQ("21", settings.HeightEdit()->text().toStdString());
  settings.MarginEdit(1)->setText("2,5");
  settings.accept();
  EXPECT_EQ(report::TPrinterOrientation::poLandscape, page->Orientation());
  EXPECT_NEAR(297, page->PaperWidth(), 0.01);
  EXPECT_NEAR(25, page->TopMargin(), 1e-9);
  printed_.store->ReplacePage(1, page);
  preview.RebuildPageList();
  int w = 0, h = 0;
  printed_.store->PageSizeAt(1, w, h);
  EXPECT_GT(w, h) << "the stored page is landscape";
  EXPECT_EQ(w, PageRect(1).width());
  printed_.store->PageSizeAt(0, w, h);
  EXPECT_LT(w, h) << "the other pages keep their paper";
}

TEST_F(PreviewWindowTest, ToolbarShowsTheButtonsAsked) {
  struct Case {
    const char* name;
    uint32_t buttons;
    std::vector<std::string> expected;
  };
  const std::vector<std::string> zoom = {"btnWholePage", "btnPageWidth", "btn100",
                                         "btnTwoPages",  "cmbZoom",      "btnFullScreen"};
  const std::vector<std::string> nav = {"btnFirst", "btnPrior", "edtPage", "btnNext", "btnLast"};
  auto join = [](std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
  };
  const std::vector<Case> cases = {
      {"the survey's buttons",
       pb::pbPrint | pb::pbSave | pb::pbExport | pb::pbZoom | pb::pbOutline | pb::pbPageSetup |
           pb::pbTools | pb::pbNavigator,
       join({{"btnPrint", "btnSave", "btnExport"},
             zoom,
             {"btnMargins", "btnOutline", "btnHand", "btnZoomTool"},
             nav,
             {"btnClose"}})},
      {"the default set", pb::kDefault,
       join({{"btnPrint", "btnOpen", "btnSave", "btnExport", "btnPdf", "btnFind"},
             zoom,
             {"btnMargins", "btnOutline", "btnHand", "btnZoomTool", "btnAddPage", "btnDeletePage"},
             nav,
             {"btnClose"}})},
      {"navigator without Close", pb::pbNavigator | pb::pbNoClose, nav},
      {"nothing", pb::pbNoClose, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    printed_.report->PreviewOptions()->SetButtons(c.buttons);
    TqdrPreviewForm form(*printed_.report, *printed_.store);
    EXPECT_EQ(c.expected, form.VisibleButtons());
  }
  // The right-click menu repeats the first two groups with one separator.
  printed_.report->PreviewOptions()->SetButtons(pb::pbPrint | pb::pbSave | pb::pbZoom);
  TqdrPreviewForm form(*printed_.report, *printed_.store);
  std::unique_ptr<QMenu> menu = form.BuildPopupMenu();
  std::vector<std::string> entries;
  for (QAction* a : menu->actions())
    entries.push_back(a->isSeparator() ? "-" : a->text().toStdString());
  EXPECT_EQ((std::vector<std::string>{"打印", "保存", "-", "整页", "页宽", "100%", "两页",
                                      "Full Screen"}),
            entries);
  EXPECT_EQ("预览", form.windowTitle().toStdString());
  printed_.report->ReportOptions()->SetName("调查表");
  TqdrPreviewForm named(*printed_.report, *printed_.store);
  EXPECT_EQ("调查表", named.windowTitle().toStdString());
}

TEST_F(PreviewWindowTest, ExportToPdfAtThePageSizes) {
  TempDir dir;
  printed_.AddTemplate(256, report::TPrinterOrientation::poPortrait, 100, 150);
  printed_.Prepare(3, [](int i) { return i == 1 ? 1 : 0; });
  printed_.report->PreviewOptions()->SetButtons(pb::kDefault);
  TqdrPreviewForm& form = Open();
  ASSERT_NE(nullptr, form.Button("btnPdf"));
  EXPECT_TRUE(form.Button("btnPdf")->isVisible());
  engine::TqdrPdfExport& pdf = engine::PdfExport();
  pdf.SetFileName(dir.File("out.pdf"));
  pdf.SetTotalPages(3);
  form.Button("btnPdf")->trigger();
  pdf.SetFileName("");
  pdf.SetTotalPages(0);
  const std::vector<PdfPage> pages = PdfPages(dir.File("out.pdf"));
  ASSERT_EQ(3u, pages.size());
  constexpr double kPt = 72 / 25.4;
  EXPECT_NEAR(210 * kPt, pages[0].width, 1);
  EXPECT_NEAR(297 * kPt, pages[0].height, 1);
  EXPECT_NEAR(100 * kPt, pages[1].width, 1) << "each page at its own paper size";
  EXPECT_NEAR(150 * kPt, pages[1].height, 1);
  EXPECT_EQ((std::vector<int>{1, 2, 3}), PdfMarks(dir.File("out.pdf")))
      << "marks drawn inside the margins";
  const std::vector<std::string> texts = PdfTexts(dir.File("out.pdf"));
  ASSERT_EQ(3u, texts.size());
  EXPECT_EQ("Page 2", texts[1]);
}

// ---------------------------------------------------------------------------
// Preparing into the window through the report object.

class PreparedWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    UseSurveyFonts();
    engine::InstallReportRuntime();
    engine::InstallPreviewWindow();
    page_ = new report::TqdrReportPage(&report_);
    page_->SetParent(&report_);
    page_->SetName("Page1");
    band_ = new report::TqdrMasterData(&report_);
    band_->SetParent(page_);
    band_->SetName("MasterData1");
    band_->SetBounds(0, 20, 700, 900);  // one record per page
    band_->SetRowCount(12);
    auto* memo = new report::TqdrMemoView(&report_);
    memo->SetParent(band_);
    memo->SetName("Memo1");
    memo->SetBounds(0, 0, 300, 20);
    memo->SetText("Row [Line]");
    report_.PreviewOptions()->SetMaximized(false);
  }
  void TearDown() override {
    delete engine::PreviewWindow(report_);
    report_.OnEndDoc = nullptr;
  }
  engine::TqdrPreviewPages& Pages() { return *engine::PreparedPages(report_); }

  report::TqdrReport report_;
  report::TqdrReportPage* page_ = nullptr;
  report::TqdrMasterData* band_ = nullptr;
};

TEST_F(PreparedWindowTest, PagesArriveWhileTheWindowIsShown) {
  report_.PreviewOptions()->SetModal(false);
  engine::ShowPreviewWindow(report_, Pages());
  TqdrPreviewForm* form = engine::PreviewWindow(report_);
  ASSERT_NE(nullptr, form);
  engine::TqdrPreview& preview = *form->Preview();
  EXPECT_EQ(&preview, dynamic_cast<engine::TqdrPreview*>(report_.PreviewLink()));

  struct Seen {
    bool busy, printEnabled, panel;
    int listed;
    std::string close;
  };
  std::vector<Seen> seen;
  auto previous = preview.OnPagePrepared;
  preview.OnPagePrepared = [&](int page) {
    previous(page);
    if (page == 5) SaveShot(form->grab().toImage(), "preview_preparing.png");
    seen.push_back({preview.Busy(), form->Button("btnPrint")->isEnabled(),
                    preview.MessagePanel()->isVisible(), preview.Workspace()->PageList().Count(),
                    form->CloseButton()->text().toStdString()});
  };
  ASSERT_TRUE(report_.Prepare()) << report_.ErrorsText();
  ASSERT_EQ(12u, seen.size());
  for (size_t i = 0; i < seen.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(seen[i].busy);
    EXPECT_FALSE(seen[i].printEnabled);
    EXPECT_TRUE(seen[i].panel) << "the message panel with Cancel";
    EXPECT_EQ(static_cast<int>(i) + 1, seen[i].listed) << "each page is listed as it comes";
    EXPECT_EQ("取消", seen[i].close);
  }
  EXPECT_FALSE(preview.Busy());
  EXPECT_TRUE(form->Button("btnPrint")->isEnabled());
  EXPECT_FALSE(preview.MessagePanel()->isVisible());
  EXPECT_EQ("关闭(&X)", form->CloseButton()->text().toStdString());
  EXPECT_EQ(12, preview.Workspace()->PageList().Count());
  EXPECT_EQ("页 1 / 12", form->StatusPanel(0)->text().toStdString());
  EXPECT_TRUE(preview.FindText("Row 7", true, true));
  EXPECT_EQ(7, preview.PageNo());

  // A second preparation replaces the pages in the same window (the run
  // reloaded the template, so the band is looked up again).
  dynamic_cast<report::TqdrMasterData*>(report_.FindObject("MasterData1"))->SetRowCount(3);
  ASSERT_TRUE(report_.Prepare()) << report_.ErrorsText();
  EXPECT_EQ(3, preview.Workspace()->PageList().Count());
  EXPECT_EQ(form, engine::PreviewWindow(report_));
}

TEST_F(PreparedWindowTest, CancelStopsThePreparation) {
  report_.PreviewOptions()->SetModal(false);
  engine::ShowPreviewWindow(report_, Pages());
  TqdrPreviewForm* form = engine::PreviewWindow(report_);
  engine::TqdrPreview& preview = *form->Preview();
  bool closeRefused = false;
  auto previous = preview.OnPagePrepared;
  preview.OnPagePrepared = [&](int page) {
    previous(page);
    if (page != 2) return;
    form->close();
    closeRefused = form->isVisible() || engine::PreviewWindow(report_) == form;
    QTest::mouseClick(preview.MessageCancel(), Qt::LeftButton);
  };
  report_.EngineOptions()->SetNewSilentMode(report::TqdrSilentMode::simSilent);
  report_.Prepare();
  EXPECT_TRUE(closeRefused) << "closing is refused while busy";
  EXPECT_TRUE(report_.Terminated());
  EXPECT_LT(Pages().PageCount(), 12);
  EXPECT_GE(Pages().PageCount(), 3);
  EXPECT_EQ(Pages().PageCount(), preview.Workspace()->PageList().Count());
  EXPECT_FALSE(preview.Busy());
}

TEST_F(PreparedWindowTest, ShowReportRunsInsideTheModalWindow) {
  int pagesAtEnd = -1;
  bool wasLink = false;
  report_.OnEndDoc = [&](report::TqdrReport* r) {
    pagesAtEnd = Pages().PageCount();
    wasLink = dynamic_cast<engine::TqdrPreview*>(r->PreviewLink()) != nullptr;
    engine::ClosePreviewWindow(*r);
  };
  report_.ShowReport();  // modal: returns once the window is closed
  EXPECT_EQ(12, pagesAtEnd);
  EXPECT_TRUE(wasLink);
  EXPECT_EQ(nullptr, engine::PreviewWindow(report_)) << "the modal window is gone";
  EXPECT_EQ(nullptr, report_.PreviewLink());
}

// ---------------------------------------------------------------------------
// Small windows.

TEST(SearchDialogTest, TextsAndLastEntry) {
  engine::TqdrSearchDialog dialog("abc");
  EXPECT_EQ("寻找文本", dialog.windowTitle().toStdString());
  EXPECT_EQ("abc", dialog.Text());
  EXPECT_EQ("abc", dialog.TextEdit()->selectedText().toStdString());
  EXPECT_EQ("起点", dialog.FromFirstPageBox()->text().toStdString());
  EXPECT_EQ("区分大小写", dialog.CaseSensitiveBox()->text().toStdString());
  EXPECT_EQ("确定", dialog.OkButton()->text().toStdString());
  dialog.CaseSensitiveBox()->setChecked(true);
  EXPECT_TRUE(dialog.CaseSensitive());
  EXPECT_FALSE(dialog.FromFirstPage());
}

TEST(ProgressWindowTest, CancelAndTheDisabledOwner) {
  QWidget owner;
  owner.show();
  QApplication::setActiveWindow(&owner);
  {
    engine::TqdrProgress progress;
    EXPECT_EQ(QSize(271, 101), progress.size());
    progress.Start(0, "Printing page 1", true, true);
    EXPECT_TRUE(progress.isVisible());
    EXPECT_FALSE(owner.isEnabled()) << "the active window waits";
    EXPECT_EQ(15, progress.MessageLabel()->y());
    EXPECT_TRUE(progress.Bar()->isVisibleTo(&progress));
    progress.SetMessage("Printing page 2");
    EXPECT_EQ("Printing page 2", progress.MessageLabel()->text().toStdString());
    QTest::mouseClick(progress.CancelButton(), Qt::LeftButton);
    EXPECT_TRUE(progress.Terminated());
    EXPECT_FALSE(progress.isVisible());
    EXPECT_TRUE(owner.isEnabled());
    progress.Start(0, "again", false, false);
    EXPECT_FALSE(progress.Terminated());
    EXPECT_EQ(35, progress.MessageLabel()->y()) << "no bar: the message moves down";
    EXPECT_FALSE(progress.CancelButton()->isVisibleTo(&progress));
  }
  EXPECT_TRUE(owner.isEnabled()) << "freed: the owner works again";
}

// ---------------------------------------------------------------------------
// What a user sees: the survey form in the window.

TEST(PreviewScreenshotTest, SurveyFormInTheWindow) {
  enginetest::SurveyRows survey(3, {{"xm0000", "张三"}});
  UseSurveyFonts();
  report::TqdrReport report;
  ASSERT_TRUE(survey.LoadSurvey(report));
  engine::TqdrPreviewPages pages(&report);
  engine::TqdrEngine run(report, pages);
  ASSERT_TRUE(report.PrepareScript()) << report.ErrorsText();
  ASSERT_TRUE(run.BuildPages()) << report.ErrorsText();
  ASSERT_EQ(3, pages.PageCount());

  report.PreviewOptions()->SetModal(false);
  report.PreviewOptions()->SetMaximized(false);
  report.PreviewOptions()->SetButtons(pb::pbPrint | pb::pbSave | pb::pbExport | pb::pbZoom |
                                      pb::pbOutline | pb::pbPageSetup | pb::pbTools |
                                      pb::pbNavigator);
  engine::ShowPreviewWindow(report, pages);
  TqdrPreviewForm* form = engine::PreviewWindow(report);
  ASSERT_NE(nullptr, form);
  form->resize(1100, 900);
  QApplication::processEvents();
  form->Preview()->SetZoomMode(report::TqdrZoomMode::zmPageWidth);
  QImage shot = form->grab().toImage();
  SaveShot(shot, "preview_page_width.png");

  // Grey around the page, white paper, ink on it.
  QWidget* viewport = form->Preview()->Workspace()->viewport();
  const QImage view = viewport->grab().toImage();
  const QRect page = form->Preview()->Workspace()->PageRect(0);
  EXPECT_EQ(QColor(128, 128, 128), QColor(view.pixel(2, view.height() / 2)));
  int dark = 0;
  for (int y = page.top() + 50; y < std::min(view.height(), page.top() + 300); ++y)
    for (int x = page.left() + 20; x < page.right() - 20; ++x)
      if (qGray(view.pixel(x, y)) < 100) ++dark;
  EXPECT_GT(dark, 500) << "the form's title and lines";

  form->Preview()->SetZoomMode(report::TqdrZoomMode::zmManyPages);
  SaveShot(form->grab().toImage(), "preview_two_pages.png");
  form->Preview()->FindText("MRN2", true, true);
  form->Preview()->SetZoom(1);
  form->Preview()->FindText("MRN2", true, true);
  SaveShot(form->grab().toImage(), "preview_found.png");
  EXPECT_EQ(2, form->Preview()->PageNo());
  delete form;

  // Captions under the pictures and the outline beside the pages.
  pages.SetCurrentPage(1);
  pages.Outline()->LevelRoot();
  pages.Outline()->AddItem("MRN2", 0);
  pages.Outline()->LevelRoot();
  report.PreviewOptions()->SetShowCaptions(true);
  report.PreviewOptions()->SetOutlineVisible(true);
  TqdrPreviewForm captions(report, pages);
  captions.resize(1100, 700);
  captions.show();
  QApplication::processEvents();
  EXPECT_TRUE(captions.Preview()->OutlineTree()->isVisible());
  EXPECT_EQ(1, captions.Preview()->OutlineTree()->topLevelItemCount());
  SaveShot(captions.grab().toImage(), "preview_captions.png");
}

}  // namespace
