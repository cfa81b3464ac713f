// Prepared pages store: naming, recording, rebuilding, swapping and .qp3 files.
#include "engine/preview_pages.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "core/error.h"
#include "report/band.h"
#include "report/options.h"
#include "report/page.h"
#include "report/report.h"
#include "report/view.h"
#include "report/xml_document.h"

using namespace report;
using engine::TqdrPreviewPages;

namespace {

class FakeEngine : public engine::TqdrEngineState {
 public:
  bool Preparing() const override { return preparing; }
  bool FinalPass() const override { return finalPass; }
  double CurY() const override { return curY; }
  bool preparing = false, finalPass = true;
  double curY = 0;
};

// A template with one page: a master band holding two memos and a line.
class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterReportClasses();
    report = std::make_unique<TqdrReport>();
    page = new TqdrReportPage(report.get());
    page->SetName("Page1");
    band = new TqdrMasterData(page);
    band->SetName("MasterData1");
    band->SetBounds(0, 20, 700, 100);
    memo1 = new TqdrMemoView(band);
    memo1->SetName("Memo1");
    memo1->SetBounds(10, 5, 200, 20);
    memo2 = new TqdrMemoView(band);
    memo2->SetName("Memo2");
    memo2->SetBounds(250, 5, 200, 20);
    line = new TqdrLineView(band);
    line->SetName("Line1");
    line->SetBounds(10, 40, 300, 0);
    store = std::make_unique<TqdrPreviewPages>(report.get());
    store->SetEngine(&engine);
  }

  void Open() {
    store->ClearAll();
    store->OpenStore();
    store->RegisterSourcePage(page);
    store->MarkPassStart();
    engine.preparing = true;
  }
  void Close() {
    store->CloseStore();
    engine.preparing = false;
  }
  // One page per record: the band at `top`, texts from the record number.
  void PreparePages(int count) {
    Open();
    for (int i = 0; i < count; ++i) {
      store->StartOutputPage(page);
      band->SetTop(30 + i);
      memo1->SetText("name " + std::to_string(i));
      memo2->SetText(i % 2 ? "" : "odd");
      store->AppendBand(band);
    }
    Close();
  }
  TqdrMemoView* MemoOn(TqdrPage* p, const std::string& name) {
    for (TqdrComponent* c : p->AllObjects())
      if (c->Name() == name) return dynamic_cast<TqdrMemoView*>(c);
    return nullptr;
  }
  std::string Saved() {
    std::ostringstream out;
    store->SaveToStream(out);
    return out.str();
  }

  FakeEngine engine;
  std::unique_ptr<TqdrReport> report;
  TqdrReportPage* page;
  TqdrMasterData* band;
  TqdrMemoView *memo1, *memo2;
  TqdrLineView* line;
  std::unique_ptr<TqdrPreviewPages> store;
};

TEST(DictionaryTest, FreeNumberSearchHalvesThenCountsUp) {
  struct Case {
    const char* name;
    std::vector<std::string> present;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {"empty", {}, "m1"},
      {"after first", {"m1"}, "m2"},
      {"other prefix does not count", {"b1", "b2"}, "m1"},
      {"halving stops at a used number", {"m1", "m2", "m3", "m156"}, "m157"},
      {"halving stops at the used 2", {"m2"}, "m3"},
  };
  for (const Case& c : cases) {
    engine::TqdrDictionary d;
    for (const std::string& n : c.present) d.Add(n, "Page0." + n, nullptr);
    EXPECT_EQ(d.CreateUniqueName("m"), c.expected) << c.name;
  }
}

