// The report library's runtime module.
#include "report/report_module.h"

#include <fstream>
#include <sstream>

#include "core/date_time.h"
#include "core/error.h"
#include "core/reflection.h"
#include "report/band.h"
#include "report/collections.h"
#include "report/dataset.h"
#include "report/dataset_functions.h"
#include "report/frame.h"
#include "report/memo_text.h"
#include "report/options.h"
#include "report/page.h"
#include "report/picture.h"
#include "report/report.h"
#include "report/view.h"
#include "script/class_variable.h"
#include "script/classes_module.h"
#include "script/dialogs_module.h"
#include "script/helpers.h"
#include "script/script.h"
#include "script/string_list.h"
#include "script/system_module.h"

namespace report {
namespace {

using sq::TsqMethodHelper;
using Helper = sq::TsqHelperMethodEvent;

// Script-side stand-in for the platform's component class between TPersistent
// and the report components.
const core::ClassInfo* TComponentClass() {
  static const core::ClassInfo info("TComponent", sq::TPersistentClass());
  return &info;
}

const core::ClassInfo* TqdrVariablesClass() {
  static const core::ClassInfo info("TqdrVariables", sq::TPersistentClass());
  return &info;
}

template <class T>
T& Self(core::TObject* o) {
  auto* t = dynamic_cast<T*>(o);
  if (!t) throw core::Error("Object reference is nil");
  return *t;
}

core::Variant Obj(core::TObject* o) {
  return o ? core::Variant(o) : core::Variant(int32_t{0});
}

// A method whose body only needs the instance and the helper.
template <class T, class F>
Helper Member(F body) {
  return [body](core::TObject* o, const core::ClassInfo*, const std::string&,
                TsqMethodHelper& h) -> core::Variant { return body(Self<T>(o), h); };
}

template <class T, class F>
sq::TsqGetPropertyEvent Getter(F body) {
  return [body](core::TObject* o, const core::ClassInfo*, const std::string&) -> core::Variant {
    return body(Self<T>(o));
  };
}

template <class T, class F>
sq::TsqSetPropertyEvent Setter(F body) {
  return [body](core::TObject* o, const core::ClassInfo*, const std::string&,
                const core::Variant& v) { body(Self<T>(o), v); };
}

std::vector<std::string> LinesOf(const core::Variant& v) {
  if (auto* list = dynamic_cast<sq::TsqStringList*>(sq::ObjectOf(v))) {
    std::vector<std::string> lines;
    for (int i = 0; i < list->Count(); ++i) lines.push_back(list->Strings(i));
    return lines;
  }
  if (auto* list = dynamic_cast<TqdrStringList*>(sq::ObjectOf(v))) return list->Lines();
  TqdrStringList text;
  text.SetText(v.ToString());
  return text.Lines();
}

void AddDataSetClass(sq::TsqScript& s) {
  sq::TsqClassVariable* c = s.AddClass(TqdrDataSet::StaticClass(), "TComponent");
  if (!c) return;
  c->AddMethod("procedure Open", Member<TqdrDataSet>([](TqdrDataSet& d, TsqMethodHelper&) {
                 d.Open();
                 return core::Variant();
               }));
  c->AddMethod("procedure Close", Member<TqdrDataSet>([](TqdrDataSet& d, TsqMethodHelper&) {
                 d.Close();
                 return core::Variant();
               }));
  c->AddMethod("procedure First", Member<TqdrDataSet>([](TqdrDataSet& d, TsqMethodHelper&) {
                 d.First();
                 return core::Variant();
               }));
  c->AddMethod("procedure Next", Member<TqdrDataSet>([](TqdrDataSet& d, TsqMethodHelper&) {
                 d.Next();
                 return core::Variant();
               }));
  c->AddMethod("procedure Prior", Member<TqdrDataSet>([](TqdrDataSet& d, TsqMethodHelper&) {
                 d.Prior();
                 return core::Variant();
               }));
  c->AddMethod("function Eof: Boolean", Member<TqdrDataSet>([](TqdrDataSet& d, TsqMethodHelper&) {
                 return core::Variant(d.Eof());
               }));
  c->AddMethod("function FieldsCount: Integer",
               Member<TqdrDataSet>([](TqdrDataSet& d, TsqMethodHelper&) {
                 return core::Variant(int32_t{d.FieldsCount()});
               }));
  c->AddMethod("function HasField(const fName: String): Boolean",
               Member<TqdrDataSet>([](TqdrDataSet& d, TsqMethodHelper& h) {
                 return core::Variant(d.HasField(h.ParamValue(0).ToString()));
               }));
  c->AddMethod("function IsBlobField(const fName: String): Boolean",
               Member<TqdrDataSet>([](TqdrDataSet& d, TsqMethodHelper& h) {
                 return core::Variant(d.IsBlobField(h.ParamValue(0).ToString()));
               }));
  c->AddMethod("function RecordCount: Integer",
               Member<TqdrDataSet>([](TqdrDataSet& d, TsqMethodHelper&) {
                 return core::Variant(int32_t{d.RecordCount()});
               }));
  c->AddMethod("procedure GetFieldList(List: TStrings)",
               Member<TqdrDataSet>([](TqdrDataSet& d, TsqMethodHelper& h) {
                 std::vector<std::string> names;
                 d.GetFieldList(names);
                 if (auto* list = dynamic_cast<sq::TsqStringList*>(sq::ObjectOf(h.ParamValue(0)))) {
                   list->Clear();
                   for (const std::string& n : names) list->Add(n);
                 }
                 return core::Variant();
               }));
  c->AddProperty("RecNo", "Integer", Getter<TqdrDataSet>([](TqdrDataSet& d) {
                   return core::Variant(int32_t{d.RecNo()});
                 }));
  c->AddIndexProperty("DisplayText", "String", "String",
                      Member<TqdrDataSet>([](TqdrDataSet& d, TsqMethodHelper& h) {
                        return core::Variant(d.DisplayText(h.ParamValue(0).ToString()));
                      }),
                      true);
  c->AddIndexProperty("DisplayWidth", "String", "Integer",
                      Member<TqdrDataSet>([](TqdrDataSet& d, TsqMethodHelper& h) {
                        return core::Variant(int32_t{d.DisplayWidth(h.ParamValue(0).ToString())});
                      }),
                      true);
  c->AddIndexProperty(
      "FieldType", "String", "TqdrFieldType",
      Member<TqdrDataSet>([](TqdrDataSet& d, TsqMethodHelper& h) {
        return core::Variant(static_cast<int32_t>(d.FieldType(h.ParamValue(0).ToString())));
      }),
      true);
  c->AddIndexProperty("Value", "String", "Variant",
                      Member<TqdrDataSet>([](TqdrDataSet& d, TsqMethodHelper& h) {
                        return d.Value(h.ParamValue(0).ToString());
                      }),
                      true);
  s.AddClass(TqdrUserDataSet::StaticClass(), "TqdrDataSet");
  s.AddClass(TqdrCustomDBDataSet::StaticClass(), "TqdrDataSet");
}

void AddComponentClasses(sq::TsqScript& s) {
  s.AddClass(TComponentClass(), "TPersistent");
  sq::TsqClassVariable* c = s.AddClass(TqdrComponent::StaticClass(), "TComponent");
  if (c) {
    c->AddMethod("procedure Clear", Member<TqdrComponent>([](TqdrComponent& o, TsqMethodHelper&) {
                   o.Clear();
                   return core::Variant();
                 }));
    c->AddMethod("function FindObject(s: String): TqdrComponent",
                 Member<TqdrComponent>([](TqdrComponent& o, TsqMethodHelper& h) {
                   return Obj(o.FindObject(h.ParamValue(0).ToString()));
                 }));
    c->AddMethod("procedure SetBounds(ALeft, ATop, AWidth, AHeight: Extended)",
                 Member<TqdrComponent>([](TqdrComponent& o, TsqMethodHelper& h) {
                   o.SetBounds(h.ParamValue(0).ToDouble(), h.ParamValue(1).ToDouble(),
                               h.ParamValue(2).ToDouble(), h.ParamValue(3).ToDouble());
                   return core::Variant();
                 }));
    c->AddMethod("procedure LoadFromStream(Stream: TStream)",
                 Member<TqdrComponent>([](TqdrComponent&, TsqMethodHelper&) -> core::Variant {
                   throw core::Error("Streams are not available to report scripts");
                 }));
    c->AddMethod("procedure SaveToStream(Stream: TStream; SaveChildren: Boolean = True)",
                 Member<TqdrComponent>([](TqdrComponent&, TsqMethodHelper&) -> core::Variant {
                   throw core::Error("Streams are not available to report scripts");
                 }));
    // The children by position (the object lists of the component tree).
    c->AddIndexProperty(
        "Objects", "Integer", "TqdrComponent",
        Member<TqdrComponent>([](TqdrComponent& o, TsqMethodHelper& h) {
          const int i = h.ParamValue(0).ToInt32();
          const auto& list = o.Objects();
          if (i < 0 || i >= static_cast<int>(list.size()))
            throw core::Error("List index out of bounds (" + std::to_string(i) + ")");
          return Obj(list[static_cast<size_t>(i)]);
        }),
        true);
    c->AddIndexProperty(
        "AllObjects", "Integer", "TqdrComponent",
        Member<TqdrComponent>([](TqdrComponent& o, TsqMethodHelper& h) {
          const int i = h.ParamValue(0).ToInt32();
          const auto& list = o.AllObjects();
          if (i < 0 || i >= static_cast<int>(list.size()))
            throw core::Error("List index out of bounds (" + std::to_string(i) + ")");
          return Obj(list[static_cast<size_t>(i)]);
        }),
        true);
    c->AddProperty("Parent", "TqdrComponent",
                   Getter<TqdrComponent>([](TqdrComponent& o) { return Obj(o.Parent()); }),
                   Setter<TqdrComponent>([](TqdrComponent& o, const core::Variant& v) {
                     o.SetParent(dynamic_cast<TqdrComponent*>(sq::ObjectOf(v)));
                   }));
    c->AddProperty("Page", "TqdrPage",
                   Getter<TqdrComponent>([](TqdrComponent& o) { return Obj(o.Page()); }));
    c->AddProperty("AbsLeft", "Extended", Getter<TqdrComponent>([](TqdrComponent& o) {
                     return core::Variant(o.AbsLeft());
                   }));
    c->AddProperty("AbsTop", "Extended", Getter<TqdrComponent>([](TqdrComponent& o) {
                     return core::Variant(o.AbsTop());
                   }));
  }
  s.AddClass(TqdrReportComponent::StaticClass(), "TqdrComponent");
  s.AddClass(TqdrDialogComponent::StaticClass(), "TqdrReportComponent");
  if (auto* d = s.AddClass(TqdrDialogControl::StaticClass(), "TqdrReportComponent"))
    d->AddMethod("procedure SetFocus",
                 Member<TqdrDialogControl>(
                     [](TqdrDialogControl&, TsqMethodHelper&) { return core::Variant(); }));
  for (const core::ClassInfo* sub :
       {TqdrFrame::StaticClass(), TqdrHighlight::StaticClass(), TqdrFormat::StaticClass(),
        TqdrEngineOptions::StaticClass(), TqdrPrintOptions::StaticClass(),
        TqdrPreviewOptions::StaticClass(), TqdrReportOptions::StaticClass()})
    s.AddClass(sub, "TPersistent");
}

void AddViewClasses(sq::TsqScript& s) {
  if (auto* v = s.AddClass(TqdrView::StaticClass(), "TqdrReportComponent"))
    v->AddProperty(
        "TagStr", "String", Getter<TqdrView>([](TqdrView& o) { return core::Variant(o.TagStr()); }),
        Setter<TqdrView>([](TqdrView& o, const core::Variant& x) { o.SetTagStr(x.ToString()); }));
  s.AddClass(TqdrShapeView::StaticClass(), "TqdrView");
  if (auto* st = s.AddClass(TqdrStretcheable::StaticClass(), "TqdrView"))
    st->AddMethod("function CalcHeight: Extended",
                  Member<TqdrStretcheable>([](TqdrStretcheable& o, TsqMethodHelper&) {
                    return core::Variant(o.CalcHeight());
                  }));
  if (auto* m = s.AddClass(TqdrCustomMemoView::StaticClass(), "TqdrStretcheable")) {
    m->AddMethod("function CalcWidth: Extended",
                 Member<TqdrCustomMemoView>([](TqdrCustomMemoView& o, TsqMethodHelper&) {
                   return core::Variant(static_cast<double>(MemoCalcWidth(o)));
                 }));
    m->AddProperty(
        "Text", "String",
        Getter<TqdrCustomMemoView>([](TqdrCustomMemoView& o) { return core::Variant(o.Text()); }),
        Setter<TqdrCustomMemoView>(
            [](TqdrCustomMemoView& o, const core::Variant& x) { o.SetText(x.ToString()); }));
    // The text lines; writing copies a string list or the lines of a text.
    m->AddProperty("Lines", "Variant", Getter<TqdrCustomMemoView>([](TqdrCustomMemoView& o) {
                     return core::Variant(o.Memo()->Text());
                   }),
                   Setter<TqdrCustomMemoView>([](TqdrCustomMemoView& o, const core::Variant& x) {
                     o.Memo()->SetLines(LinesOf(x));
                   }));
    m->AddProperty("Value", "Variant",
                   Getter<TqdrCustomMemoView>([](TqdrCustomMemoView& o) { return o.Value(); }));
  }
  s.AddClass(TqdrMemoView::StaticClass(), "TqdrCustomMemoView");
  s.AddClass(TqdrSysMemoView::StaticClass(), "TqdrCustomMemoView");
  s.AddClass(TqdrCustomLineView::StaticClass(), "TqdrStretcheable");
  s.AddClass(TqdrLineView::StaticClass(), "TqdrCustomLineView");
  s.AddClass(TqdrSubreport::StaticClass(), "TqdrView");
  if (auto* p = s.AddClass(TqdrPictureView::StaticClass(), "TqdrView"))
    p->AddMethod("procedure LoadFromFile(filename: String)",
                 Member<TqdrPictureView>([](TqdrPictureView& o, TsqMethodHelper& h) {
                   const std::string name = h.ParamValue(0).ToString();
                   std::ifstream in(name, std::ios::binary);
                   if (!in) throw core::Error("Cannot open file \"" + name + "\"");
                   std::stringstream bytes;
                   bytes << in.rdbuf();
                   o.Picture()->LoadFromBytes(bytes.str());
                   return core::Variant();
                 }));
}

void AddBandAndPageClasses(sq::TsqScript& s) {
  if (auto* b = s.AddClass(TqdrBand::StaticClass(), "TqdrReportComponent"))
    b->AddProperty("Overflow", "Boolean",
                   Getter<TqdrBand>([](TqdrBand& o) { return core::Variant(o.Overflow()); }));
  for (const core::ClassInfo* band :
       {TqdrDataBand::StaticClass(), TqdrHeader::StaticClass(), TqdrFooter::StaticClass(),
        TqdrPageHeader::StaticClass(), TqdrPageFooter::StaticClass(),
        TqdrColumnHeader::StaticClass(), TqdrColumnFooter::StaticClass(),
        TqdrGroupHeader::StaticClass(), TqdrGroupFooter::StaticClass(),
        TqdrReportTitle::StaticClass(), TqdrReportSummary::StaticClass(), TqdrChild::StaticClass(),
        TqdrOverlay::StaticClass()})
    s.AddClass(band, "TqdrBand");
  for (const core::ClassInfo* data :
       {TqdrMasterData::StaticClass(), TqdrDetailData::StaticClass(),
        TqdrSubdetailData::StaticClass(), TqdrDataBand4::StaticClass(),
        TqdrDataBand5::StaticClass(), TqdrDataBand6::StaticClass()})
    s.AddClass(data, "TqdrDataBand");
  s.AddClass(TqdrPage::StaticClass(), "TqdrComponent");
  s.AddClass(TqdrReportPage::StaticClass(), "TqdrPage");
  if (auto* d = s.AddClass(TqdrDialogPage::StaticClass(), "TqdrPage")) {
    // Dialog pages have no window in this program.
    d->AddMethod("function ShowModal: Integer",
                 Member<TqdrDialogPage>([](TqdrDialogPage&, TsqMethodHelper&) -> core::Variant {
                   throw core::Error("Dialog pages cannot be shown in this program");
                 }));
  }
}

void AddReportClasses(sq::TsqScript& s) {
  s.AddClass(TqdrVariable::StaticClass(), "TPersistent");
  if (auto* v = s.AddClass(TqdrVariablesClass(), "TPersistent")) {
    v->AddDefaultProperty("Variables", "String", "Variant",
                          [](core::TObject* o, const core::ClassInfo*, const std::string& name,
                             TsqMethodHelper& h) -> core::Variant {
                            auto& vars = Self<TqdrVariables>(o);
                            if (name.size() > 4 && name.substr(name.size() - 4) == ".SET") {
                              vars.SetVariables(h.ParamValue(0).ToString(), h.ParamValue(1));
                              return core::Variant();
                            }
                            return vars.Variables(h.ParamValue(0).ToString());
                          });
  }
  sq::TsqClassVariable* r = s.AddClass(TqdrReport::StaticClass(), "TqdrComponent");
  if (!r) return;
  r->AddMethod("function Calc(const Expr: String): Variant",
               Member<TqdrReport>([](TqdrReport& o, TsqMethodHelper& h) {
                 return o.Calc(h.ParamValue(0).ToString());
               }));
  r->AddMethod("function GetDataset(const Alias: String): TqdrDataset",
               Member<TqdrReport>([](TqdrReport& o, TsqMethodHelper& h) {
                 return Obj(GetDataset(o, h.ParamValue(0).ToString()));
               }));
  r->AddMethod("function LoadFromFile(const FileName: String): Boolean",
               Member<TqdrReport>([](TqdrReport& o, TsqMethodHelper& h) {
                 return core::Variant(o.LoadFromFile(h.ParamValue(0).ToString()));
               }));
  r->AddMethod("procedure SaveToFile(const FileName: String)",
               Member<TqdrReport>([](TqdrReport& o, TsqMethodHelper& h) {
                 o.SaveToFile(h.ParamValue(0).ToString());
                 return core::Variant();
               }));
  r->AddMethod("procedure ShowReport", Member<TqdrReport>([](TqdrReport& o, TsqMethodHelper&) {
                 o.ShowReport();
                 return core::Variant();
               }));
  r->AddProperty("Terminated", "Boolean",
                 Getter<TqdrReport>([](TqdrReport& o) { return core::Variant(o.Terminated()); }),
                 Setter<TqdrReport>([](TqdrReport& o, const core::Variant& v) {
                   o.SetTerminated(v.ToBool());
                   // The running script stops at its next statement, the engine at its next check.
                   if (v.ToBool() && o.Script()) o.Script()->Terminate();
                 }));
  r->AddProperty("Variables", "TqdrVariables",
                 Getter<TqdrReport>([](TqdrReport& o) { return Obj(o.Variables()); }));
}

}  // namespace

TqdrReportModule::TqdrReportModule(sq::TsqScript& s) : TsqRTTIModule(s) {
  static const std::pair<const char*, double> units[] = {{"qr01cm", 3.77953}, {"qr1cm", 37.7953},
                                                         {"qr01in", 9.6},     {"qr1in", 96},
                                                         {"qr1CharX", 9.6},   {"qr1CharY", 17}};
  for (const auto& [name, value] : units) s.AddConst(name, "Extended", core::Variant(value));
  s.AddConst("clTransparent", "Integer", core::Variant(int32_t{536870911}));
  s.AddConst("crHand", "Integer", core::Variant(int32_t{150}));
  s.AddConst("crZoom", "Integer", core::Variant(int32_t{151}));
  s.AddConst("crFormat", "Integer", core::Variant(int32_t{152}));

  s.AddEnum("TqdrStretchMode", "smDontStretch, smActualHeight, smMaxHeight");
  s.AddEnum("TqdrShiftMode", "smDontShift, smAlways, smWhenOverlapped");
  s.AddEnum("TqdrDuplexMode", "dmNone, dmVertical, dmHorizontal, dmSimplex");
  s.AddEnum("TqdrAlign", "baNone, baLeft, baRight, baCenter, baWidth, baBottom");
  s.AddEnum("TqdrFrameStyle", "fsSolid, fsDash, fsDot, fsDashDot, fsDashDotDot, fsDouble");
  s.AddEnumSet("TqdrFrameTypes", "ftLeft, ftRight, ftTop, ftBottom");
  s.AddEnum("TqdrHAlign", "haLeft, haRight, haCenter, haBlock");
  s.AddEnum("TqdrVAlign", "vaTop, vaBottom, vaCenter");
  s.AddEnumSet("TqdrRestrictions", "rfDontModify, rfDontSize, rfDontMove, rfDontDelete");
  s.AddEnum("TqdrShapeKind",
            "skRectangle, skRoundRectangle, skEllipse, skTriangle, skDiagonal1, skDiagonal2");
  s.AddEnumSet("TqdrPreviewButtons",
               "pbPrint, pbLoad, pbSave, pbExport, pbZoom, pbFind, pbTree, pbPageSetup, pbRefresh, "
               "pbTools, pbEdit, pbNavigator, pbExportQuick");
  s.AddEnum("TqdrZoomMode", "zmDefault, zmWholePage, zmPageWidth, zmManyPages");
  s.AddEnum("TqdrPrintPages", "ppAll, ppOdd, ppEven");
  s.AddEnumSet("TqdrDMPFontStyles",
               "fsxBold, fsxItalic, fsxUnderline, fsxSuperScript, fsxSubScript, fsxCondensed, "
               "fsxWide, fsx12cpi, fsx15cpi");
  s.AddEnum("TqdrRangeBegin", "rbFirst, rbCurrent");
  s.AddEnum("TqdrRangeEnd", "reLast, reCurrent, reCount");
  s.AddEnum("TqdrFieldType", "fftNumeric, fftString, fftBoolean");
  s.AddEnum("TqdrFormatKind", "fkText, fkNumeric, fkDateTime, fkBoolean");

  AddComponentClasses(s);
  AddDataSetClass(s);
  AddViewClasses(s);
  AddBandAndPageClasses(s);
  AddReportClasses(s);

  static const char* const dates[][2] = {{"function DayOf(Date: TDateTime): Integer", "D"},
                                         {"function MonthOf(Date: TDateTime): Integer", "M"},
                                         {"function YearOf(Date: TDateTime): Integer", "Y"}};
  for (const auto& d : dates) {
    const char part = d[1][0];
    s.AddMethod(
        d[0],
        Helper(
            [part](core::TObject*, const core::ClassInfo*, const std::string&, TsqMethodHelper& h) {
              const core::DateParts p = core::DecodeDate(h.ParamValue(0).ToDouble());
              return core::Variant(int32_t{part == 'D' ? p.day : part == 'M' ? p.month : p.year});
            }),
        "ctDate");
  }
  // Listed by category; the report's macro functions of the same names shadow them.
  const Helper nothing = [](core::TObject*, const core::ClassInfo*, const std::string&,
                            TsqMethodHelper&) { return core::Variant(); };
  for (const char* declaration :
       {"function IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant",
        "function SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
        "function AVG(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
        "function MIN(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
        "function MAX(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
        "function COUNT(Band: Variant = 0; Flags: Integer = 0): Variant"})
    s.AddMethod(declaration, nothing, "ctAggregate");
}

void RegisterReportScriptModules() {
  static const bool done = [] {
    sq::RegisterSystemModule();
    sq::RegisterClassesModule();
    sq::RegisterFormsModule();
    sq::RegisterDialogsModule();
    sq::RegisterRTTIModule(&sq::MakeRTTIModule<TqdrReportModule>);
    return true;
  }();
  (void)done;
}

}  // namespace report
