// Sum list on its own: fixed-point sums and counts over result sets with
// nulls, when the records are walked, and the edit/insert/post/delete hooks.
#include "grid/sum_list.h"

#include <gtest/gtest.h>

#include "core/variant.h"
#include "platform/db/result_set.h"

using core::Variant;
using grid::goCount;
using grid::goSum;
using grid::TDBSumListProducer;
using platform::DbResultSet;
using platform::FieldDef;
using platform::FieldKind;

namespace {

// AMOUNT (float) and QTY (integer) per row; std::nullopt is SQL NULL.
DbResultSet Amounts(const std::vector<std::pair<std::optional<double>, std::optional<int>>>& rows) {
  std::vector<Variant> cells;
  for (const auto& [amount, qty] : rows) {
    cells.push_back(amount ? Variant(*amount) : Variant::MakeNull());
    cells.push_back(qty ? Variant(int32_t{*qty}) : Variant::MakeNull());
  }
  return DbResultSet({{"AMOUNT", FieldKind::Float, 0}, {"QTY", FieldKind::Integer, 0}},
                     std::move(cells));
}

struct SumCase {
  const char* name;
  std::vector<std::pair<std::optional<double>, std::optional<int>>> rows;
  int64_t amount;  // fixed point
  int64_t qty;
  int64_t count;
};

class SumListRecalc : public testing::TestWithParam<SumCase> {};

TEST_P(SumListRecalc, SumsAndCountsInFixedPoint) {
  DbResultSet data = Amounts(GetParam().rows);
  TDBSumListProducer sums;
  auto* amount = sums.SumCollection().Add(goSum, "amount");  // field names ignore case
  auto* qty = sums.SumCollection().Add(goSum, "QTY");
  auto* count = sums.SumCollection().Add(goCount);
  sums.SetActive(true);
  sums.AfterOpen(&data);
  EXPECT_EQ(amount->SumValue(), GetParam().amount);
  EXPECT_EQ(qty->SumValue(), GetParam().qty);
  EXPECT_EQ(count->SumValue(), GetParam().count);
  sums.AfterClose();
  EXPECT_EQ(amount->SumValue(), 0);
  EXPECT_EQ(count->SumValue(), 0);
}

using Rows = std::vector<std::pair<std::optional<double>, std::optional<int>>>;
INSTANTIATE_TEST_SUITE_P(
    Cases, SumListRecalc,
    testing::Values(SumCase{"Empty", Rows{}, 0, 0, 0},
                    // Nulls add nothing to sums but the record still counts.
                    SumCase{"Nulls", Rows{{1.5, 2}, {std::nullopt, 3}, {2.25, std::nullopt}}, 37500,
                            50000, 30000},
                    // 0.1 is not exact in binary; ten of them must still give exactly 1.
                    SumCase{"TenTenths", Rows(10, {0.1, 1}), 10000, 100000, 100000},
                    SumCase{"ThreeTenths", Rows(3, {0.1, 1}), 3000, 30000, 30000},
                    SumCase{"RoundsToFourDecimals",
                            Rows{{0.00004, 0}, {0.00006, 0}, {-1.23456, -7}}, -12345, -70000,
                            30000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SumList, InactiveListAndMissingFieldsStayZero) {
  DbResultSet data = Amounts({{1.0, 1}, {2.0, 2}});
  TDBSumListProducer sums;
  auto* missing = sums.SumCollection().Add(goSum, "NOSUCH");
  auto* amount = sums.SumCollection().Add(goSum, "AMOUNT");
  sums.AfterOpen(&data);
  EXPECT_EQ(amount->SumValue(), 0) << "inactive list must not sum";
  sums.SetActive(true);  // switching on recalculates
  EXPECT_EQ(amount->SumValue(), 30000);
  EXPECT_EQ(missing->SumValue(), 0);
  sums.SetActive(false);
  EXPECT_EQ(amount->SumValue(), 0);
}

TEST(SumList, WalksOnlyWhenAnItemCountsOrNamesAField) {
  DbResultSet data = Amounts({{1.0, 1}, {2.0, 2}});
  data.MoveTo(1);
  TDBSumListProducer sums;
  int walks = 0, changes = 0;
  sums.SetOnRecalcAll([&] { ++walks; });
  sums.SetOnSumListChanged([&] { ++changes; });
  sums.SetActive(true);
  sums.AfterOpen(&data);
  EXPECT_EQ(walks, 0) << "no items: nothing to walk";
  sums.SumCollection().Add(goSum);  // a sum without a field needs no walk either
  sums.RecalcAll();
  EXPECT_EQ(walks, 0);
  EXPECT_EQ(changes, 3);
  sums.SumCollection().Add(goCount);
  sums.RecalcAll();
  EXPECT_EQ(walks, 1);
  EXPECT_EQ(data.RecNo(), 1) << "the walk must not move the current record";
  sums.SetExternalRecalc(true);
  sums.RecalcAll();
  EXPECT_EQ(walks, 1) << "external recalculation: zero only";
  EXPECT_EQ(sums.SumCollection().Item(1).SumValue(), 0);
}

TEST(SumList, EditInsertPostDeleteHooks) {
  DbResultSet data = Amounts({{1.5, 1}, {2.0, 2}, {std::nullopt, 3}});
  TDBSumListProducer sums;
  auto* amount = sums.SumCollection().Add(goSum, "AMOUNT");
  auto* count = sums.SumCollection().Add(goCount);
  sums.SetActive(true);
  sums.AfterOpen(&data);
  ASSERT_EQ(amount->SumValue(), 35000);

  // Edit row 0: 1.5 -> 4.1
  data.MoveTo(0);
  sums.AfterEdit();
  EXPECT_EQ(amount->SumValueChanged(), 15000);
  sums.AfterPost({Variant(4.1), Variant(int32_t{1})});
  EXPECT_EQ(amount->SumValue(), 61000);
  EXPECT_EQ(count->SumValue(), 30000) << "an edit does not add a record";

  // Edit the null row to a value, then one to null.
  data.MoveTo(2);
  sums.AfterEdit();
  sums.AfterPost({Variant(0.5), Variant(int32_t{3})});
  EXPECT_EQ(amount->SumValue(), 66000);
  data.MoveTo(1);
  sums.AfterEdit();
  sums.AfterPost({Variant::MakeNull(), Variant(int32_t{2})});
  EXPECT_EQ(amount->SumValue(), 46000);

  // Insert and post a new record.
  sums.AfterInsert();
  sums.AfterPost({Variant(0.25), Variant(int32_t{9})});
  EXPECT_EQ(amount->SumValue(), 48500);
  EXPECT_EQ(count->SumValue(), 40000);

  // Delete row 0 (still 1.5 in the set: the hooks do not write the data).
  data.MoveTo(0);
  sums.BeforeDelete();
  EXPECT_EQ(amount->SumValue(), 33500);
  EXPECT_EQ(count->SumValue(), 30000);
}

}  // namespace