TEST_F(StoreTest, SourceObjectsGetShortNames) {
  Open();
  const auto& d = store->Dictionary();
  ASSERT_NE(d.Find("b1"), nullptr);
  EXPECT_EQ(d.Find("b1")->fullName, "Page0.MasterData1");
  ASSERT_NE(d.Find("m1"), nullptr);
  EXPECT_EQ(d.Find("m1")->fullName, "Page0.Memo1");
  ASSERT_NE(d.Find("m2"), nullptr);
  EXPECT_EQ(d.Find("m2")->fullName, "Page0.Memo2");
  ASSERT_NE(d.Find("l1"), nullptr);
  EXPECT_EQ(d.Find("l1")->fullName, "Page0.Line1");
  EXPECT_NE(d.Find("m1")->source, memo1) << "the dictionary names the copy, not the template";
  Close();
}

TEST_F(StoreTest, PagesRebuildWithPositionsAndTexts) {
  PreparePages(3);
  ASSERT_EQ(store->PageCount(), 3);
  TqdrXMLItem* rec = store->Document()->Root()->FindItem("previewpages")->Items(1);
  EXPECT_EQ(rec->Name, "page0");
  ASSERT_EQ(rec->Count(), 1);
  EXPECT_EQ(rec->Items(0)->Name, "b1");
  EXPECT_EQ(rec->Items(0)->Count(), 3);
  for (int i = 0; i < 3; ++i) {
    TqdrPage* p = store->PageAt(i);
    ASSERT_NE(p, nullptr);
    TqdrMemoView* m = MemoOn(p, "Memo1");
    ASSERT_NE(m, nullptr) << i;
    EXPECT_EQ(m->Text(), "name " + std::to_string(i));
    EXPECT_DOUBLE_EQ(m->Left(), 10);
    EXPECT_DOUBLE_EQ(m->AbsTop(), 30 + i + 5);
    EXPECT_EQ(MemoOn(p, "Memo2")->Text(), i % 2 ? "" : "odd");
  }
  EXPECT_EQ(store->PageAt(3), nullptr);
  int w = -1, h = -1;
  store->PageSizeAt(0, w, h);
  EXPECT_EQ(w, std::lround(page->Width()));
  store->PageSizeAt(7, w, h);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 0);
}

TEST_F(StoreTest, InvisibleObjectsAreNotRecorded) {
  Open();
  store->StartOutputPage(page);
  memo2->SetVisible(false);
  store->AppendBand(band);
  Close();
  EXPECT_EQ(MemoOn(store->PageAt(0), "Memo2"), nullptr);
  EXPECT_NE(MemoOn(store->PageAt(0), "Memo1"), nullptr);
}

TEST_F(StoreTest, FirstPassKeepsOnlyGeometry) {
  engine.finalPass = false;
  Open();
  store->StartOutputPage(page);
  memo1->SetText("first pass text");
  memo1->SetLeft(33);
  store->AppendBand(band);
  Close();
  TqdrXMLItem* b = store->Document()->Root()->FindItem("previewpages")->Items(0)->Items(0);
  EXPECT_TRUE(b->HasProp("t"));
  TqdrXMLItem* m = b->Items(0);
  EXPECT_FALSE(m->HasProp("u"));
  EXPECT_EQ(m->Prop("l"), "33");
  EXPECT_FALSE(m->HasProp("t")) << "unchanged top is no difference";
}

TEST_F(StoreTest, RuntimeObjectsAreNamedOnTheLastSourcePage) {
  Open();
  TqdrMemoView extra(nullptr);
  extra.SetBounds(1, 2, 3, 4);
  store->RegisterRuntimeObject(&extra);
  const auto* e = store->Dictionary().Find("m3");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->fullName, "Page0.Memo3");
  Close();
}

