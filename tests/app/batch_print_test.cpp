// survey print end to end: a demo database file, the shipped print template,
// the survey executable run as a user would, and the PDF that comes out read
// back with poppler's tools.
#include <gtest/gtest.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "platform/db/db_query.h"
#include "platform/db/db_session.h"
#include "tools/demo_db/demo_database.h"

namespace {

struct Outcome {
  int code = -1;
  QString out, err;
};

class BatchPrintTest : public testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    db_ = dir_.filePath("VLK.db").toStdString();
    tools::BuildDemoDatabaseFromDir(db_, std::string(SURVEY_SOURCE_DIR) + "/data");
    WriteSettings(true);
    ASSERT_TRUE(QFile::copy(Source("data/医院出院病人调查表(病案).qr3"), Template()));
  }
  static QString Source(const char* path) {
    return QString::fromUtf8(SURVEY_SOURCE_DIR) + "/" + QString::fromUtf8(path);
  }
  QString Template() const {
    return dir_.filePath(QString::fromUtf8("医院出院病人调查表(病案).qr3"));
  }
  void WriteSettings(bool hospitalName) {
    const std::string ini = dir_.filePath("settings.ini").toStdString();
    tools::WriteDemoSettings(ini, db_);
    if (!hospitalName) {
      QFile f(QString::fromStdString(ini));
      ASSERT_TRUE(f.open(QIODevice::ReadOnly));
      QString text = QString::fromUtf8(f.readAll());
      f.close();
      text.replace(QRegularExpression("HNAME=[^\\n]*"), "HNAME=");
      ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
      f.write(text.toUtf8());
    }
  }
  Outcome Survey(QStringList args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HIS_SETTINGS", dir_.filePath("settings.ini"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir_.path());
    p.start(QString::fromUtf8(SURVEY_PATH), args);
    Outcome r;
    if (!p.waitForFinished(120000)) return r;
    r.code = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
  }
  QStringList Quarter(const QString& pdf) {
    const QDate today = QDate::currentDate();
    return {"print",
            "--user",
            "CHIEF",
            "--password",
            "chief",
            "--from",
            today.addDays(-91).toString(Qt::ISODate),
            "--to",
            today.toString(Qt::ISODate),
            "--pdf",
            pdf};
  }
  // Text of one page, blanks collapsed.
  static QString PageText(const QString& pdf, int page) {
    QProcess p;
    p.start("pdftotext",
            {"-layout", "-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
  }
  static int PageCount(const QString& pdf) {
    QProcess p;
    p.start("pdfinfo", {pdf});
    p.waitForFinished(30000);
    const QString info = QString::fromUtf8(p.readAllStandardOutput());
    const QRegularExpressionMatch m = QRegularExpression("Pages:\\s+(\\d+)").match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
  }
  // Rows of the view after the run, in print order.
  std::vector<std::vector<std::string>> ViewRows() {
    platform::DbSession s("Check");
    s.SetParam("DATABASE NAME", db_);
    s.Open();
    platform::DbQuery q(s);
    q.AddSql(
        "select BAH000, CSRQNF, CSRQYF, CSRQRF, RZKS00, RZKSMC, HJJE00, CYZY01 "
        "from VW_BA_CYBRDC order by BAH000");
    q.Open();
    std::vector<std::vector<std::string>> rows;
    for (q.First(); !q.Eof(); q.Next()) {
      std::vector<std::string> row;
      for (const char* f :
           {"BAH000", "CSRQNF", "CSRQYF", "CSRQRF", "RZKS00", "RZKSMC", "HJJE00", "CYZY01"})
        row.push_back(q.FieldByName(f).AsString());
      rows.push_back(row);
    }
    return rows;
  }

  QTemporaryDir dir_;
  std::string db_;
};

TEST_F(BatchPrintTest, QuarterPrintsOnePagePerRecordWithItsValues) {
  const QString pdf = dir_.filePath("quarter.pdf");
  const Outcome r = Survey(Quarter(pdf));
  ASSERT_EQ(0, r.code) << r.err.toStdString();
  const auto rows = ViewRows();
  ASSERT_GT(rows.size(), 10u) << "the demo data has a quarter of discharges";
  EXPECT_EQ(static_cast<int>(rows.size()), PageCount(pdf));
  for (int n = 1; n <= 10; ++n) {
    const auto& row = rows[static_cast<size_t>(n - 1)];
    const QString text = PageText(pdf, n);
    SCOPED_TRACE("page " + std::to_string(n) + " record " + row[0]);
    auto has = [&text](const std::string& s) { return text.contains(QString::fromStdString(s)); };
    EXPECT_TRUE(has("1.1病案号 " + row[0])) << text.left(400).toStdString();
    EXPECT_TRUE(has("1.5出生日期 " + row[1] + " 年 " + row[2] + " 月 " + row[3] + " 日"));
    EXPECT_TRUE(has("2.2 入院科别代码 " + row[4] + "(" + row[5] + ")"));
    EXPECT_TRUE(has("福州市第一人民医院出院病人调查表"));
    EXPECT_TRUE(has("7.0住院费用总计（元） " + row[6])) << "costs";
    if (row[7].empty())
      EXPECT_TRUE(has("3.4出院时其它诊断1（填ICD-10编码） 3.5")) << "a null prints blank";
  }
}

TEST_F(BatchPrintTest, OneRecordAndPageRangeSelectPages) {
  const auto all = ViewRows();
  QStringList args = Quarter(dir_.filePath("one.pdf"));
  const Outcome first = Survey(args);
  ASSERT_EQ(0, first.code) << first.err.toStdString();
  const std::string record = ViewRows().at(2)[0];
  args << "--record" << QString::fromStdString(record);
  const Outcome r = Survey(args);
  ASSERT_EQ(0, r.code) << r.err.toStdString();
  EXPECT_EQ(1, PageCount(dir_.filePath("one.pdf")));
  EXPECT_TRUE(PageText(dir_.filePath("one.pdf"), 1)
                  .contains(QString::fromStdString("1.1病案号 " + record)));
  (void)all;
}

TEST_F(BatchPrintTest, EmptyHospitalNameLeavesTheTitleAlone) {
  WriteSettings(false);
  const QString pdf = dir_.filePath("title.pdf");
  const Outcome r = Survey(Quarter(pdf));
  ASSERT_EQ(0, r.code) << r.err.toStdString();
  EXPECT_TRUE(PageText(pdf, 1).startsWith(QString::fromUtf8("出院病人调查表")))
      << PageText(pdf, 1).left(80).toStdString();
}

TEST_F(BatchPrintTest, FailuresGiveTheSystemsMessageAndExitNonZero) {
  struct Case {
    const char* name;
    std::function<void(BatchPrintTest&, QStringList&)> setUp;
    const char* message;
  };
  const Case cases[] = {
      {"missing template", [](BatchPrintTest& t, QStringList&) { QFile::remove(t.Template()); },
       "[医院出院病人调查表(病案).QR3]打印模板不存在，请和管理员联系！"},
      {"template without a named memo",
       [](BatchPrintTest& t, QStringList&) {
         QFile f(t.Template());
         ASSERT_TRUE(f.open(QIODevice::ReadOnly));
         QByteArray text = f.readAll();
         f.close();
         text.replace("Name=\"Memo_tbr\"", "Name=\"Memo_other\"");
         ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
         f.write(text);
       },
       "打印失败，请重试或者联系管理员！"},
      {"wrong password", [](BatchPrintTest&, QStringList& args) { args[4] = "wrong"; },
       "密码错误!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QFile::remove(Template());
    ASSERT_TRUE(QFile::copy(Source("data/医院出院病人调查表(病案).qr3"), Template()));
    QStringList args = Quarter(dir_.filePath("fail.pdf"));
    c.setUp(*this, args);
    const Outcome r = Survey(args);
    EXPECT_EQ(1, r.code);
    EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << r.err.toStdString();
  }
  const Outcome help = Survey({"print", "--help"});
  EXPECT_EQ(0, help.code);
  EXPECT_TRUE(help.out.contains("--pdf"));
  EXPECT_EQ(2, Survey({"print", "--user", "CHIEF"}).code) << "bad arguments";
}

// Page 1 at 40 dpi against a reference kept in tests/: records differ from
// day to day (the demo data follows the calendar), the layout does not.
TEST_F(BatchPrintTest, FirstPageLooksLikeTheReference) {
  const QString pdf = dir_.filePath("look.pdf");
  const Outcome r = Survey(Quarter(pdf));
  ASSERT_EQ(0, r.code) << r.err.toStdString();
  QProcess p;
  p.start("pdftoppm",
          {"-r", "40", "-gray", "-f", "1", "-l", "1", "-png", pdf, dir_.filePath("page")});
  ASSERT_TRUE(p.waitForFinished(30000));
  QDir d(dir_.path());
  const QStringList pngs = d.entryList({"page*.png"});
  ASSERT_EQ(1, pngs.size());
  const QImage page = QImage(d.filePath(pngs[0])).convertToFormat(QImage::Format_Grayscale8);
  const QImage reference = QImage(Source("tests/app/data/survey_page1_40dpi.png"))
                               .convertToFormat(QImage::Format_Grayscale8);
  ASSERT_EQ(reference.size(), page.size());
  double diff = 0;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x)
      diff += std::abs(qGray(page.pixel(x, y)) - qGray(reference.pixel(x, y)));
  diff /= page.width() * page.height();
  // Another record's page differs by about 0.2; the layout moved by 1.3 mm (2 pixels) by 7 to 14.
  EXPECT_LT(diff, 2.0) << "mean grey difference per pixel";
}

}  // namespace
