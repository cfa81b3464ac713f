// Resource table and the library's built-in texts.
#include "report/resources.h"

#include <algorithm>
#include <filesystem>

#include "core/text_util.h"

namespace report {

namespace {

// The library's texts, as its modules add them at start-up.
const char* const kBuiltInTexts = R"(clErrors=发生下列的错误:
clDSNotExist=数据库 "%s" 不存在
clDSNotIncl=(数据库未加入至 Report.DataSets)
clUnknownVar=未知的变量或数据库字段:
clScrError=Script 错误在 %s: %s
clExprError=运算式错误
enUnconnHeader=未连接至表首
enUnconnGroup=群组未连接至数据库
enUnconnGFooter=没有群组表尾er for
enBandPos=Band的位置错误:
clDecompressError=Stream 解压缩发生错误
dbNotConn=数据库 %s 未连接至数据库
dbFldNotFound=字段不存在:
xrCantFindClass=不明的类别
mbError=错误
mbConfirm=确认
prDefault=预设
prCustom=自定
prVirtual=虚拟
prDupl=Duplicate name
prInvProp=Invalid property value
prRunningFirst=First pass: page %d
prRunning=Preparing page %d
prExporting=Exporting page %d
prPrinting=Printing page %d
obText=Text object
obSysText=System text
obLine=Line object
obPicture=Picture object
obShape=Shape object
obSubRep=Subreport object
obBand=Band object
obDataBand=Data band
obRepPage=Report page
obDlgPage=Dialog form
obReport=Report object
clQP3files=报表文件
clSaving=保存文件...
clLoading=载入文件...
clCancel=取消
clClose=关闭(&X)
clPageOf=页 %d / %d
clFirstPass=第一次处理过程: 页
clNoPrinters=在你的系统没有安装打印机
zmPageWidth=页宽
zmWholePage=整页
uCm=cm
uInch=in
1=确定
2=取消
3=全部
4=本页
5=页:
9=输入页数/文件范围，并以逗号分隔(例如:1,3,5-12)
200=打印
201=打印机
202=页
203=份数
204=自动分页(&T)
205=份数(&C)
206=打印
207=类型:
208=位置:
209=属性(&P)
210=输出至文件(&L)
211=逆页序打印(&V)
ppAll=范围中所有页面
ppOdd=奇数页
ppEven=偶数页
100=预览
101=打印
102=打印
103=打开
104=打开
105=保存
106=保存
107=导出
108=导出
109=寻找
110=寻找
111=整页
112=整页
113=页宽
114=页宽
115=100%
116=100%
117=两页
118=两页
119=显示比例
120=页面设置
121=页面设置
122=纲要
123=纲要
124=拖动
125=拖动
126=缩放
127=缩放
128=新增页
129=新增页
130=删除页
131=删除页
132=编辑页
133=编辑页
134=首页
135=首页
136=前页
137=前页
138=次页
139=次页
140=末页
141=末页
142=页数
150=Full Screen
151=Export to PDF
152=Send by E-mail
300=寻找文本
301=寻找目标:
302=选项
304=起点
305=区分大小写
400=页面设置
401=宽度
402=高度
403=纸张大小
404=打印方向
405=左
406=上
407=右
408=下
409=边距
410=纵向
411=横向
412=其它
413=套用本页
414=套用全部页面
)";

}  // namespace

bool TqdrResources::NoCaseLess::operator()(std::string_view a, std::string_view b) const {
  return core::CompareNoCase(a, b) < 0;
}

TqdrResources::TqdrResources() {
  AddLines(kBuiltInTexts);
}

std::string TqdrResources::Lookup(std::string_view key) const {
  std::lock_guard<std::mutex> guard(lock_);
  auto it = keys_.find(key);
  return it == keys_.end() ? std::string(key) : texts_[it->second];
}

void TqdrResources::Store(std::string_view key, std::string_view text) {
  std::lock_guard<std::mutex> guard(lock_);
  auto it = keys_.find(key);
  if (it != keys_.end()) {
    texts_[it->second] = std::string(text);
    return;
  }
  texts_.emplace_back(text);
  keys_.emplace(std::string(key), texts_.size() - 1);
}

void TqdrResources::AddLines(std::string_view text) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    size_t eq = line.find('=');
    if (eq != std::string_view::npos && eq > 0 && eq + 1 < line.size())
      Store(line.substr(0, eq), line.substr(eq + 1));
    start = end + 1;
  }
}

void TqdrResources::Clear() {
  std::lock_guard<std::mutex> guard(lock_);
  keys_.clear();
  texts_.clear();
}

int TqdrResources::Count() const {
  std::lock_guard<std::mutex> guard(lock_);
  return static_cast<int>(keys_.size());
}

std::vector<std::string> TqdrResources::Languages(const std::string& folder) const {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path dir = folder;
  if (dir.empty()) dir = fs::read_symlink("/proc/self/exe", ec).parent_path();
  std::vector<std::string> out;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    fs::path p = it->path();
    if (!core::EqualsNoCase(p.extension().string(), ".qrc")) continue;
    std::string name = core::LowerCase(p.stem().string());
    if (!name.empty() && name[0] >= 'a' && name[0] <= 'z')
      name[0] = static_cast<char>(name[0] - 32);
    out.push_back(name);
  }
  std::sort(out.begin(), out.end());
  return out;
}

TqdrResources& Resources() {
  static TqdrResources* table = new TqdrResources;  // lives until the program ends
  return *table;
}

}  // namespace report