TEST_F(StoreTest, SaveAndLoadRoundTrip) {
  PreparePages(4);
  store->SetCurrentPage(1);
  store->Outline()->AddItem("chapter <1>", 40);
  store->Outline()->AddItem("section", 50);
  store->Outline()->LevelRoot();
  store->SetCurrentPage(2);
  engine.curY = 12.6;
  store->AddAnchor("Here");
  report->PreviewOptions()->SetOutlineWidth(180);
  const std::string text = Saved();
  EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"utf-8\"?><preparedreport>", 0), 0u);
  EXPECT_NE(text.find("<m1 name=\"Page0.Memo1\"/>"), std::string::npos);
  EXPECT_NE(text.find("OutlineWidth=\"180\""), std::string::npos);

  TqdrReport other;
  TqdrPreviewPages loaded(&other);
  std::istringstream in(text);
  loaded.LoadFromStream(in);
  EXPECT_EQ(other.PreviewOptions()->OutlineWidth(), 180);
  ASSERT_EQ(loaded.PageCount(), 4);
  for (int i = 0; i < 4; ++i) {
    TqdrMemoView* m = MemoOn(loaded.PageAt(i), "Memo1");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Text(), "name " + std::to_string(i));
    EXPECT_DOUBLE_EQ(m->AbsTop(), 35 + i);
  }
  engine::TqdrOutline* o = loaded.Outline();
  ASSERT_EQ(o->ItemCount(), 1);
  std::string t;
  int p = -1, top = -1;
  o->GetItem(0, t, p, top);
  EXPECT_EQ(t, "chapter <1>");
  EXPECT_EQ(p, 1);
  EXPECT_EQ(top, 40);
  o->LevelDown(0);
  EXPECT_EQ(o->ItemCount(), 1);
  EXPECT_EQ(loaded.GetAnchorPage("here"), 3);
  EXPECT_EQ(loaded.GetAnchorPage("nowhere"), 1);

  // Drawing the rebuilt pages gives the same pixels as drawing the originals.
  auto draw = [](TqdrPreviewPages& s, int index) {
    QImage img(800, 1100, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter painter(&img);
    s.DrawPageAt(index, painter, 1, 1, 0, 0);
    painter.end();
    return img;
  };
  EXPECT_TRUE(draw(*store, 2) == draw(loaded, 2));
  // Saving again gives the same file.
  std::ostringstream again;
  loaded.SaveToStream(again);
  EXPECT_EQ(again.str(), text);
}

TEST_F(StoreTest, PartialLoadingLeavesSwappablePagesOnDisk) {
  PreparePages(4);
  std::istringstream in(Saved());
  TqdrReport other;
  TqdrPreviewPages loaded(&other);
  loaded.LoadFromStream(in, true);
  TqdrXMLItem* pages = loaded.Document()->Root()->FindItem("previewpages");
  EXPECT_TRUE(pages->Items(1)->Loaded());
  EXPECT_FALSE(pages->Items(2)->Loaded());
  EXPECT_EQ(MemoOn(loaded.PageAt(3), "Memo1")->Text(), "name 3");
  EXPECT_EQ(MemoOn(loaded.PageAt(2), "Memo1")->Text(), "name 2");
}

TEST_F(StoreTest, ReplacedPageIsStoredInFullAndLoadsWithItsEdits) {
  PreparePages(2);
  TqdrPage* p = store->PageAt(1);
  MemoOn(p, "Memo1")->SetText("edited");
  store->ReplacePage(1, p);
  EXPECT_EQ(MemoOn(store->PageAt(1), "Memo1")->Text(), "edited");
  const std::string text = Saved();
  EXPECT_NE(text.find("<TqdrReportPage"), std::string::npos);
  TqdrReport other;
  TqdrPreviewPages loaded(&other);
  std::istringstream in(text);
  loaded.LoadFromStream(in);
  EXPECT_EQ(MemoOn(loaded.PageAt(1), "Memo1")->Text(), "edited");
  EXPECT_EQ(MemoOn(loaded.PageAt(0), "Memo1")->Text(), "name 0");
}

