// qdr render / qdr pages run as a user would, on a template written by the
// report library and rows of a real SQLite file.
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <fstream>
#include <string>

#include "platform/db/db_session.h"
#include "report/band.h"
#include "report/page.h"
#include "report/report.h"
#include "report/view.h"

namespace {

struct Result {
  int code = -1;
  std::string err;
};

class QdrRenderTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    db_ = Path("people.db");
    std::ofstream{db_};
    platform::DbSession s("qdrtest");
    s.SetParam("DATABASE NAME", db_);
    s.Open();
    s.Run("CREATE TABLE P (ID INTEGER, NAME VARCHAR(20))");
    s.Run("INSERT INTO P VALUES (1, '张三'), (2, 'Li Si'), (3, '王五')");
    s.Close();
    WriteTemplate("[People.\"NAME\"] [Greeting]", Path("people.qr3"));
  }
  std::string Path(const char* name) const { return dir_.filePath(name).toStdString(); }
  // One page with a master band of 400 units over dataset People: two rows per page.
  static void WriteTemplate(const std::string& text, const std::string& file) {
    report::TqdrReport r;
    auto* page = new report::TqdrReportPage(&r);
    page->SetParent(&r);
    page->SetName("Page1");
    auto* band = new report::TqdrMasterData(&r);
    band->SetParent(page);
    band->SetName("MasterData1");
    band->SetBounds(0, 10, 700, 400);
    band->SetDataSetName("People");
    auto* memo = new report::TqdrMemoView(&r);
    memo->SetParent(band);
    memo->SetName("Memo1");
    memo->SetBounds(10, 10, 300, 20);
    memo->SetText(text);
    r.SaveToFile(file);
  }
  Result Qdr(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(QString::fromUtf8(QDR_PATH), args);
    Result r;
    if (!p.waitForFinished(60000)) return r;
    r.code = p.exitCode();
    r.err = QString::fromUtf8(p.readAllStandardError()).toStdString();
    return r;
  }
  QStringList Render(const QString& outFlag, const std::string& out) {
    return {"render",    QString::fromStdString(Path("people.qr3")),
            "--sqlite",  QString::fromStdString(db_),
            "--dataset", "People=select NAME from P order by ID",
            "--var",     "Greeting=hello",
            outFlag,     QString::fromStdString(out)};
  }
  static std::string PdfText(const std::string& pdf) {
    QProcess p;
    p.start("pdftotext", {QString::fromStdString(pdf), "-"});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).simplified().toStdString();
  }

  QTemporaryDir dir_;
  std::string db_;
};

TEST_F(QdrRenderTest, RendersPdfPngAndPreparedPages) {
  const Result pdf = Qdr(Render("--pdf", Path("people.pdf")));
  ASSERT_EQ(0, pdf.code) << pdf.err;
  const std::string text = PdfText(Path("people.pdf"));
  EXPECT_NE(std::string::npos, text.find("张三 hello")) << text;
  EXPECT_NE(std::string::npos, text.find("王五 hello")) << text;

  ASSERT_EQ(0, Qdr(Render("--png", Path("png"))).code);
  EXPECT_EQ(
      QStringList({"page-1.png", "page-2.png"}),
      QDir(QString::fromStdString(Path("png"))).entryList({"*.png"}, QDir::Files, QDir::Name));

  ASSERT_EQ(0, Qdr(Render("--qp3", Path("people.qp3"))).code);
  const Result pages = Qdr({"pages", QString::fromStdString(Path("people.qp3")), "--pdf",
                            QString::fromStdString(Path("again.pdf"))});
  ASSERT_EQ(0, pages.code) << pages.err;
  EXPECT_EQ(text, PdfText(Path("again.pdf"))) << "the prepared file holds the same pages";
}

TEST_F(QdrRenderTest, ErrorsAndUsage) {
  WriteTemplate("[1 +]", Path("people.qr3"));
  const Result bad = Qdr(Render("--pdf", Path("bad.pdf")));
  EXPECT_EQ(1, bad.code);
  EXPECT_NE(std::string::npos, bad.err.find("运算式错误 '1 +'")) << bad.err;
  EXPECT_EQ(3, Qdr({"render", QString::fromStdString(Path("missing.qr3")), "--pdf", "x.pdf"}).code);
  EXPECT_EQ(3, Qdr({"render", QString::fromStdString(Path("people.qr3"))}).code) << "no output";
  EXPECT_EQ(3, Qdr({"pages", QString::fromStdString(Path("damaged.qp3")), "--pdf", "x.pdf"}).code);
  EXPECT_EQ(0, Qdr({"--help"}).code);
}

}  // namespace
