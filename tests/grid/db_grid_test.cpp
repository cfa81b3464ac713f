// The grid widget on the offscreen platform: column building, title height
// and wrapping (measured and rendered), footer sums, cursor tracking in both
// directions, date display, and a grid over a real SQLite query.
#include "grid/db_grid.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "core/date_time.h"
#include "core/variant.h"
#include "platform/db/db_query.h"
#include "platform/db/db_session.h"
#include "platform/db/result_set.h"

using core::Variant;
using platform::DbResultSet;
using platform::FieldKind;

namespace grid {
namespace {

// ID, NAME, AMOUNT, BORN for `rows` rows; every third AMOUNT is NULL.
DbResultSet Patients(int rows) {
  std::vector<Variant> cells;
  for (int r = 0; r < rows; ++r) {
    cells.emplace_back(int32_t{r + 1});
    cells.emplace_back("病人" + std::to_string(r + 1));
    cells.push_back(r % 3 == 2 ? Variant::MakeNull() : Variant(0.1));
    cells.push_back(Variant::MakeDate(core::EncodeDate(2026, 1, 1) + r));
  }
  return DbResultSet({{"ID", FieldKind::Integer, 0},
                      {"NAME", FieldKind::String, 20},
                      {"AMOUNT", FieldKind::Float, 0},
                      {"BORN", FieldKind::DateTime, 0}},
                     std::move(cells));
}

QFont TitleFont() {
  QFont f(QString::fromUtf8("宋体"));
  f.setPixelSize(15);
  return f;
}

class GridTest : public testing::Test {
 protected:
  void SetUp() override {
    grid_.resize(600, 300);
    grid_.SetDataSource(&source_);
  }
  void Open(int rows) {
    data_ = Patients(rows);
    source_.SetResultSet(&data_);
  }
  QImage Render() {
    QImage image(grid_.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    grid_.render(&image);
    return image;
  }
  // Pixels of `rect` that differ from `background`.
  static int Ink(const QImage& image, const QRect& rect, QColor background) {
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
      for (int x = rect.left(); x <= rect.right(); ++x)
        if (image.pixelColor(x, y) != background) ++n;
    return n;
  }
  // Title cell of a laid-out column, in grid coordinates.
  QRect TitleRect(int col) {
    QHeaderView* h = grid_.View()->horizontalHeader();
    QPoint origin = h->mapTo(&grid_, QPoint(0, 0));
    return QRect(origin.x() + h->sectionViewportPosition(col), origin.y(), h->sectionSize(col),
                 h->height());
  }

  DbResultSet data_;
  TDataSourceGv source_;
  TDBGridGv grid_;
};

// ---- column building ---------------------------------------------------

TEST_F(GridTest, PersistentColumnsBindByNameAndMissingFieldsShowEmpty) {
  for (const char* name : {"born", "NOSUCH", "Id"}) grid_.Columns().Add()->SetFieldName(name);
  grid_.Columns()[1]->Title().SetCaption("无此字段");
  Open(3);
  ASSERT_EQ(grid_.VisibleColumnCount(), 3);
  EXPECT_EQ(grid_.View()->model()->columnCount(), 3);
  EXPECT_EQ(grid_.Columns()[0]->FieldIndex(), 3);
  EXPECT_EQ(grid_.Columns()[1]->FieldIndex(), -1);
  EXPECT_EQ(grid_.CellText(1, 2), "2");
  EXPECT_EQ(grid_.CellText(1, 1), "") << "missing field: empty cell";
  EXPECT_EQ(grid_.Columns()[1]->Title().Caption(), "无此字段");
  EXPECT_EQ(grid_.Columns()[2]->Title().Caption(), "ID") << "default caption: the field's name";
  EXPECT_EQ(grid_.Columns()[1]->Width(), grid_.DefaultColWidth());
  EXPECT_EQ(grid_.Columns()[2]->Alignment(), Qt::AlignRight) << "numbers align right";

  grid_.Columns()[0]->SetVisible(false);  // hidden columns take no place
  ASSERT_EQ(grid_.VisibleColumnCount(), 2);
  EXPECT_EQ(grid_.VisibleColumn(0)->FieldName(), "NOSUCH");
  EXPECT_EQ(grid_.CellText(0, 1), "1");
}

TEST_F(GridTest, ColumnsFollowTheFieldsWhenNoneArePersistent) {
  ASSERT_EQ(grid_.VisibleColumnCount(), 1) << "no fields, no columns: one empty column";
  EXPECT_EQ(grid_.View()->model()->rowCount(), 0);
  Open(2);
  ASSERT_EQ(grid_.VisibleColumnCount(), 4);
  EXPECT_EQ(grid_.VisibleColumn(1)->Title().Caption(), "NAME");
  EXPECT_EQ(grid_.CellText(1, 1), "病人2");
  grid_.VisibleColumn(1)->SetWidth(123);

  // Reopen with fewer fields: the NAME column survives with its width.
  DbResultSet other({{"NAME", FieldKind::String, 10}}, {Variant("甲")});
  source_.SetResultSet(&other);
  ASSERT_EQ(grid_.VisibleColumnCount(), 1);
  EXPECT_EQ(grid_.VisibleColumn(0)->Width(), 123);
  EXPECT_EQ(grid_.View()->horizontalHeader()->sectionSize(0), 123);
  EXPECT_EQ(grid_.CellText(0, 0), "甲");
}

TEST_F(GridTest, DefaultWidthFollowsTheFieldsDisplayWidth) {
  Open(1);
  QFontMetrics fm(grid_.font(), &grid_);
  const int zero = fm.horizontalAdvance(QLatin1Char('0'));
  EXPECT_EQ(grid_.VisibleColumn(1)->Width(), zero * 20 + 4);  // NAME: 20 characters
  EXPECT_EQ(grid_.View()->horizontalHeader()->sectionSize(1), zero * 20 + 4);
  TColumnGv loose;
  EXPECT_EQ(loose.Width(), 64) << "a column outside a grid";
}

// ---- titles ------------------------------------------------------------

TEST_F(GridTest, TitleHeightForTwoLines) {
  grid_.SetTitleFont(TitleFont());
  grid_.Columns().Add()->SetFieldName("NAME");
  const int rowHeight = grid_.CalcRowHeight();
  EXPECT_EQ(grid_.CalcTitleHeight(), rowHeight) << "single-line title: the default row height";
  grid_.SetTitleLines(2);
  QFontMetrics fm(TitleFont());
  const int expected = 2 * fm.height() + fm.leading() + 2 + 1;  // +1: dgRowLines
  EXPECT_EQ(grid_.CalcTitleHeight(), expected);
  grid_.show();
  EXPECT_EQ(grid_.View()->horizontalHeader()->height(), expected);

  // The tallest title font decides; extra pixels and no row lines count too.
  QFont big = TitleFont();
  big.setPixelSize(30);
  grid_.Columns().Add()->Title().SetFont(big);
  grid_.SetTitleHeight(5);
  grid_.SetOptions(grid_.Options().Without(dgRowLines));
  QFontMetrics bigFm(big);
  EXPECT_EQ(grid_.CalcTitleHeight(), 2 * bigFm.height() + bigFm.leading() + 5 + 2);
  grid_.SetOptions(grid_.Options().Without(dgTitles));
  EXPECT_EQ(grid_.CalcTitleHeight(), 0);
}

TEST_F(GridTest, DataRowHeightRule) {
  QFontMetrics fm(grid_.font(), &grid_);
  EXPECT_EQ(grid_.CalcRowHeight(), fm.height() + 3 + 1);
  grid_.SetRowHeight(10);
  grid_.SetRowLines(2);
  EXPECT_EQ(grid_.CalcRowHeight(), 10 + 2 * (fm.height() + fm.leading()));
  Open(5);
  EXPECT_EQ(grid_.View()->verticalHeader()->sectionSize(3), grid_.CalcRowHeight());
}

TEST_F(GridTest, LongCaptionWrapsOntoTheSecondLine) {
  grid_.SetTitleFont(TitleFont());
  grid_.SetTitleLines(2);
  for (const char* caption : {"出院科别代码", "性别", "入院前经外院诊治情况及其他说明"}) {
    TColumnGv* c = grid_.Columns().Add();
    c->SetFieldName("NONE");
    c->Title().SetCaption(caption);
    c->Title().SetAlignment(Qt::AlignCenter);
    c->SetWidth(70);
  }
  grid_.show();
  QFontMetrics fm(TitleFont());
  const int inner = 70 - 4;
  ASSERT_GT(fm.horizontalAdvance(QString::fromUtf8("出院科别代码")), inner);

  std::vector<std::string> wrapped = grid_.TitleTextLines(0, inner);
  ASSERT_EQ(wrapped.size(), 2u);
  EXPECT_EQ(wrapped[0] + wrapped[1], "出院科别代码");
  EXPECT_EQ(grid_.TitleTextLines(1, inner), std::vector<std::string>{"性别"});
  EXPECT_GT(grid_.TitleTextLines(2, inner).size(), 2u);

  // Rendered: the wrapped title inks both line bands, the short one only the
  // middle, and the overlong one stays inside its cell.
  QImage image = Render();
  const QColor face = grid_.palette().color(QPalette::Button);
  const QRect wrap = TitleRect(0).adjusted(2, 2, -2, -2);
  const int mid = wrap.center().y();
  EXPECT_GT(Ink(image, QRect(wrap.left(), wrap.top(), wrap.width(), mid - wrap.top() - 2), face),
            20);
  EXPECT_GT(Ink(image, QRect(wrap.left(), mid + 2, wrap.width(), wrap.bottom() - mid - 2), face),
            20);
  const QRect shortCell = TitleRect(1).adjusted(2, 2, -2, -2);
  const int lineTop = shortCell.center().y() - fm.height() / 2;
  EXPECT_EQ(Ink(image,
                QRect(shortCell.left(), shortCell.top(), shortCell.width(),
                      lineTop - shortCell.top() - 1),
                face),
            0);
  EXPECT_GT(Ink(image, shortCell, face), 20);
  // Nothing leaks out of the title cell: the grid has no rows, so under the
  // titles is the empty view.
  const QRect below(TitleRect(2).left() + 1, TitleRect(2).bottom() + 2, 66, 20);
  const QColor empty = image.pixelColor(below.center());
  EXPECT_EQ(Ink(image, below, empty), 0);
}

TEST_F(GridTest, FrozenColumnsStayWhileTheRestScrolls) {
  Open(30);
  for (int i = 0; i < grid_.VisibleColumnCount(); ++i) grid_.VisibleColumn(i)->SetWidth(250);
  grid_.SetFrozenCols(1);
  grid_.show();
  QTableView* frozen = grid_.FrozenView();
  ASSERT_NE(frozen, nullptr);
  EXPECT_EQ(frozen->width(), 250);
  EXPECT_FALSE(frozen->isColumnHidden(0));
  EXPECT_TRUE(frozen->isColumnHidden(1));

  const int left = grid_.View()->viewport()->mapTo(&grid_, QPoint(0, 0)).x();
  const QRect frozenPart(left, 0, 250, grid_.height() / 2);
  const QRect movingPart(left + 260, 0, 200, grid_.height() / 2);
  QImage before = Render();
  grid_.View()->horizontalScrollBar()->setValue(grid_.View()->horizontalScrollBar()->maximum());
  QImage after = Render();
  EXPECT_EQ(before.copy(frozenPart), after.copy(frozenPart));
  EXPECT_NE(before.copy(movingPart), after.copy(movingPart));

  // Rows scroll together, and clicking the frozen part moves the record.
  grid_.View()->verticalScrollBar()->setValue(10);
  EXPECT_EQ(frozen->verticalScrollBar()->value(), 10);
  QTest::mouseClick(frozen->viewport(), Qt::LeftButton, {},
                    frozen->visualRect(frozen->model()->index(12, 0)).center());
  EXPECT_EQ(data_.RecNo(), 12);
  grid_.SetFrozenCols(0);
  EXPECT_EQ(grid_.FrozenView(), nullptr);
}

// ---- footers and sums --------------------------------------------------

TEST_F(GridTest, FooterSumsAndCountsOverNulls) {
  struct FooterCase {
    const char* name;
    int rows;
    TFooterValueType type;
    const char* field;
    std::string expected;
  };
  const std::vector<FooterCase> cases = {
      // Every third AMOUNT is NULL: 3 rows hold two 0.1 values, 4 rows three.
      {"SumOfTwoTenths", 3, fvtSum, "AMOUNT", "0.2"},
      {"SumOfThreeTenths", 4, fvtSum, "AMOUNT", "0.3"},
      {"TenTenthsAreOne", 15, fvtSum, "AMOUNT", "1"},
      {"IntegerSum", 4, fvtSum, "ID", "10"},
      {"CountIncludesNullRows", 5, fvtCount, "AMOUNT", "5"},
      {"StringFieldHasNoSum", 5, fvtSum, "NAME", ""},
      {"FieldValueOfCurrentRecord", 2, fvtFieldValue, "NAME", "病人1"},
  };
  for (const FooterCase& c : cases) {
    SCOPED_TRACE(c.name);
    TDataSourceGv source;
    TDBGridGv grid;
    TColumnGv* column = grid.Columns().Add();
    column->SetFieldName(c.field);
    column->Footer().SetValueType(c.type);
    grid.SetFooterRowCount(1);
    grid.SumList().SetActive(true);
    grid.SetDataSource(&source);
    DbResultSet data = Patients(c.rows);
    source.SetResultSet(&data);
    EXPECT_EQ(grid.FooterText(0, 0), c.expected);
    source.SetResultSet(nullptr);  // closed: sums are zero, nothing to show
    EXPECT_EQ(grid.FooterText(0, 0), c.type == fvtCount ? "0" : "");
  }
}

TEST_F(GridTest, FooterRowsArePaintedUnderTheData) {
  TColumnGv* column = grid_.Columns().Add();
  column->SetFieldName("AMOUNT");
  column->SetWidth(120);
  column->Footer().SetValueType(fvtSum);
  grid_.SetFooterRowCount(1);
  grid_.SumList().SetActive(true);
  Open(3);
  grid_.show();
  QImage withSum = Render();
  // The footer row sits right under the view.
  const int rowH = grid_.CalcRowHeight();
  const int left = grid_.View()->viewport()->mapTo(&grid_, QPoint(0, 0)).x();
  const QRect footer(left + 2, grid_.View()->geometry().bottom() + 3, 116, rowH - 4);
  const QColor face = grid_.palette().color(QPalette::Button);
  EXPECT_GT(Ink(withSum, footer, face), 10) << "the sum 0.2 is drawn";
  column->Footer().SetValueType(fvtNon);
  EXPECT_EQ(Ink(Render(), footer, face), 0);
}

TEST_F(GridTest, SumListWithoutFooterColumnsDoesNotWalk) {
  for (const char* name : {"ID", "NAME", "AMOUNT"}) grid_.Columns().Add()->SetFieldName(name);
  int walks = 0, changes = 0;
  grid_.SumList().SetOnRecalcAll([&] { ++walks; });
  grid_.SumList().SetActive(true);
  grid_.SumList().SetOnSumListChanged([&] { ++changes; });
  Open(1000);
  EXPECT_EQ(walks, 0);
  EXPECT_GE(changes, 1) << "recalculation still happened (zeroing)";
  grid_.Columns()[2]->Footer().SetValueType(fvtSum);
  grid_.SetFooterRowCount(1);
  EXPECT_EQ(walks, 1) << "a footer sum makes the list walk once";
  EXPECT_EQ(grid_.FooterText(0, 2), "66.7");
}

// ---- current record ----------------------------------------------------

TEST_F(GridTest, KeysMoveTheDataSetsRecord) {
  Open(100);
  grid_.show();
  QTableView* view = grid_.View();
  view->setFocus();
  const int page = grid_.VisibleDataRowCount();
  ASSERT_GT(page, 3);
  struct KeyCase {
    const char* name;
    int key;
    Qt::KeyboardModifiers mods;
    int row, col;
  };
  const std::vector<KeyCase> steps = {
      {"Down", Qt::Key_Down, Qt::NoModifier, 1, 0},
      {"Right", Qt::Key_Right, Qt::NoModifier, 1, 1},
      {"PageDown", Qt::Key_PageDown, Qt::NoModifier, 1 + page, 1},
      {"Up", Qt::Key_Up, Qt::NoModifier, page, 1},
      {"End", Qt::Key_End, Qt::NoModifier, page, 3},
      {"TabPastLastColumn", Qt::Key_Tab, Qt::NoModifier, page + 1, 0},
      {"BacktabBeforeFirst", Qt::Key_Backtab, Qt::ShiftModifier, page, 3},
      {"Home", Qt::Key_Home, Qt::NoModifier, page, 0},
      {"CtrlEnd", Qt::Key_End, Qt::ControlModifier, 99, 0},
      {"DownOnLastStays", Qt::Key_Down, Qt::NoModifier, 99, 0},
      {"InsertDoesNothing", Qt::Key_Insert, Qt::NoModifier, 99, 0},
      {"CtrlDeleteDoesNothing", Qt::Key_Delete, Qt::ControlModifier, 99, 0},
      {"PageUp", Qt::Key_PageUp, Qt::NoModifier, 99 - page, 0},
      {"CtrlHome", Qt::Key_Home, Qt::ControlModifier, 0, 0},
      {"UpOnFirstStays", Qt::Key_Up, Qt::NoModifier, 0, 0},
  };
  for (const KeyCase& s : steps) {
    SCOPED_TRACE(s.name);
    QTest::keyClick(view, static_cast<Qt::Key>(s.key), s.mods);
    EXPECT_EQ(grid_.Row(), s.row);
    EXPECT_EQ(grid_.Col(), s.col);
    EXPECT_EQ(data_.RecNo(), s.row) << "the data set follows the grid";
  }
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                    view->visualRect(view->model()->index(2, 1)).center());
  EXPECT_EQ(data_.RecNo(), 2);
  EXPECT_EQ(grid_.Col(), 1);
}

TEST_F(GridTest, MovingTheDataSetMovesTheCursor) {
  Open(500);
  grid_.show();
  int heard = 0;
  struct Listener : TDataLinkGv {
    int* heard;
    void DataSetChanged() override {}
    void RecordChanged() override { ++*heard; }
    void DataSourceDestroyed(TDataSourceGv*) override {}
  } listener;
  listener.heard = &heard;
  source_.AddLink(&listener);

  data_.MoveTo(321);
  source_.RecordChanged();
  EXPECT_EQ(grid_.Row(), 321);
  QTableView* view = grid_.View();
  EXPECT_TRUE(view->viewport()->rect().intersects(view->visualRect(view->model()->index(321, 0))))
      << "the current row is scrolled into view";
  heard = 0;
  QTest::keyClick(view, Qt::Key_Down);
  EXPECT_EQ(data_.RecNo(), 322);
  EXPECT_EQ(heard, 1) << "other links hear the grid's move";
  source_.RemoveLink(&listener);

  // Re-binding to an open set shows its current record.
  DbResultSet other = Patients(50);
  other.MoveTo(7);
  source_.SetResultSet(&other);
  EXPECT_EQ(grid_.Row(), 7);
}

TEST_F(GridTest, DatesUseTheProcessDateFormat) {
  core::FormatSettingsData saved = core::FormatSettings();
  core::FormatSettings().ShortDateFormat = "YYYY.MM.DD";
  Open(40);
  EXPECT_EQ(grid_.CellText(0, 3), "2026.01.01");
  EXPECT_EQ(grid_.CellText(31, 3), "2026.02.01");
  EXPECT_EQ(grid_.CellText(2, 2), "") << "NULL shows empty";
  EXPECT_EQ(grid_.CellText(0, 2), "0.1");
  core::FormatSettings() = saved;
}

// ---- over a real query -------------------------------------------------

TEST(GridQueryTest, ShowsASqliteQueryAndFollowsOpenAndClose) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string file = dir.filePath("grid.db").toStdString();
  std::ofstream(file).close();
  platform::DbSession session("His_DB");
  session.SetParam("SERVER NAME", "");
  session.SetParam("DATABASE NAME", file);
  session.Open();
  platform::DbQuery exec(session);
  for (const char* sql :
       {"CREATE TABLE BR (BAH000 VARCHAR(10), XM0000 VARCHAR(20), ZYTS00 INTEGER, CYRQ00 DATE)",
        "INSERT INTO BR VALUES ('A001', '张三', 12, '2026-03-05')",
        "INSERT INTO BR VALUES ('A002', '李四', NULL, '2026-03-07')",
        "INSERT INTO BR VALUES ('A003', '王五', 3, NULL)"}) {
    exec.ClearSql();
    exec.AddSql(sql);
    exec.ExecSql();
  }

