// Band layout: shift trees, stretching with shifting, and splitting a band
// into parts, against a host that records every appended part.
#include "engine/band_layout.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/reflection.h"
#include "report/band.h"
#include "report/font.h"
#include "report/frame.h"
#include "report/view.h"

using namespace report;
using engine::TqdrBandLayout;
using engine::TqdrBandLayoutHost;

namespace {

// A memo of a text-mode page: the layout knows it by its class name only.
class DotMatrixMemo : public TqdrCustomMemoView {
  CORE_DECLARE_CLASS()
 public:
  using TqdrCustomMemoView::TqdrCustomMemoView;
};

}  // namespace

const core::ClassInfo* DotMatrixMemo::StaticClass() {
  static const core::ClassInfo* info =
      core::ClassBuilder<DotMatrixMemo>("TqdrDMPMemoView", TqdrCustomMemoView::StaticClass())
          .Done();
  return info;
}

namespace {

struct PlacedObject {
  std::string name;
  double top, height;
  std::vector<std::string> lines;  // memos only
};

struct Part {
  double left, top, height;
  std::vector<PlacedObject> objects;
  const PlacedObject* Find(const std::string& name) const {
    for (const PlacedObject& o : objects)
      if (o.name == name) return &o;
    return nullptr;
  }
};

// Columns from `columnTop` to `columnBottom`; NewColumn starts the next one.
class FakeHost : public TqdrBandLayoutHost {
 public:
  double FreeSpace() override { return columnBottom - curY; }
  double CurX() const override { return curX; }
  double CurY() const override { return curY; }
  void SetCurY(double y) override { curY = y; }
  void NewColumn() override {
    ++newColumns;
    curY = columnTop;
  }
  void AppendBand(TqdrBand& band) override {
    Part part{band.Left(), band.Top(), band.Height(), {}};
    for (TqdrComponent* c : band.Objects()) {
      PlacedObject o{c->Name(), c->Top(), c->Height(), {}};
      if (auto* memo = dynamic_cast<TqdrCustomMemoView*>(c)) o.lines = memo->Memo()->Lines();
      part.objects.push_back(o);
    }
    parts.push_back(part);
  }
  void AfterCalcHeight(TqdrBand& band) override {
    ++afterCalcHeight;
    heightAtAfterCalc = band.Height();
  }
  bool MergeSubreports(TqdrBand&) override {
    ++merges;
    return false;
  }

  double columnTop = 0, columnBottom = 1000;
  double curX = 0, curY = 0;
  int newColumns = 0, afterCalcHeight = 0, merges = 0;
  double heightAtAfterCalc = -1;
  std::vector<Part> parts;
};

// Memos in a 9-point face: 12-pixel lines, a line step of 14, GapY 1, so a
// memo of n lines needs 14n + 2.
class LayoutTest : public testing::Test {
 protected:
  void SetUp() override { band_.SetBounds(0, 0, 400, 40); }

  TqdrShapeView* Shape(const std::string& name, double left, double top, double width,
                       double height, TqdrShiftMode shift = TqdrShiftMode::smAlways) {
    auto* v = new TqdrShapeView(&band_);
    v->SetName(name);
    v->SetBounds(left, top, width, height);
    v->SetShiftMode(shift);
    return v;
  }
  template <class M = TqdrMemoView>
  M* Memo(const std::string& name, double left, double top, double width, double height,
          const std::string& text, TqdrStretchMode stretch = TqdrStretchMode::smActualHeight) {
    auto* m = new M(&band_);
    m->SetName(name);
    m->SetBounds(left, top, width, height);
    m->Font()->SetName("AR PL UMing CN");
    m->Font()->SetSize(9);
    m->SetText(text);
    m->SetStretchMode(stretch);
    return m;
  }
  std::vector<std::string> Names(const std::vector<TqdrView*>& views) {
    std::vector<std::string> out;
    for (TqdrView* v : views) out.push_back(v->Name());
    return out;
  }
  static std::string Lines(int from, int to) {
    std::string text;
    for (int i = from; i <= to; ++i) text += (i > from ? "\r\n" : "") + std::to_string(100 + i);
    return text;
  }

