// Component tree, options, resources and the template serializer.
#include <gtest/gtest.h>

#include <QSettings>
#include <cstdio>
#include <sstream>

#include "core/code_page.h"
#include "core/error.h"
#include "report/band.h"
#include "report/dataset.h"
#include "report/page.h"
#include "report/report.h"
#include "report/resources.h"
#include "report/serializer.h"
#include "report/view.h"

namespace report {
namespace {

const std::string kSong = "\xE5\xAE\x8B\xE4\xBD\x93";  // 宋体 in UTF-8

std::string Save(TqdrComponent& c, bool children = true) {
  std::ostringstream out;
  c.SaveToStream(out, children, false);
  return out.str();
}

// The element line of the first element named `name` in a saved template.
std::string ElementLine(const std::string& xml, const std::string& name) {
  size_t at = xml.find("<" + name + " ");
  if (at == std::string::npos) return {};
  size_t end = xml.find("\r\n", at);
  return xml.substr(at, end - at);
}

struct Fixture : ::testing::Test {
  TqdrReport report;
  TqdrReportPage* page = new TqdrReportPage(&report);
  TqdrMasterData* band = new TqdrMasterData(page);
  void SetUp() override {
    page->SetName("Page1");
    band->SetName("MasterData1");
    report.EngineOptions()->SetNewSilentMode(TqdrSilentMode::simSilent);
  }
};

using ReportModel = Fixture;

TEST_F(ReportModel, FreshMemoSavesMinimalElement) {
  auto* memo = new TqdrMemoView(band);
  memo->SetName("Memo1");
  EXPECT_EQ(
      ElementLine(Save(report), "TqdrMemoView"),
      "<TqdrMemoView Name=\"Memo1\" Left=\"0\" Top=\"0\" Width=\"0\" Height=\"0\" Text=\"\"/>");
}

TEST_F(ReportModel, WorkedExampleMemoLine) {
  auto* memo = new TqdrMemoView(band);
  memo->SetName("Memo12");
  memo->SetBounds(117.16543, 113.3859, 119.37389, 18.89765);
  TqdrFont font;
  memo->SetFont(&font);
  memo->Frame()->SetTyp(frame_typ::ftBottom);
  memo->SetWordWrap(false);
  memo->SetVAlign(TqdrVAlign::vaCenter);
  memo->SetText("[QDDBBRXX.\"mrn000\"]");
  EXPECT_EQ(ElementLine(Save(report), "TqdrMemoView"),
            "<TqdrMemoView Name=\"Memo12\" Left=\"117.16543\" Top=\"113.3859\" Width=\"119.37389\" "
            "Height=\"18.89765\" Font.Charset=\"134\" Font.Color=\"0\" Font.Height=\"-13\" "
            "Font.Name=\"" +
                core::Utf8ToGbk(kSong) +
                "\" Font.Style=\"0\" Frame.Typ=\"8\" ParentFont=\"False\" WordWrap=\"False\" "
                "VAlign=\"vaCenter\" Text=\"[QDDBBRXX.&#34;mrn000&#34;]\"/>");
}

TEST_F(ReportModel, PageAndBandElements) {
  page->SetLeftMargin(10);
  page->SetRightMargin(10);
  page->SetTopMargin(10);
  page->SetBottomMargin(10);
  band->SetBounds(0, 18.89765, 718.1107, 1012.91404);
  report.EngineOptions()->SetNewSilentMode(TqdrSilentMode::simMessageBoxes);
  std::string xml = Save(report);
  EXPECT_EQ(ElementLine(xml, "TqdrReportPage"),
            "<TqdrReportPage Name=\"Page1\" PaperWidth=\"210\" PaperHeight=\"297\" PaperSize=\"9\" "
            "LeftMargin=\"10\" RightMargin=\"10\" TopMargin=\"10\" BottomMargin=\"10\" "
            "ColumnWidth=\"0\" ColumnPositions.Text=\"\" HGuides.Text=\"\" VGuides.Text=\"\">");
  EXPECT_EQ(ElementLine(xml, "TqdrMasterData"),
            "<TqdrMasterData Name=\"MasterData1\" Height=\"1012.91404\" Left=\"0\" "
            "Top=\"18.89765\" Width=\"718.1107\" ColumnWidth=\"0\" ColumnGap=\"0\" "
            "RowCount=\"0\"/>");
  std::string top = ElementLine(xml, "TqdrReport");
  EXPECT_EQ(top.rfind("<TqdrReport Version=\"3.23.9\" DotMatrixReport=\"False\" "
                      "IniFile=\"\\Software\\Morvane\" PreviewOptions.Zoom=\"1\" "
                      "PrintOptions.Printer=\"" +
                          core::Utf8ToGbk("预设") + "\" ReportOptions.CreateDate=\"",
                      0),
            0u)
      << top;
  // Empty collections: 3 entries, each name + 01 00.
  EXPECT_NE(top.find("ScriptText.Text=\"begin&#13;&#10;&#13;&#10;end.\" PropData=\""
                     "0844617461736574730100095661726961626C6573010005"
                     "5374796C650100\">"),
            std::string::npos)
      << top;
}

TEST_F(ReportModel, FontInheritance) {
  auto* memo = new TqdrMemoView(band);
  EXPECT_TRUE(memo->ParentFont());
  EXPECT_EQ(memo->Font()->Name(), kSong);
  band->Font()->SetSize(14);
  EXPECT_EQ(memo->Font()->Size(), 14);
  EXPECT_FALSE(band->ParentFont());
  TqdrFont own;
  own.SetName("Tahoma");
  memo->SetFont(&own);
  EXPECT_FALSE(memo->ParentFont());
  band->Font()->SetSize(20);
  EXPECT_EQ(memo->Font()->Size(), 10);
  memo->SetParentFont(true);
  EXPECT_EQ(memo->Font()->Size(), 20);
  EXPECT_EQ(memo->Font()->Name(), kSong);
}

TEST_F(ReportModel, Setters) {
  auto* memo = new TqdrMemoView(band);
  struct Row {
    int in, out;
  } rotations[] = {{450, 90}, {-90, -90}, {360, 0}, {45, 45}};
  for (const Row& r : rotations) {
    memo->SetRotation(r.in);
    EXPECT_EQ(memo->Rotation(), r.out) << r.in;
  }
  memo->SetName("Memo1");
  auto* other = new TqdrMemoView(band);
  other->SetName("Memo3");
  try {
    other->SetName("MEMO1");
    ADD_FAILURE();
  } catch (const core::Error& e) {
    EXPECT_STREQ(e.what(), "Duplicate name");
  }
  EXPECT_EQ(other->Name(), "Memo3");
  auto* third = new TqdrMemoView(band);
  third->CreateUniqueName();
  EXPECT_EQ(third->Name(), "Memo2");
  EXPECT_EQ(report.FindObject("memo1"), memo);
  EXPECT_EQ(report.FindObject("nothing"), nullptr);
  EXPECT_EQ(memo->Page(), page);
  EXPECT_EQ(memo->Report(), &report);
  EXPECT_EQ(band->BaseName(), "MasterData");
  EXPECT_EQ(page->BaseName(), "Page");
  EXPECT_EQ(memo->BaseName(), "Memo");
  band->SetTop(20);
  memo->SetLeft(5);
  memo->SetTop(7);
  EXPECT_DOUBLE_EQ(memo->AbsTop(), 27);
  EXPECT_DOUBLE_EQ(memo->AbsLeft(), 5);
}

TEST_F(ReportModel, CircularChild) {
  auto* c1 = new TqdrChild(page);
  auto* c2 = new TqdrChild(page);
  band->SetChild(c1);
  c1->SetChild(c2);
  try {
    c2->SetChild(c1);
    ADD_FAILURE();
  } catch (const core::Error& e) {
    EXPECT_STREQ(e.what(), "Circular child reference is not allowed");
  }
  EXPECT_EQ(c2->Child(), nullptr);
  EXPECT_THROW(c1->SetChild(c1), core::Error);
  delete c2;
  EXPECT_EQ(c1->Child(), nullptr);
  EXPECT_EQ(band->BandNumber(), 6);
  EXPECT_EQ(c1->BandNumber(), 14);
}

TEST_F(ReportModel, PageGeometry) {
  page->SetLeftMargin(10);
  page->SetRightMargin(20);
  page->SetTopMargin(30);
  page->SetBottomMargin(40);
  page->SetOrientation(TPrinterOrientation::poLandscape);
  EXPECT_EQ(page->PaperWidth(), 297);
  EXPECT_EQ(page->PaperHeight(), 210);
  EXPECT_EQ(page->LeftMargin(), 30);
  EXPECT_EQ(page->RightMargin(), 40);
  EXPECT_EQ(page->TopMargin(), 20);
  EXPECT_EQ(page->BottomMargin(), 10);
  page->SetOrientation(TPrinterOrientation::poPortrait);
  EXPECT_EQ(page->LeftMargin(), 10);
  EXPECT_EQ(page->RightMargin(), 20);
  EXPECT_EQ(page->TopMargin(), 30);
  EXPECT_EQ(page->BottomMargin(), 40);
  page->SetPaperWidth(100);
  EXPECT_EQ(page->PaperSize(), 256);
  EXPECT_EQ(page->Width(), 378);
  page->SetPaperSize(9);
  page->SetLeftMargin(10);
  page->SetRightMargin(10);
  page->SetColumns(3);
  EXPECT_NEAR(page->ColumnWidth(), 63.3333333, 1e-6);
  EXPECT_EQ(page->ColumnPositions()->Lines(),
            (std::vector<std::string>{"0", "63.3333333333333", "126.666666666667"}));
  auto* line = new TqdrLineView(band);
  line->SetBounds(0, 0, 100, 0.5);
  line->FitToEdge();
  EXPECT_EQ(line->Height(), 0);
  EXPECT_EQ(line->Frame()->Typ(), frame_typ::ftTop);
}

TEST_F(ReportModel, AlignChildren) {
  band->SetBounds(0, 0, 500, 100);
  auto* a = new TqdrMemoView(band);
  a->SetBounds(50, 0, 100, 20);
  a->SetAlign(TqdrAlign::baLeft);
  auto* b = new TqdrMemoView(band);
  b->SetBounds(300, 0, 50, 20);
  b->SetAlign(TqdrAlign::baRight);
  auto* c = new TqdrMemoView(band);
  c->SetBounds(0, 50, 10, 10);
  c->SetAlign(TqdrAlign::baClient);
  band->AlignChildren();
  EXPECT_EQ(a->Left(), 0);
  EXPECT_EQ(b->Left(), 450);
  EXPECT_EQ(c->Width(), 500);
  EXPECT_EQ(c->Height(), 100);
}

// A template with every registered component class.
void BuildEverything(TqdrReport& r) {
  auto* p = new TqdrReportPage(&r);
  p->SetName("Page1");
  p->SetOrientation(TPrinterOrientation::poLandscape);
  p->SetColumns(2);
  p->HGuides()->SetText("1\r\n2");
  auto* d = new TqdrDialogPage(&r);
  d->SetName("Dialog1");
  d->SetCaption("Ask");
  const char* bands[] = {
      "TqdrMasterData",  "TqdrDetailData",  "TqdrSubdetailData", "TqdrDataBand4",
      "TqdrDataBand5",   "TqdrDataBand6",   "TqdrHeader",        "TqdrFooter",
      "TqdrPageHeader",  "TqdrPageFooter",  "TqdrColumnHeader",  "TqdrColumnFooter",
      "TqdrGroupHeader", "TqdrGroupFooter", "TqdrReportTitle",   "TqdrReportSummary",
      "TqdrChild",       "TqdrOverlay",     "TqdrNullBand"};
  double top = 0;
  for (const char* cls : bands) {
    auto* b = static_cast<TqdrBand*>(core::CreateObject(cls, p));
    b->CreateUniqueName();
    b->SetTop(top += 20);
    b->SetHeight(18.5);
  }
  auto* master = static_cast<TqdrMasterData*>(r.FindObject("MasterData1"));
  master->SetRowCount(3);
  master->SetChild(static_cast<TqdrChild*>(r.FindObject("Child1")));
  static_cast<TqdrGroupHeader*>(r.FindObject("GroupHeader1"))->SetCondition("[a] > \"b\"");
  const char* views[] = {"TqdrMemoView",  "TqdrSysMemoView",    "TqdrCustomMemoView",
                         "TqdrLineView",  "TqdrCustomLineView", "TqdrPictureView",
                         "TqdrShapeView", "TqdrSubreport"};
  for (const char* cls : views) {
    auto* v = static_cast<TqdrView*>(core::CreateObject(cls, master));
    v->CreateUniqueName();
    v->SetBounds(1.25, 2.5, 30, 40);
    v->SetTagStr("标签");
  }
  auto* memo = static_cast<TqdrMemoView*>(r.FindObject("Memo1"));
  memo->SetText("第一行\r\n\"two\" <3>");
  memo->SetHAlign(TqdrHAlign::haCenter);
  memo->Highlight()->SetCondition("Value > 0");
  memo->Highlight()->SetActive(true);
  memo->DisplayFormat()->SetKind(TqdrFormatKind::fkNumeric);
  memo->DisplayFormat()->SetFormatStr("%2.2f");
  memo->SetFlowTo(static_cast<TqdrCustomMemoView*>(r.FindObject("SysMemo1")));
  memo->Font()->SetStyle(font_style::fsBold | font_style::fsItalic);
  static_cast<TqdrShapeView*>(r.FindObject("Shape1"))->SetShape(TqdrShapeKind::skEllipse);
  static_cast<TqdrSubreport*>(r.FindObject("Subreport1"))->SetPage(p);
  auto* pic = static_cast<TqdrPictureView*>(r.FindObject("Picture1"));
  pic->Picture()->SetGraphic("TBitmap", std::string("BM\x01\x02\x03", 5));
  r.ReportOptions()->SetAuthor("作者");
  r.ReportOptions()->SetPassword("secret");
  r.ReportOptions()->Description()->SetText("a\r\nb");
  r.PreviewOptions()->SetButtons(1501);
  r.EngineOptions()->SetDoublePass(true);
  auto* var = r.Variables()->AddItem();
  var->SetName("Total");
  var->SetValue(core::Variant("[Sum]"));
  auto* style = r.Styles()->AddItem();
  style->SetName("Bold");
  style->SetColor(255);
}

TEST(Serializer, EveryClassRoundTrips) {
  TqdrReport r;
  r.EngineOptions()->SetNewSilentMode(TqdrSilentMode::simReThrow);
  BuildEverything(r);
  std::string first = Save(r);
  TqdrReport copy;
  copy.EngineOptions()->SetNewSilentMode(TqdrSilentMode::simReThrow);
  copy.OnPasswordRequest = [](std::string& entered) {
    entered = "secret";
    return true;
  };
  // Preview options are the application's: a template does not change them.
  copy.PreviewOptions()->SetButtons(1501);
  std::istringstream in(first);
  copy.LoadFromStream(in);
  EXPECT_TRUE(copy.Errors().empty()) << copy.ErrorsText();
  EXPECT_EQ(Save(copy), first);
  EXPECT_EQ(copy.ReportOptions()->Password(), "secret");
  auto* memo = static_cast<TqdrMemoView*>(copy.FindObject("Memo1"));
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->Text(), "第一行\r\n\"two\" <3>");
  EXPECT_EQ(memo->FlowTo(), copy.FindObject("SysMemo1"));
  EXPECT_EQ(static_cast<TqdrBand*>(copy.FindObject("MasterData1"))->Child(),
            copy.FindObject("Child1"));
  EXPECT_EQ(copy.Variables()->Count(), 1);
  EXPECT_EQ(copy.Styles()->Items(0)->Color(), 255);
  EXPECT_EQ(static_cast<TqdrPictureView*>(copy.FindObject("Picture1"))->Picture()->Data(),
            std::string("BM\x01\x02\x03", 5));
  // The password is stored scrambled.
  EXPECT_NE(first.find("ReportOptions.Password=\"i[Yh[j\""), std::string::npos);
}

TEST(Serializer, HandWrittenTemplate) {
  const std::string xml =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
      "<TqdrReport ScriptLanguage=\"VuredeVizivo\">\r\n"
      "  <TqdrReportPage Name=\"Page1\" PaperSize=\"9\">\r\n"
      "    <TqdrMasterData Name=\"MasterData1\" Height=\"20\">\r\n"
      "      <TqdrMemoView Name=\"M1\" l=\"1,5\" t=\"2.25\" w=\"3\" h=\"4\" u=\"A&#13;&#10;B\" "
      "HAlign=\"2\" Frame.Typ=\"15\" VAlign=\"1\" WordWrap=\"0\"/>\r\n"
      "      <TqdrMemoView Name=\"M2\" Left=\"1.5\" HAlign=\"haCenter\" Text=\"\xC0\xC1\"/>\r\n"
      "      <TqdrUnknownThing Name=\"X\"><TqdrMemoView Name=\"Inner\"/></TqdrUnknownThing>\r\n"
      "      <TqdrMemoView Name=\"M3\" Top=\"abc\" Left=\"7\" Name=\"M1\" Rotation=\"x\"/>\r\n"
      "    </TqdrMasterData>\r\n"
      "  </TqdrReportPage>\r\n"
      "</TqdrReport>\r\n";
  TqdrReport r;
  r.EngineOptions()->SetNewSilentMode(TqdrSilentMode::simSilent);
  std::istringstream in(xml);
  r.LoadFromStream(in);
  auto* m1 = static_cast<TqdrMemoView*>(r.FindObject("M1"));
  auto* m2 = static_cast<TqdrMemoView*>(r.FindObject("M2"));
  ASSERT_TRUE(m1 && m2);
  EXPECT_EQ(m1->Left(), 1.5);
  EXPECT_EQ(m1->Top(), 2.25);
  EXPECT_EQ(m1->Memo()->Lines(), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(m1->HAlign(), TqdrHAlign::haCenter);
  EXPECT_EQ(m1->Frame()->Typ(), frame_typ::ftAll);
  EXPECT_EQ(m1->VAlign(), TqdrVAlign::vaBottom);
  EXPECT_FALSE(m1->WordWrap());
  EXPECT_EQ(m2->Left(), 1.5);
  EXPECT_EQ(m2->HAlign(), TqdrHAlign::haCenter);
  EXPECT_EQ(m2->Text(), "");  // not valid UTF-8
  EXPECT_EQ(r.FindObject("Inner"), nullptr);
  auto* m3 = static_cast<TqdrMemoView*>(r.FindObject("M3"));
  ASSERT_NE(m3, nullptr);
  EXPECT_EQ(m3->Left(), 7);
  EXPECT_EQ(r.Errors(),
            (std::vector<std::string>{"'abc' is not a valid floating point value",
                                      "'x' is not a valid integer value", "Duplicate name",
                                      core::GbkToUtf8("\xB2\xBB\xC3\xF7\xB5\xC4\xC0\xE0\xB1\xF0") +
                                          " TqdrUnknownThing"}));
}

TEST(Serializer, DamagedTemplatesRaiseCleanly) {
  const std::string good = [] {
    TqdrReport r;
    BuildEverything(r);
    return Save(r);
  }();
  // Every truncation of a real template: an error or a partial tree, never a crash.
  for (size_t cut = 0; cut < good.size(); cut += 97) {
    TqdrReport r;
    r.EngineOptions()->SetNewSilentMode(TqdrSilentMode::simSilent);
    std::istringstream in(good.substr(0, cut));
    try {
      r.LoadFromStream(in);
    } catch (const core::Error& e) {
      EXPECT_STREQ(e.what(), "Invalid file format");
    }
  }
  TqdrReport r;
  r.EngineOptions()->SetNewSilentMode(TqdrSilentMode::simReThrow);
  std::istringstream bad("<?xml version=\"1.0\"?><TqdrReport><TqdrNope/></TqdrReport>");
  try {
    r.LoadFromStream(bad);
    ADD_FAILURE();
  } catch (const core::Error& e) {
    EXPECT_EQ(std::string(e.what()).rfind("发生下列的错误:", 0), 0u) << e.what();
  }
}

TEST_F(ReportModel, FontBeforeParentFontKeepsIt) {
  std::istringstream in(
      "<?xml version=\"1.0\"?><TqdrReport><TqdrReportPage Name=\"P\"><TqdrMasterData Name=\"B\">"
      "<TqdrMemoView Name=\"A\" Font.Name=\"Tahoma\" ParentFont=\"False\"/>"
      "<TqdrMemoView Name=\"C\"/></TqdrMasterData></TqdrReportPage></TqdrReport>");
  report.LoadFromStream(in);
  auto* a = static_cast<TqdrMemoView*>(report.FindObject("A"));
  auto* c = static_cast<TqdrMemoView*>(report.FindObject("C"));
  EXPECT_EQ(a->Font()->Name(), "Tahoma");
  EXPECT_FALSE(a->ParentFont());
  EXPECT_TRUE(c->ParentFont());
}

TEST_F(ReportModel, AssignCopiesProperties) {
  auto* a = new TqdrMemoView(band);
  a->SetName("A");
  a->SetText("x");
  a->SetGapX(5);
  auto* b = new TqdrMemoView(band);
  b->SetName("B");
  b->Assign(a);
  EXPECT_EQ(b->Name(), "B");
  EXPECT_EQ(b->Text(), "x");
  EXPECT_EQ(b->GapX(), 5);
}

TEST_F(ReportModel, CompactForm) {
  auto* m = new TqdrMemoView(band);
  auto* base = new TqdrMemoView(band);
  m->SetBounds(10, 20, 30, 40);
  m->SetText("hi");
  m->SetHAlign(TqdrHAlign::haRight);
  m->SetWordWrap(false);
  EXPECT_EQ(m->Diff(base),
            " l=\"10\" t=\"20\" w=\"30\" h=\"40\" HAlign=\"1\" u=\"hi\" WordWrap=\"0\"");
  auto* copy = new TqdrMemoView(band);
  TqdrXMLSerializer s(&report);
  s.ReadProperties(copy, m->Diff(base));
  EXPECT_EQ(copy->Diff(base), m->Diff(base));
}

TEST(Options, DefaultsAndSilentMode) {
  TqdrReport r;
  EXPECT_TRUE(r.EngineOptions()->ConvertNulls());
  EXPECT_EQ(r.EngineOptions()->MaxMemSize(), 10);
  EXPECT_EQ(r.PreviewOptions()->Buttons(), 4095u);
  EXPECT_EQ(r.PrintOptions()->Printer(), "预设");
  r.EngineOptions()->SetSilentMode(true);
  EXPECT_EQ(r.EngineOptions()->NewSilentMode(), TqdrSilentMode::simSilent);
  r.EngineOptions()->SetNewSilentMode(TqdrSilentMode::simReThrow);
  EXPECT_FALSE(r.EngineOptions()->SilentMode());
  EXPECT_THROW(r.ShowErrorMessage("boom"), core::Error);
  r.EngineOptions()->SetNewSilentMode(TqdrSilentMode::simMessageBoxes);
  MessageBoxes().Recorded.clear();
  r.ShowErrorMessage("boom");
  EXPECT_EQ(MessageBoxes().Recorded, (std::vector<std::string>{"错误: boom"}));
  r.PreviewOptions()->SetModal(false);
  r.EngineOptions()->SetMaxMemSize(77);
  r.EngineOptions()->SetDoublePass(true);
  r.Clear();
  EXPECT_FALSE(r.PreviewOptions()->Modal());
  EXPECT_EQ(r.EngineOptions()->MaxMemSize(), 77);
  EXPECT_FALSE(r.EngineOptions()->DoublePass());
  r.AddError("b");
  r.AddError("a");
  r.AddError("B");
  EXPECT_EQ(r.ErrorsText(), "a\r\nb");
}

TEST(Options, ProgressProtocol) {
  TqdrReport r;
  int calls = 0;
  r.OnProgress = [&](TqdrReport*, int, int) { ++calls; };
  r.Progress(pkPrinting, 1);
  EXPECT_EQ(calls, 1);
  r.EngineOptions()->SetUseThreadSafe(true);
  r.Progress(pkPrinting, 2);
  EXPECT_EQ(calls, 1);
}

TEST(Resources, LookupStoreAddLines) {
  TqdrResources res;
  EXPECT_EQ(res.Lookup("prDupl"), "Duplicate name");
  EXPECT_EQ(res.Lookup("clErrors"), "发生下列的错误:");
  EXPECT_EQ(res.Lookup("noSuchKey"), "noSuchKey");
  EXPECT_EQ(res.Lookup(101), "打印");
  int before = res.Count();
  res.AddLines("k1=one\r\nk1=two\n=x\ny=\n");
  EXPECT_EQ(res.Lookup("K1"), "two");
  EXPECT_EQ(res.Count(), before + 1);
  EXPECT_EQ(res.Lookup("y"), "y");
}

TEST(Reflection, ReportClassesDescribeThemselves) {
  RegisterReportClasses();
  const core::ClassInfo* memo = core::FindClass("tqdrmemoview");
  ASSERT_NE(memo, nullptr);
  const core::PropInfo* gap = memo->FindProperty("gapx");
  ASSERT_NE(gap, nullptr);
  EXPECT_EQ(gap->kind, core::PropKind::Float);
  const core::PropInfo* halign = memo->FindProperty("HAlign");
  EXPECT_EQ(halign->enumType->members[2], "haCenter");
  EXPECT_EQ(memo->FindProperty("DataField")->kind, core::PropKind::String);
  EXPECT_EQ(memo->FindProperty("DataField"),
            core::FindClass("TqdrMemoView")->FindProperty("datafield"));
  EXPECT_EQ(core::FindClass("TqdrDataSet"), nullptr);  // not creatable from templates
  EXPECT_EQ(core::FindClass("TqdrReport")->FindProperty("Datasets")->kind,
            core::PropKind::Collection);
}

}  // namespace
}  // namespace report