  auto query = std::make_unique<platform::DbQuery>(session);
  platform::DbQuery never(session);
  auto source = std::make_unique<TDataSourceGv>();
  source->SetDataSet(&never);
  TDBGridGv grid;
  for (const char* name : {"BAH000", "XM0000", "ZYTS00", "CYRQ00"}) {
    TColumnGv* c = grid.Columns().Add();
    c->SetFieldName(name);
    c->Title().SetCaption(std::string("标题") + name);
    c->Footer().SetValueType(fvtSum);
  }
  grid.SetFooterRowCount(1);
  grid.SumList().SetActive(true);
  grid.SetDataSource(source.get());
  EXPECT_EQ(grid.VisibleColumnCount(), 4) << "never-opened data set: titles, no rows";
  EXPECT_EQ(grid.View()->model()->rowCount(), 0);
  EXPECT_EQ(grid.VisibleColumn(3)->Title().Caption(), "标题CYRQ00");

  core::FormatSettingsData saved = core::FormatSettings();
  core::FormatSettings().ShortDateFormat = "YYYY.MM.DD";
  query->AddSql("SELECT BAH000, XM0000, ZYTS00, CYRQ00 FROM BR ORDER BY BAH000");
  query->Open();
  source->SetDataSet(query.get());
  ASSERT_EQ(grid.View()->model()->rowCount(), 3);
  EXPECT_EQ(grid.CellText(0, 3), "2026.03.05");
  EXPECT_EQ(grid.CellText(1, 2), "");
  EXPECT_EQ(grid.FooterText(0, 2), "15");
  EXPECT_EQ(grid.Row(), 0);
  QTest::keyClick(grid.View(), Qt::Key_Down);
  EXPECT_EQ(query->FieldByName("XM0000").AsString(), "李四") << "the caller reads the grid's row";
  core::FormatSettings() = saved;

  query->Close();
  source->DataSetChanged();
  EXPECT_EQ(grid.View()->model()->rowCount(), 0);
  EXPECT_EQ(grid.FooterText(0, 2), "");
  EXPECT_EQ(grid.SumList().SumCollection().Find(goSum, "ZYTS00")->SumValue(), 0);

  // The window drops its queries and data source before its child widgets.
  query.reset();
  source.reset();
  EXPECT_EQ(grid.DataSource(), nullptr);
  EXPECT_EQ(grid.SumList().DataSource(), nullptr);
  grid.show();
  QImage image(grid.size(), QImage::Format_RGB32);
  grid.render(&image);  // paints without touching the dead query
}

}  // namespace
}  // namespace grid
