// Memo printing text: expansion through a calc function, highlight, repeat
// suppression, heights and widths, splitting and FlowTo.
#include "report/memo_text.h"

#include <gtest/gtest.h>

#include <map>

#include "core/error.h"
#include "report/font.h"
#include "report/frame.h"
#include "report/persistent.h"
#include "report/view.h"

namespace report {
namespace {

class MemoTextFixture : public testing::Test {
 protected:
  void SetUp() override {
    memo_.SetWidth(100);
    memo_.SetHeight(60);
    memo_.Font()->SetName("AR PL UMing CN");
    memo_.Font()->SetSize(9);  // 12 pixels
    memo_.SetLineSpacing(2);
    memo_.SetGapX(2);
    memo_.SetGapY(1);
  }
  core::Variant Calc(const std::string& expr) {
    ++calls_;
    auto it = values_.find(expr);
    if (it == values_.end()) throw core::Error("unknown " + expr);
    return it->second;
  }
  TqdrCalcFunction CalcFn() {
    return [this](const std::string& e) { return Calc(e); };
  }
  TqdrMemoView memo_;
  std::map<std::string, core::Variant> values_ = {{"1+2", core::Variant(3)},
                                                  {"0", core::Variant(0)},
                                                  {"Name", core::Variant("A")},
                                                  {"Flag", core::Variant(true)},
                                                  {"Amount", core::Variant(1234.5)}};
  int calls_ = 0;
};

TEST_F(MemoTextFixture, ExpandsAndKeepsTheValue) {
  memo_.SetText("Total: [1+2], [Amount #n#,##0.00]");
  MemoGetData(memo_, CalcFn());
  EXPECT_EQ(memo_.Text(), "Total: 3, 1,234.50");
  EXPECT_DOUBLE_EQ(memo_.Value().ToDouble(), 1234.5);
}

TEST_F(MemoTextFixture, WithoutAllowExpressionsTheTextStays) {
  memo_.SetAllowExpressions(false);
  memo_.SetText("Total: [1+2]");
  MemoGetData(memo_, CalcFn());
  EXPECT_EQ(memo_.Text(), "Total: [1+2]");
  EXPECT_EQ(calls_, 0);
}

TEST_F(MemoTextFixture, HideZerosAndHighlight) {
  memo_.SetHideZeros(true);
  memo_.Highlight()->SetCondition("Flag");
  memo_.SetText("[0]");
  MemoGetData(memo_, CalcFn());
  EXPECT_EQ(memo_.Text(), "");
  EXPECT_TRUE(memo_.Highlight()->Active());
  memo_.Highlight()->SetCondition("");
  MemoGetData(memo_, CalcFn());
  EXPECT_FALSE(memo_.Highlight()->Active());
}

TEST_F(MemoTextFixture, SuppressRepeatedAcrossRows) {
  memo_.SetSuppressRepeated(true);
  std::vector<std::string> printed;
  for (const char* v : {"A", "A", "B", "B", "A"}) {
    values_["Name"] = core::Variant(v);
    memo_.SetText("[Name]");
    MemoGetData(memo_, CalcFn());
    printed.push_back(memo_.Text());
  }
  EXPECT_EQ(printed, (std::vector<std::string>{"A", "", "B", "", "A"}));
}

TEST_F(MemoTextFixture, TagStrIsExpanded) {
  memo_.SetTagStr("id=[1+2]");
  MemoGetData(memo_, CalcFn());
  EXPECT_EQ(memo_.TagStr(), "id=3");
}

TEST_F(MemoTextFixture, CalcHeightIsLinesTimesLineStepPlusGaps) {
  // text width 96 pixels: eight 12-pixel characters a line; 20 characters give 3 lines
  memo_.SetText("一二三四五六七八九十一二三四五六七八九十");
  EXPECT_EQ(MemoCalcHeight(memo_), 3 * (12 + 2) + 2);
  memo_.Frame()->SetTyp(frame_typ::ftTop | frame_typ::ftBottom);
  memo_.Frame()->SetWidth(3);
  EXPECT_EQ(MemoCalcHeight(memo_), 3 * (12 + 2) + 2 + 1 + 2) << "(3 - 1) / 2 + 3 / 2, rounded";
}

TEST_F(MemoTextFixture, CalcWidthIsTheWidestLine) {
  memo_.SetText("一二三\r\nab");
  EXPECT_EQ(MemoCalcWidth(memo_), 36 + 4);
  memo_.SetText("ab");
  EXPECT_EQ(MemoCalcWidth(memo_), 12 + 4);
}

TEST_F(MemoTextFixture, TakeFittingPartKeepsWholeLines) {
  // text rectangle height 60 - 2 + 1 = 59: four 14-pixel lines fit, 3 pixels left
  memo_.SetText("一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十");
  MemoPrepareSplit(memo_);
  double free = MemoTakeFittingPart(memo_);
  EXPECT_DOUBLE_EQ(free, 59 - 4 * 14);
  EXPECT_EQ(memo_.Text(), "一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一二");
  EXPECT_EQ(memo_.HeldBack(), "三四五六七八九十");
}

TEST_F(MemoTextFixture, TakeFittingPartWhenNothingFits) {
  memo_.SetHeight(10);
  memo_.SetText("一二三");
  MemoPrepareSplit(memo_);
  EXPECT_DOUBLE_EQ(MemoTakeFittingPart(memo_), 10);
  EXPECT_EQ(memo_.Text(), "");
  EXPECT_EQ(memo_.HeldBack(), "一二三");
}

TEST_F(MemoTextFixture, HeldBackTextKeepsTheTagState) {
  memo_.SetAllowHTMLTags(true);
  memo_.SetHeight(16);  // one line: 16 - 2 + 1 = 15
  memo_.SetText("<b>一二三四五六七八九十</b>x\r\nnext");
  MemoPrepareSplit(memo_);
  MemoTakeFittingPart(memo_);
  EXPECT_EQ(memo_.Text(), "<b>一二三四五六七八");
  EXPECT_EQ(memo_.HeldBack(), "<b>九十</b>x\r\nnext");
}

TEST_F(MemoTextFixture, FlowToCarriesTheRestWithoutExpansion) {
  TqdrMemoView next;
  memo_.SetFlowTo(&next);
  memo_.SetHeight(16);
  memo_.SetText("一二三四五六七八[Name]九十");
  values_["Name"] = core::Variant("[1+2]");
  MemoGetData(memo_, CalcFn());
  // "[" does not fit after 八, and a wide character moves on with the text after it
  EXPECT_EQ(memo_.Text(), "一二三四五六七");
  EXPECT_EQ(next.Text(), "八[1+2]九十");
  EXPECT_FALSE(next.AllowExpressions());
  memo_.SetFlowTo(nullptr);
}

TEST_F(MemoTextFixture, CalcErrorsEndGetData) {
  memo_.SetText("a [nosuch] b");
  EXPECT_THROW(MemoGetData(memo_, CalcFn()), core::Error);
}

}  // namespace
}  // namespace report