TEST_F(StoreTest, HitTestFindsTheViewUnderThePoint) {
  PreparePages(2);
  std::vector<std::string> over;
  store->OnMouseOverObject = [&](TqdrView* v, int&) { over.push_back(v->Name()); };
  store->OnClickObject = [&](TqdrView* v, int, int, bool& modified) {
    static_cast<TqdrMemoView*>(v)->SetText("clicked");
    modified = true;
  };
  int cursor = -1;
  // Page 1 has the band at top 31, Memo1 at 10..210 x 36..56; scale 2, offset 100.
  EXPECT_EQ(store->HitTest(1, 100 + 2 * 50, 100 + 2 * 40, false, cursor, 2, 100, 100)->Name(),
            "Memo1");
  EXPECT_EQ(store->HitTest(1, 100 + 2 * 5, 100 + 2 * 40, false, cursor, 2, 100, 100), nullptr);
  EXPECT_EQ(store->HitTest(1, 100 + 2 * 300, 100 + 2 * 40, false, cursor, 2, 100, 100)->Name(),
            "Memo2");
  EXPECT_EQ(over, (std::vector<std::string>{"Memo1", "Memo2"}));
  engine.preparing = true;
  EXPECT_EQ(store->HitTest(1, 200, 180, true, cursor, 2, 100, 100), nullptr);
  engine.preparing = false;
  store->HitTest(1, 200, 180, true, cursor, 2, 100, 100);
  EXPECT_EQ(MemoOn(store->PageAt(1), "Memo1")->Text(), "clicked");
  EXPECT_EQ(store->Document()->Root()->FindItem("previewpages")->Items(1)->Name, "TqdrReportPage");
}

TEST_F(StoreTest, InsertAndRemovePages) {
  PreparePages(1);
  store->RemovePage(0);
  EXPECT_EQ(store->PageCount(), 1) << "the last page stays";
  store->InsertEmptyPage(0);
  ASSERT_EQ(store->PageCount(), 2);
  EXPECT_EQ(MemoOn(store->PageAt(0), "Memo1"), nullptr);
  EXPECT_EQ(MemoOn(store->PageAt(1), "Memo1")->Text(), "name 0");
  store->RemovePage(0);
  EXPECT_EQ(MemoOn(store->PageAt(0), "Memo1")->Text(), "name 0");
}

TEST_F(StoreTest, AppendPagesOfAnotherStore) {
  PreparePages(2);
  TqdrReport otherReport;
  TqdrPreviewPages target(&otherReport);
  target.AppendPagesOf(*store);
  target.AppendPagesOf(*store);
  ASSERT_EQ(target.PageCount(), 4);
  EXPECT_EQ(MemoOn(target.PageAt(3), "Memo1")->Text(), "name 1");
}

TEST_F(StoreTest, CutAndPasteShiftRecords) {
  Open();
  store->StartOutputPage(page);
  store->AppendBand(band);  // t=20, l absent (unchanged)
  band->SetTop(60);
  store->AppendBand(band);
  store->CutFrom(0);
  EXPECT_EQ(store->PageObjectCount(), 0);
  store->PasteAt(5, 100);
  ASSERT_EQ(store->PageObjectCount(), 2);
  TqdrXMLItem* rec = store->Document()->Root()->FindItem("previewpages")->Items(0);
  EXPECT_EQ(rec->Items(0)->Prop("l"), "5");
  EXPECT_EQ(rec->Items(0)->Prop("t"), "100");
  EXPECT_EQ(rec->Items(1)->Prop("l"), "5");
  EXPECT_EQ(rec->Items(1)->Prop("t"), "140");
  EXPECT_EQ(store->Document()->Root()->Find("cutted"), -1);
  EXPECT_DOUBLE_EQ(store->PageContentBottom(), 240);
  EXPECT_TRUE(store->PageHasBand(band));
  TqdrPageFooter footer(page);
  EXPECT_FALSE(store->PageHasBand(&footer));
  Close();
}