namespace report {
namespace {

TEST(Serializer, ReferencesResolveToFormDatasets) {
  // A dataset that lives outside the report, as on the application's form.
  TqdrUserDataSet formDataSet;
  formDataSet.SetName("QDDBBRXX");
  TqdrReport r;
  auto* page = new TqdrReportPage(&r);
  page->SetName("Page1");
  auto* band = new TqdrMasterData(page);
  band->SetName("MasterData1");
  band->SetDataSet(&formDataSet);
  r.SetDataSet(&formDataSet);
  r.Datasets()->AddDataSet(&formDataSet);
  std::string xml = Save(r);
  EXPECT_NE(
      ElementLine(xml, "TqdrMasterData").find("DataSet=\"QDDBBRXX\" DataSetName=\"QDDBBRXX\""),
      std::string::npos);
  TqdrReport copy;
  copy.EngineOptions()->SetNewSilentMode(TqdrSilentMode::simReThrow);
  std::istringstream in(xml);
  copy.LoadFromStream(in);
  EXPECT_EQ(static_cast<TqdrBand*>(copy.FindObject("MasterData1"))->DataSet(), &formDataSet);
  EXPECT_EQ(copy.DataSet(), &formDataSet);
  ASSERT_EQ(copy.Datasets()->Count(), 1);
  EXPECT_EQ(copy.Datasets()->Items(0)->DataSet(), &formDataSet);
  EXPECT_EQ(ElementLine(Save(copy), "TqdrMasterData"), ElementLine(xml, "TqdrMasterData"));
}

TEST(Serializer, FreedDatasetLeavesEveryList) {
  TqdrReport r;
  auto* page = new TqdrReportPage(&r);
  auto* memo = new TqdrMemoView(new TqdrMasterData(page));
  {
    TqdrUserDataSet ds;
    ds.SetName("DS1");
    EXPECT_EQ(ds.UserName(), "DS1");
    ds.SetName("DS2");
    EXPECT_EQ(ds.UserName(), "DS2");
    EXPECT_THROW(ds.SetUserName("  "), core::Error);
    memo->SetDataSet(&ds);
    r.Datasets()->AddDataSet(&ds);
    EXPECT_EQ(memo->DataSetName(), "DS2");
  }
  EXPECT_EQ(memo->DataSet(), nullptr);
  EXPECT_EQ(memo->DataSetName(), "DS2");
  EXPECT_EQ(r.Datasets()->Count(), 0);
}

TEST(Styles, ApplyAndReplace) {
  TqdrReport r;
  auto* memo = new TqdrMemoView(new TqdrMasterData(new TqdrReportPage(&r)));
  TqdrStyles styles;
  auto* s = styles.AddItem();
  s->SetName("Red");
  s->SetColor(255);
  s->Font()->SetSize(16);
  s->Frame()->SetTyp(frame_typ::ftAll);
  r.SetStyles(styles);
  memo->SetStyle("red");
  EXPECT_EQ(memo->Color(), 255);
  EXPECT_EQ(memo->Font()->Size(), 16);
  EXPECT_FALSE(memo->ParentFont());
  EXPECT_EQ(memo->Frame()->Typ(), frame_typ::ftAll);
  memo->SetStyle("none");
  EXPECT_EQ(memo->Color(), 255);
  EXPECT_EQ(memo->Style(), "none");
  r.SetStyles(TqdrStyles());
  EXPECT_EQ(memo->Style(), "");
}

TEST(Settings, IniFileKinds) {
  TqdrReport r;
  auto registry = r.GetIniFile();
  EXPECT_EQ(registry->group(), "Software/Morvane");
  std::string path = ::testing::TempDir() + "qdr_settings.ini";
  r.SetIniFile(path);
  {
    auto ini = r.GetIniFile();
    ini->setValue("Preview/Zoom", 2);
  }
  auto again = r.GetIniFile();
  EXPECT_EQ(again->fileName().toStdString(), path);
  EXPECT_EQ(again->value("Preview/Zoom").toInt(), 2);
  std::remove(path.c_str());
}

}  // namespace
}  // namespace report

