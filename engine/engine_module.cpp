// Script classes of the band engine and the outline.
#include "engine/engine_module.h"

#include <cmath>

#include "core/error.h"
#include "core/reflection.h"
#include "engine/engine.h"
#include "engine/outline.h"
#include "engine/preview_pages.h"
#include "report/band.h"
#include "report/report_module.h"
#include "script/class_variable.h"
#include "script/classes_module.h"
#include "script/helpers.h"
#include "script/script.h"

namespace engine {
namespace {

using sq::TsqMethodHelper;

const core::ClassInfo* OutlineClass() {
  static const core::ClassInfo info("TqdrOutline", sq::TPersistentClass());
  return &info;
}

template <class T, class F>
sq::TsqHelperMethodEvent Member(F body) {
  return [body](core::TObject* o, const core::ClassInfo*, const std::string&,
                TsqMethodHelper& h) -> core::Variant {
    auto* t = dynamic_cast<T*>(o);
    if (!t) throw core::Error("Object reference is nil");
    return body(*t, h);
  };
}

}  // namespace

const core::ClassInfo* TqdrOutlineObject::ClassType() const {
  return OutlineClass();
}

TqdrEngineModule::TqdrEngineModule(sq::TsqScript& s) : TsqRTTIModule(s) {
  if (auto* e = s.AddClass(TqdrCustomEngine::StaticClass(), "TPersistent")) {
    e->AddMethod("procedure AddAnchor(const Text: String)",
                 Member<TqdrEngine>([](TqdrEngine& en, TsqMethodHelper& h) {
                   en.AddAnchor(h.ParamValue(0).ToString());
                   return core::Variant();
                 }));
    e->AddMethod("procedure NewPage", Member<TqdrEngine>([](TqdrEngine& en, TsqMethodHelper&) {
                   en.NewPage();
                   return core::Variant();
                 }));
    e->AddMethod("procedure NewColumn", Member<TqdrEngine>([](TqdrEngine& en, TsqMethodHelper&) {
                   en.NewColumn();
                   return core::Variant();
                 }));
    e->AddMethod("procedure ShowBand(Band: TqdrBand)",
                 Member<TqdrEngine>([](TqdrEngine& en, TsqMethodHelper& h) {
                   en.ShowBand(dynamic_cast<report::TqdrBand*>(sq::ObjectOf(h.ParamValue(0))));
                   return core::Variant();
                 }));
    e->AddMethod("procedure StopReport", Member<TqdrEngine>([](TqdrEngine& en, TsqMethodHelper&) {
                   en.StopReport();
                   return core::Variant();
                 }));
    e->AddMethod("function FreeSpace: Extended",
                 Member<TqdrEngine>([](TqdrEngine& en, TsqMethodHelper&) {
                   return core::Variant(en.FreeSpace());
                 }));
    e->AddMethod("function GetAnchorPage(const Text: String): Integer",
                 Member<TqdrEngine>([](TqdrEngine& en, TsqMethodHelper& h) {
                   return core::Variant(int32_t{en.GetAnchorPage(h.ParamValue(0).ToString())});
                 }));
  }
  if (auto* o = s.AddClass(OutlineClass(), "TPersistent")) {
    o->AddMethod("procedure AddItem(const Text: String)",
                 Member<TqdrOutlineObject>([](TqdrOutlineObject& out, TsqMethodHelper& h) {
                   TqdrEngine& en = out.Engine();
                   en.Pages().Outline()->AddItem(h.ParamValue(0).ToString(),
                                                 static_cast<int>(std::lround(en.CurY())));
                   return core::Variant();
                 }));
    o->AddMethod("procedure LevelRoot",
                 Member<TqdrOutlineObject>([](TqdrOutlineObject& out, TsqMethodHelper&) {
                   out.Engine().Pages().Outline()->LevelRoot();
                   return core::Variant();
                 }));
    o->AddMethod("procedure LevelUp",
                 Member<TqdrOutlineObject>([](TqdrOutlineObject& out, TsqMethodHelper&) {
                   out.Engine().Pages().Outline()->LevelUp();
                   return core::Variant();
                 }));
  }
}

void RegisterEngineModule() {
  report::RegisterReportScriptModules();  // the types and classes this module builds on
  sq::RegisterRTTIModule(&sq::MakeRTTIModule<TqdrEngineModule>);
}

}  // namespace engine