  TqdrMasterData band_;
  FakeHost host_;
  TqdrBandLayout layout_{host_};
};

// ---------------------------------------------------------------------------
// Shift tree

TEST_F(LayoutTest, ShiftTreeHangsEachObjectFromTheNearestObjectsAbove) {
  //  M [0,200)        N [200,400)      top 0..20
  //  A [0,100)  B [120,180)  D [200,250)   top 30..40
  //  C [0,100)                         top 50..60
  //             E [150,250)            top 60..70
  Shape("E", 150, 60, 100, 10);
  Shape("C", 0, 50, 100, 10);
  Shape("D", 200, 30, 50, 10);
  Shape("B", 120, 30, 60, 10);
  Shape("A", 0, 30, 100, 10);
  Shape("N", 200, 0, 200, 20);
  Shape("M", 0, 0, 200, 20);
  layout_.BuildShiftTree(band_);
  ASSERT_TRUE(layout_.HasShiftTree(band_));
  EXPECT_EQ(Names(layout_.TopLevelTargets(band_)), (std::vector<std::string>{"N", "M"}));
  auto targets = [&](const std::string& name) {
    return Names(dynamic_cast<TqdrView*>(band_.FindObject(name))->ShiftTargets());
  };
  EXPECT_EQ(targets("M"), (std::vector<std::string>{"B", "A"})) << "C hangs from A, E from B";
  EXPECT_EQ(targets("N"), (std::vector<std::string>{"D"})) << "touching at x 200 is no overlap";
  EXPECT_EQ(targets("A"), (std::vector<std::string>{"C"}));
  EXPECT_EQ(targets("B"), (std::vector<std::string>{"E"}));
  EXPECT_EQ(targets("D"), (std::vector<std::string>{"E"}));
  EXPECT_TRUE(targets("C").empty());
  EXPECT_TRUE(targets("E").empty());
}

TEST_F(LayoutTest, ShiftTreeIsKeptUntilReset) {
  TqdrShapeView* a = Shape("A", 0, 0, 100, 10);
  layout_.BuildShiftTree(band_);
  TqdrShapeView* b = Shape("B", 0, 20, 100, 10);
  EXPECT_TRUE(a->ShiftTargets().empty()) << "objects added later are not in the tree";
  layout_.Reset();
  EXPECT_FALSE(layout_.HasShiftTree(band_));
  layout_.BuildShiftTree(band_);
  EXPECT_EQ(a->ShiftTargets(), (std::vector<TqdrView*>{b}));
}

// ---------------------------------------------------------------------------
// Stretching and shifting

struct ShiftCase {
  const char* name;
  TqdrShiftMode mode;
  double top;
  double expectedTop, expectedChildTop;
};

TEST_F(LayoutTest, ObjectsBelowAStretchedMemoFollowTheirShiftMode) {
  // The memo grows from 16 to 3 x 14 + 2 = 44 (by 28). Each object has an
  // smAlways child 20 below it, which shows the shift passed on.
  const ShiftCase cases[] = {
      {"always moves by the growth", TqdrShiftMode::smAlways, 30, 58, 78},
      {"overlapped moves to the memo's bottom", TqdrShiftMode::smWhenOverlapped, 30, 44, 64},
      {"not overlapped stays", TqdrShiftMode::smWhenOverlapped, 50, 50, 70},
      {"dont-shift stays, its child still moves", TqdrShiftMode::smDontShift, 30, 30, 78},
  };
  for (const ShiftCase& c : cases) {
    SCOPED_TRACE(c.name);
    band_.SetStretched(true);
    Memo("Memo", 0, 0, 300, 16, "a\r\nb\r\nc");
    TqdrShapeView* t = Shape("T", 0, c.top, 100, 10, c.mode);
    TqdrShapeView* child = Shape("Child", 0, c.top + 20, 100, 10);
    TqdrShapeView* beside = Shape("Beside", 320, 10, 50, 10);
    layout_.BuildShiftTree(band_);
    layout_.StretchBand(band_);
    EXPECT_DOUBLE_EQ(t->Top(), c.expectedTop);
    EXPECT_DOUBLE_EQ(child->Top(), c.expectedChildTop);
    EXPECT_DOUBLE_EQ(beside->Top(), 10) << "beside the memo, not below it";
    EXPECT_DOUBLE_EQ(band_.Height(), std::max(44.0, c.expectedChildTop + 10));
    EXPECT_DOUBLE_EQ(host_.heightAtAfterCalc, band_.Height());
    for (TqdrComponent* o : band_.Objects())
      EXPECT_EQ(dynamic_cast<TqdrView*>(o)->StretchDelta(), 0) << o->Name();
    band_.Clear();
    layout_.Reset();
  }
}

TEST_F(LayoutTest, TwoMemosSideBySideMoveWhatHangsFromEach) {
  TqdrMemoView* m1 = Memo("M1", 0, 0, 100, 16, "a\r\nb");         // 30: grows by 14
  TqdrMemoView* m2 = Memo("M2", 100, 0, 100, 16, "a\r\nb\r\nc");  // 44: grows by 28
  TqdrShapeView* o1 = Shape("O1", 0, 30, 100, 10);
  TqdrShapeView* o2 = Shape("O2", 100, 30, 100, 10);
  TqdrShapeView* both = Shape("Both", 50, 60, 100, 10);  // hangs from O1 and from O2
  TqdrShapeView* beside = Shape("Beside", 300, 5, 50, 30);
  layout_.BuildShiftTree(band_);
  layout_.StretchBand(band_);
  EXPECT_DOUBLE_EQ(m1->Height(), 30);
  EXPECT_DOUBLE_EQ(m2->Height(), 44);
  EXPECT_DOUBLE_EQ(o1->Top(), 44);
  EXPECT_DOUBLE_EQ(o2->Top(), 58);
  EXPECT_DOUBLE_EQ(both->Top(), 88) << "moves once, by the larger shift (not 60 + 14 + 28)";
  EXPECT_DOUBLE_EQ(beside->Top(), 5);
  EXPECT_DOUBLE_EQ(band_.Height(), 40) << "not Stretched: the band keeps its height";
}

TEST_F(LayoutTest, OnlyVisibleMemosThatMayStretchGrow) {
  TqdrMemoView* fixed = Memo("Fixed", 0, 0, 100, 16, "a\r\nb", TqdrStretchMode::smDontStretch);
  TqdrMemoView* hidden = Memo("Hidden", 100, 0, 100, 16, "a\r\nb");
  hidden->SetVisible(false);
  TqdrMemoView* shorter = Memo("Shorter", 200, 0, 100, 50, "a");
  TqdrShapeView* below = Shape("Below", 0, 60, 300, 10);
  band_.SetStretched(true);
  layout_.BuildShiftTree(band_);
  layout_.StretchBand(band_);
  EXPECT_DOUBLE_EQ(fixed->Height(), 16);
  EXPECT_DOUBLE_EQ(hidden->Height(), 16);
  EXPECT_DOUBLE_EQ(shorter->Height(), 50) << "never shrinks";
  EXPECT_DOUBLE_EQ(below->Top(), 60);
  EXPECT_DOUBLE_EQ(band_.Height(), 70);
}

TEST_F(LayoutTest, StretchedBandWithoutObjectsGetsHeightZero) {
  band_.SetStretched(true);
  layout_.StretchBand(band_);
  EXPECT_DOUBLE_EQ(band_.Height(), 0);
  EXPECT_EQ(host_.afterCalcHeight, 1);
}

TEST_F(LayoutTest, InvisibleBandIsNotLaidOut) {
  TqdrMemoView* memo = Memo("Memo", 0, 0, 100, 16, "a\r\nb");
  band_.SetStretched(true);
  band_.SetVisible(false);
  layout_.StretchBand(band_);
  EXPECT_DOUBLE_EQ(memo->Height(), 16);
  EXPECT_DOUBLE_EQ(band_.Height(), 40);
  EXPECT_EQ(host_.afterCalcHeight, 0);
}

TEST_F(LayoutTest, MaxHeightObjectsEndAtTheLowestBottom) {
  Memo("Memo", 0, 0, 100, 16, "a\r\nb\r\nc");  // 44
  auto* line = new TqdrLineView(&band_);
  line->SetBounds(150, 10, 0, 5);
  line->SetStretchMode(TqdrStretchMode::smMaxHeight);
  TqdrMemoView* box = Memo("Box", 200, 4, 100, 10, "x", TqdrStretchMode::smMaxHeight);
  layout_.StretchBand(band_);
  EXPECT_DOUBLE_EQ(line->Height(), 34);
  EXPECT_DOUBLE_EQ(box->Height(), 40);
  EXPECT_DOUBLE_EQ(band_.Height(), 40) << "not Stretched";
}

TEST_F(LayoutTest, DotMatrixMemoWithABottomLineLeavesACharacterRow) {
  auto* dm = Memo<DotMatrixMemo>("DM", 0, 0, 100, 20, "", TqdrStretchMode::smDontStretch);
  dm->Frame()->SetTyp(frame_typ::ftBottom);
  auto* side = Memo<DotMatrixMemo>("Side", 100, 0, 100, 10, "", TqdrStretchMode::smMaxHeight);
  side->Frame()->SetTyp(frame_typ::ftBottom);
  band_.SetStretched(true);
  layout_.StretchBand(band_);
  EXPECT_DOUBLE_EQ(band_.Height(), 37);
  EXPECT_DOUBLE_EQ(side->Height(), 20);

  dm->Frame()->SetTyp(frame_typ::ftTop);
  dm->SetHeight(20);
  layout_.StretchBand(band_);
  EXPECT_DOUBLE_EQ(band_.Height(), 20) << "without a bottom line nothing is added";
}

TEST_F(LayoutTest, PrintOnParentSubreportsAreMerged) {
  auto* sub = new TqdrSubreport(&band_);
  sub->SetBounds(0, 0, 100, 20);
  layout_.StretchBand(band_);
  EXPECT_EQ(host_.merges, 0);
  sub->SetPrintOnParent(true);
  layout_.StretchBand(band_);
  EXPECT_EQ(host_.merges, 1);
}

// ---------------------------------------------------------------------------
// Splitting

std::vector<std::string> MemoLinesOverParts(const std::vector<Part>& parts,
                                            const std::string& name) {
  std::vector<std::string> lines;
  for (const Part& p : parts)
    if (const PlacedObject* o = p.Find(name))
      lines.insert(lines.end(), o->lines.begin(), o->lines.end());
  return lines;
}

struct SplitCase {
  const char* name;
  int fontSize;
  double startY, columnBottom;
};

TEST_F(LayoutTest, TallMemoContinuesOverPartsWithNoLineLostOrRepeated) {
  const SplitCase cases[] = {
      {"9 pt, whole positions", 9, 120, 200},
      {"9 pt, half-pixel start", 9, 120.5, 200},
      {"9 pt, fractional column", 9, 33.3, 187.37},
      {"10 pt (fractional line height)", 10, 120, 200},
      {"10 pt, fractional everything", 10, 17.61, 211.49},
      {"16 pt, start at the column top", 16, 0, 200.5},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.name);
    band_.Clear();
    host_ = FakeHost();
    host_.columnBottom = c.columnBottom;
    host_.curY = c.startY;
    band_.SetStretched(true);
    TqdrMemoView* memo = Memo("Memo", 0, 0, 200, 20, Lines(1, 60));
    memo->Font()->SetSize(c.fontSize);
    Shape("Below", 0, 30, 200, 10);
    Shape("Beside", 250, 5, 100, 10);
    layout_.Reset();
    layout_.BuildShiftTree(band_);
    layout_.StretchBand(band_);
    const double fullHeight = memo->Height();
    ASSERT_GT(fullHeight, 3 * c.columnBottom) << "needs several parts";
    ASSERT_LT(host_.FreeSpace(), band_.Height());
    layout_.SplitBand(band_);

    TqdrMemoView whole;
    whole.SetText(Lines(1, 60));
    EXPECT_EQ(MemoLinesOverParts(host_.parts, "Memo"), whole.Memo()->Lines());
    ASSERT_GE(host_.parts.size(), 4u);
    EXPECT_EQ(host_.newColumns, static_cast<int>(host_.parts.size()) - 1);
    EXPECT_DOUBLE_EQ(host_.parts[0].top, c.startY);
    EXPECT_NE(host_.parts[0].Find("Beside"), nullptr);
    for (size_t i = 0; i < host_.parts.size(); ++i) {
      const Part& p = host_.parts[i];
      const double space = c.columnBottom - (i == 0 ? c.startY : 0);
      EXPECT_LE(p.height, space) << "part " << i;
      if (i > 0) {
        EXPECT_DOUBLE_EQ(p.top, 0);
      }
      if (i + 1 < host_.parts.size()) {
        EXPECT_EQ(p.Find("Below"), nullptr) << "part " << i;
      }
    }
    // The object below keeps its gap of 10 to the memo's last piece, or,
    // when that leaves no room for it, starts the next part.
    const Part& last = host_.parts.back();
    const PlacedObject* below = last.Find("Below");
    ASSERT_NE(below, nullptr);
    if (const PlacedObject* lastMemo = last.Find("Memo")) {
      EXPECT_NEAR(below->top, lastMemo->top + lastMemo->height + 10, 1);
      EXPECT_GE(below->top, lastMemo->top + lastMemo->height);
    } else {
      EXPECT_DOUBLE_EQ(below->top, 0);
      const Part& before = host_.parts[host_.parts.size() - 2];
      ASSERT_NE(before.Find("Memo"), nullptr);
      EXPECT_GT(before.top + before.height + 10 + 10, c.columnBottom);
    }
    EXPECT_DOUBLE_EQ(host_.curY, last.height);
    EXPECT_DOUBLE_EQ(last.height, below->top + 10);
  }
}