namespace report {
namespace {

TEST(Styles, StyleFileRoundTrip) {
  TqdrReport r;
  auto* s = r.Styles()->AddItem();
  s->SetName("Title");
  s->SetColor(16711680);
  std::stringstream file;
  r.SaveStyles(file, "Mine");
  EXPECT_NE(file.str().find("<style Name=\"Mine\">\r\n  <item Name=\"Title\" Color=\"16711680\" "),
            std::string::npos)
      << file.str();
  TqdrReport other;
  auto* memo = new TqdrMemoView(new TqdrMasterData(new TqdrReportPage(&other)));
  memo->SetStyle("Gone");
  other.LoadStyles(file);
  ASSERT_EQ(other.Styles()->Count(), 1);
  EXPECT_EQ(other.Styles()->Items(0)->Color(), 16711680);
  EXPECT_EQ(memo->Style(), "");
}

TEST(Serializer, ComponentTextRoundTrip) {
  TqdrReport r;
  auto* band = new TqdrMasterData(new TqdrReportPage(&r));
  auto* memo = new TqdrMemoView(band);
  memo->SetName("Memo1");
  memo->SetBounds(1, 2, 3, 4);
  memo->SetText("x");
  TqdrXMLSerializer s(&r);
  std::string text = s.WriteComponentText(memo);
  EXPECT_EQ(text,
            "TqdrMemoView Name=\"Memo1\" Left=\"1\" Top=\"2\" Width=\"3\" Height=\"4\" Text=\"x\"");
  memo->SetName("Old");
  TqdrComponent* copy = s.ReadComponentText(band, text);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Name(), "Memo1");
  EXPECT_EQ(static_cast<TqdrMemoView*>(copy)->Text(), "x");
  EXPECT_EQ(copy->Parent(), band);
  EXPECT_EQ(s.ReadComponentText(band, "TqdrNoSuch a=\"1\""), nullptr);
  EXPECT_EQ(s.Errors().size(), 1u);
}

}  // namespace
}  // namespace report

