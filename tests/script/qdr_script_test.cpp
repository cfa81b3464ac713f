// qdr script: output, exit codes and error texts of the real executable.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/wait.h>

namespace {

struct Outcome {
  int code;
  std::string out, err;
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

Outcome RunQdr(const std::string& program, const std::string& extra = "") {
  // ctest runs the cases in parallel: one set of files per case.
  const std::string dir = ::testing::TempDir() +
                          ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_";
  const std::string src = dir + "program.pas";
  std::ofstream(src, std::ios::binary) << program;
  const std::string cmd = std::string(QDR_PATH) + " script " + src + extra + " >" + dir +
                          "qdr.out 2>" + dir + "qdr.err";
  int status = std::system(cmd.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(dir + "qdr.out"),
          ReadAll(dir + "qdr.err")};
}

TEST(QdrScript, ShowMessageWritesLinesToStdout) {
  Outcome o = RunQdr("var i: Integer;\nbegin for i := 1 to 2 do ShowMessage('line ' + IntToStr(i)) end.");
  EXPECT_EQ(o.code, 0);
  EXPECT_EQ(o.out, "line 1\nline 2\n");
  EXPECT_EQ(o.err, "");
}

TEST(QdrScript, CompileErrorIsPositionAndMessage) {
  Outcome o = RunQdr("begin\n  ShowMessage(1)\n  ShowMessage(2)\nend.");
  EXPECT_EQ(o.code, 1);
  EXPECT_EQ(o.err, "3:3: ';' expected\n");
  EXPECT_EQ(o.out, "");
}

TEST(QdrScript, RunTimeErrorExitsWithTwo) {
  Outcome o = RunQdr("begin ShowMessage('before'); RaiseException('broken'); ShowMessage('after') end.");
  EXPECT_EQ(o.code, 2);
  EXPECT_EQ(o.out, "before\n");
  EXPECT_EQ(o.err, "broken\n");
}

TEST(QdrScript, UnknownLanguageIsACompileFailure) {
  Outcome o = RunQdr("begin end.", " --language Klingon");
  EXPECT_EQ(o.code, 1);
  EXPECT_EQ(o.err, "Language 'Klingon' not found\n");
}

}  // namespace