TEST_F(LayoutTest, ObjectsBelowTheBreakStartTheNextPart) {
  host_.curY = 900;  // 100 left
  Shape("A", 0, 0, 100, 50);
  TqdrMemoView* memo = Memo("Memo", 0, 120, 100, 16, "word");
  Shape("Cross", 200, 80, 100, 40);  // starts above the break, does not fit
  Shape("UnderCross", 200, 130, 100, 10);
  layout_.SplitBand(band_);
  ASSERT_EQ(host_.parts.size(), 2u);
  const Part& first = host_.parts[0];
  ASSERT_EQ(first.objects.size(), 1u);
  EXPECT_EQ(first.objects[0].name, "A");
  EXPECT_DOUBLE_EQ(first.height, 50);
  const Part& second = host_.parts[1];
  ASSERT_EQ(second.objects.size(), 3u);
  EXPECT_DOUBLE_EQ(second.Find("Memo")->top, 20);
  EXPECT_EQ(second.Find("Memo")->lines, (std::vector<std::string>{"word"}));
  EXPECT_DOUBLE_EQ(second.Find("Cross")->top, 0);
  EXPECT_DOUBLE_EQ(second.Find("UnderCross")->top, 50) << "moved with Cross by 20";
  EXPECT_DOUBLE_EQ(second.height, 60);
  EXPECT_DOUBLE_EQ(host_.curY, 60);
  // The band holds all its objects again, in their order.
  ASSERT_EQ(band_.Objects().size(), 4u);
  EXPECT_EQ(band_.Objects()[1], memo);
}