namespace report {
namespace {

TEST(ReportObject, FilesVersionAndComponentText) {
  TqdrReport r;
  r.SetVersion("9.9");
  EXPECT_EQ(r.Version(), "3.23.9");
  new TqdrReportPage(&r);
  EXPECT_FALSE(r.LoadFromFile("/nonexistent/x.qr3"));
  EXPECT_TRUE(r.Objects().empty());
  EXPECT_THROW(r.LoadFromFile("/nonexistent/x.qr3", true), core::Error);
  auto* page = new TqdrReportPage(&r);
  page->SetName("Page1");
  auto* memo = new TqdrMemoView(new TqdrMasterData(page));
  memo->SetText("Page of [totalpages]");
  memo->SetTotalPages(7);
  EXPECT_EQ(memo->GetComponentText(), "Page of 7");
  memo->SetAllowExpressions(false);
  EXPECT_EQ(memo->GetComponentText(), "Page of [totalpages]");
  std::string path = ::testing::TempDir() + "qdr_roundtrip.qr3";
  r.SaveToFile(path);
  TqdrReport back;
  EXPECT_TRUE(back.LoadFromFile(path));
  EXPECT_EQ(back.FileName(), path);
  ASSERT_NE(back.FindObject("Page1"), nullptr);
  std::remove(path.c_str());
}

}  // namespace
}  // namespace report

namespace report {
namespace {

TEST(Options, ConnectionNameAsksTheApplication) {
  TqdrReport r;
  std::vector<std::string> got;
  r.OnConnection = [&](const std::string& s) { got.push_back(s); };
  r.ReadMachineSetting = [](const std::string& key,
                            const std::string& name) -> std::optional<std::string> {
    if (key != "\\Software\\Morvane\\Connections") return std::nullopt;
    return name == "main" ? std::string("DSN=his") : std::string();
  };
  r.ReportOptions()->SetConnectionName("main");
  r.ReportOptions()->SetConnectionName("other");
  r.ReportOptions()->SetConnectionName("");
  EXPECT_EQ(got, (std::vector<std::string>{"DSN=his", ""}));
}

}  // namespace
}  // namespace report