TEST_F(StoreTest, RewindToPassStart) {
  struct Case {
    const char* name;
    int pagesBeforeMark;
    int expectedPages;
  };
  for (const Case& c : std::vector<Case>{{"no mark", 0, 0}, {"after two pages", 2, 2}}) {
    store->ClearAll();
    store->OpenStore();
    store->RegisterSourcePage(page);
    for (int i = 0; i < c.pagesBeforeMark; ++i) {
      store->StartOutputPage(page);
      store->AppendBand(band);
    }
    store->MarkPassStart();
    if (c.pagesBeforeMark) store->AppendBand(band);  // added to the marked page
    for (int i = 0; i < 3; ++i) {
      store->StartOutputPage(page);
      store->AppendBand(band);
      store->AddAnchor("a" + std::to_string(i));
      store->Outline()->AddItem("o", 0);
    }
    store->RewindToPassStart();
    EXPECT_EQ(store->PageCount(), c.expectedPages) << c.name;
    EXPECT_EQ(store->CurrentPage(), c.expectedPages - 1) << c.name;
    if (c.pagesBeforeMark) {
      EXPECT_EQ(store->PageObjectCount(), 1) << c.name;
    }
    EXPECT_EQ(store->GetAnchorPage("a2"), c.pagesBeforeMark + 3) << c.name << ": anchors survive";
    store->CloseStore();
  }
}

TEST_F(StoreTest, OutlineShiftMovesFollowingItemToNextPage) {
  PreparePages(2);
  engine::TqdrOutline* o = store->Outline();
  store->SetCurrentPage(0);
  o->AddItem("a", 10);
  o->LevelUp();
  o->AddItem("b", 500);
  o->AddItem("b.1", 520);
  o->LevelRoot();
  TqdrXMLItem* outline = store->OutlineItem();
  o->ShiftOutline(outline->Items(0), 30);
  std::string t;
  int p = -1, top = -1;
  o->GetItem(1, t, p, top);
  EXPECT_EQ(p, 1);
  EXPECT_EQ(top, 30);
  o->LevelDown(1);
  o->GetItem(0, t, p, top);
  EXPECT_EQ(t, "b.1");
  EXPECT_EQ(p, 1);
  EXPECT_EQ(top, 50);
}

TEST_F(StoreTest, FileCacheSwapsFinishedPages) {
  struct Case {
    const char* name;
    bool useFileCache;
    bool swapped;
  };
  for (const Case& c : std::vector<Case>{{"off", false, false}, {"on", true, true}}) {
    report->EngineOptions()->SetUseFileCache(c.useFileCache);
    report->EngineOptions()->SetMaxMemSize(c.useFileCache ? 0 : 10);
    PreparePages(c.useFileCache ? 20 : 1000);
    TqdrXMLItem* pages = store->Document()->Root()->FindItem("previewpages");
    EXPECT_TRUE(pages->Items(0)->Loaded() && pages->Items(1)->Loaded()) << c.name;
    EXPECT_EQ(!pages->Items(5)->Loaded(), c.swapped) << c.name;
    EXPECT_TRUE(pages->Items(pages->Count() - 1)->Loaded()) << c.name;
    EXPECT_EQ(!store->Document()->TempFileName().empty(), c.swapped) << c.name;
    EXPECT_EQ(MemoOn(store->PageAt(5), "Memo1")->Text(), "name 5") << c.name;
    // A save writes swapped pages back from the temporary file.
    TqdrReport other;
    TqdrPreviewPages loaded(&other);
    std::istringstream in(Saved());
    loaded.LoadFromStream(in);
    EXPECT_EQ(MemoOn(loaded.PageAt(7), "Memo1")->Text(), "name 7") << c.name;
  }
}