TEST_F(LayoutTest, MemoWhoseFirstLineDoesNotFitMovesWhole) {
  host_.curY = 900;
  TqdrMemoView* memo = Memo("Memo", 0, 95, 100, 30, "a\r\nb");  // 2 x 14 + 2
  Shape("Under", 0, 130, 100, 10);
  Shape("Top", 200, 0, 100, 20);
  layout_.SplitBand(band_);
  ASSERT_EQ(host_.parts.size(), 2u);
  EXPECT_EQ(host_.parts[0].Find("Memo"), nullptr);
  ASSERT_NE(host_.parts[1].Find("Memo"), nullptr);
  EXPECT_EQ(host_.parts[1].Find("Memo")->lines, (std::vector<std::string>{"a", "b"}));
  EXPECT_DOUBLE_EQ(host_.parts[1].Find("Memo")->top, 0);
  EXPECT_DOUBLE_EQ(host_.parts[1].Find("Memo")->height, 30);
  EXPECT_DOUBLE_EQ(host_.parts[1].Find("Under")->top, 35) << "keeps its gap of 5";
  EXPECT_EQ(memo->Text(), "a\r\nb");
}

TEST_F(LayoutTest, LastPartAlignsBottomObjectsAndStretchesMaxHeightOnes) {
  host_.columnBottom = 100;
  Memo("Memo", 0, 0, 100, 100, Lines(1, 10), TqdrStretchMode::smActualHeight);
  layout_.StretchBand(band_);  // 10 x 14 + 2 = 142
  TqdrShapeView* foot = Shape("Foot", 200, 110, 50, 10);
  foot->SetAlign(TqdrAlign::baBottom);
  auto* rule = new TqdrLineView(&band_);
  rule->SetName("Rule");
  rule->SetBounds(300, 105, 0, 5);
  rule->SetStretchMode(TqdrStretchMode::smMaxHeight);
  layout_.SplitBand(band_);
  ASSERT_EQ(host_.parts.size(), 2u);
  const Part& last = host_.parts[1];
  // 7 lines on the first part (text rectangle 99), 3 left: 3 x 14 + 2 = 44.
  EXPECT_DOUBLE_EQ(last.height, 44);
  EXPECT_DOUBLE_EQ(last.Find("Foot")->top, 34);
  EXPECT_DOUBLE_EQ(last.Find("Rule")->top, 5);
  EXPECT_DOUBLE_EQ(last.Find("Rule")->height, 39);
  EXPECT_EQ(MemoLinesOverParts(host_.parts, "Memo").size(), 10u);
}