TEST_F(StoreTest, UnwritableTempFolderIsAClearError) {
  report->EngineOptions()->SetUseFileCache(true);
  report->EngineOptions()->SetMaxMemSize(0);
  report->EngineOptions()->SetTempDir("/nonexistent/folder/for/pages");
  Open();
  try {
    for (int i = 0; i < 5; ++i) {
      store->StartOutputPage(page);
      store->AppendBand(band);
    }
    FAIL() << "no error";
  } catch (const core::Error& e) {
    EXPECT_NE(std::string(e.what()).find("/nonexistent/folder/for/pages"), std::string::npos);
  }
  // The fifth page is the first to swap one out (the first two and the last never go).
  EXPECT_EQ(store->PageCount(), 4);
  EXPECT_TRUE(store->Document()->Root()->FindItem("previewpages")->Items(2)->Loaded());
  EXPECT_NE(MemoOn(store->PageAt(2), "Memo1"), nullptr) << "pages written so far stay in memory";
  Close();
}

TEST_F(StoreTest, FileFunctions) {
  PreparePages(2);
  const std::string path =
      (std::filesystem::temp_directory_path() / "engine_store_test.qp3").string();
  store->SaveToFile(path);
  TqdrReport other;
  TqdrPreviewPages loaded(&other);
  EXPECT_TRUE(loaded.LoadFromFile(path));
  EXPECT_EQ(loaded.PageCount(), 2);
  std::filesystem::remove(path);
  EXPECT_FALSE(loaded.LoadFromFile(path));
  EXPECT_EQ(loaded.PageCount(), 2) << "a missing file leaves the store alone";
  EXPECT_THROW(loaded.LoadFromFile(path, true), core::Error);
}

TEST_F(StoreTest, DamagedFilesFailCleanly) {
  PreparePages(3);
  const std::string good = Saved();
  std::mt19937 rng(7);
  TqdrReport other;
  TqdrPreviewPages loaded(&other);
  int failures = 0;
  for (int round = 0; round < 400; ++round) {
    std::string bad = good;
    if (round % 2 == 0) {
      bad.resize(rng() % bad.size());
    } else {
      for (int k = 0; k < 4; ++k) bad[rng() % bad.size()] = "<>\"= /x0.9"[rng() % 10];
    }
    std::istringstream in(bad);
    try {
      loaded.LoadFromStream(in);
      for (int i = 0; i < loaded.PageCount(); ++i) {
        loaded.PageAt(i);
        int w, h;
        loaded.PageSizeAt(i, w, h);
      }
    } catch (const core::Error&) {
      ++failures;
    }
  }
  EXPECT_GT(failures, 0);
  // Well-formed documents whose parts do not fit together.
  const std::vector<std::pair<const char*, const char*>> odd = {
      {"record of a missing source page",
       "<previewpages><page7><m1 u=\"x\"/></page7></previewpages>"},
      {"dictionary into a missing page",
       "<previewpages><page0><m1/></page0></previewpages><dictionary><m1 name=\"Page9.Memo1\"/>"
       "</dictionary>"},
      {"dictionary entry of another form",
       "<previewpages><page0><m1/></page0></previewpages><dictionary><m1 Name=\"x\" a=\"b\"/>"
       "</dictionary>"},
      {"report and page classes as objects",
       "<previewpages><page0><TqdrReport/><TqdrReportPage/><TqdrNoSuchView l=\"1\"/></page0>"
       "</previewpages>"},
      {"full page of an unknown class", "<previewpages><TqdrNothing Width=\"10\"/></previewpages>"},
  };
  for (const auto& [name, body] : odd) {
    std::istringstream in(
        std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?><preparedreport>") + body +
        "</preparedreport>");
    loaded.LoadFromStream(in);
    ASSERT_EQ(loaded.PageCount(), 1) << name;
    TqdrPage* p = loaded.PageAt(0);
    ASSERT_NE(p, nullptr) << name;
    for (TqdrComponent* c : p->AllObjects())
      EXPECT_TRUE(dynamic_cast<TqdrReportComponent*>(c)) << name;
  }
  std::istringstream in("<?xml version=\"1.0\" encoding=\"utf-8\"?><templates/>");
  EXPECT_THROW(loaded.LoadFromStream(in), core::Error);
  EXPECT_EQ(loaded.PageCount(), 0);
}

}  // namespace