TEST_F(LayoutTest, SubreportsStayOutOfTheParts) {
  host_.columnBottom = 50;
  auto* sub = new TqdrSubreport(&band_);
  sub->SetName("Sub");
  sub->SetBounds(0, 0, 100, 20);
  Shape("A", 0, 30, 100, 40);
  Memo("Memo", 100, 0, 100, 80, Lines(1, 5));
  const std::vector<TqdrComponent*> before = band_.Objects();
  layout_.SplitBand(band_);
  ASSERT_GE(host_.parts.size(), 2u);
  for (const Part& p : host_.parts) EXPECT_EQ(p.Find("Sub"), nullptr);
  EXPECT_EQ(band_.Objects(), before);
  for (TqdrComponent* c : before) EXPECT_EQ(c->Parent(), &band_);
}

// A part that cannot take anything even at the top of a new column is
// forced: the split always ends.
TEST_F(LayoutTest, ObjectTallerThanAColumnIsPlacedWhole) {
  host_.columnBottom = 200;
  Shape("Tall", 0, 0, 100, 300);
  Shape("After", 0, 310, 100, 10);
  host_.curY = 50;
  layout_.SplitBand(band_);
  ASSERT_EQ(host_.parts.size(), 3u);
  EXPECT_TRUE(host_.parts[0].objects.empty()) << "moved on, as the next column may hold it";
  ASSERT_NE(host_.parts[1].Find("Tall"), nullptr);
  EXPECT_DOUBLE_EQ(host_.parts[1].height, 300);
  EXPECT_DOUBLE_EQ(host_.parts[2].Find("After")->top, 110);
}

TEST_F(LayoutTest, LineTallerThanAColumnStillPrintsEveryLine) {
  host_.columnBottom = 200;
  TqdrMemoView* memo = Memo("Huge", 0, 0, 400, 20, "A\r\nB");
  memo->Font()->SetSize(200);  // lines of 267 pixels
  layout_.StretchBand(band_);
  layout_.SplitBand(band_);
  EXPECT_EQ(MemoLinesOverParts(host_.parts, "Huge"), (std::vector<std::string>{"A", "B"}));
  EXPECT_LE(host_.parts.size(), 4u);
}

TEST_F(LayoutTest, EmptyMemoBoxContinuesLikeALine) {
  host_.columnBottom = 200;
  Memo("Box", 0, 0, 100, 500, "", TqdrStretchMode::smDontStretch);
  auto* line = new TqdrLineView(&band_);
  line->SetName("Line");
  line->SetBounds(150, 100, 0, 250);
  layout_.SplitBand(band_);
  ASSERT_EQ(host_.parts.size(), 3u);
  EXPECT_DOUBLE_EQ(host_.parts[0].Find("Box")->height, 200);
  EXPECT_DOUBLE_EQ(host_.parts[1].Find("Box")->height, 200);
  EXPECT_DOUBLE_EQ(host_.parts[2].Find("Box")->height, 100);
  EXPECT_DOUBLE_EQ(host_.parts[0].Find("Line")->height, 100);
  EXPECT_DOUBLE_EQ(host_.parts[1].Find("Line")->height, 150);
  EXPECT_EQ(host_.parts[2].Find("Line"), nullptr);
}

TEST_F(LayoutTest, ColumnWithoutSpaceTakesEverythingAtOnce) {
  host_.columnBottom = 0;
  Shape("A", 0, 0, 100, 30);
  Memo("Memo", 0, 40, 100, 30, "a\r\nb");
  layout_.SplitBand(band_);
  ASSERT_EQ(host_.parts.size(), 2u);
  EXPECT_TRUE(host_.parts[0].objects.empty());
  EXPECT_EQ(host_.parts[1].objects.size(), 2u);
  EXPECT_EQ(host_.parts[1].Find("Memo")->lines, (std::vector<std::string>{"a", "b"}));
}

}  // namespace
