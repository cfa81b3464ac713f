// Registrations and member bodies of the classes module.
#include "script/classes_module.h"

#include "core/error.h"
#include "core/reflection.h"
#include "script/class_variable.h"
#include "script/helpers.h"
#include "script/script.h"
#include "script/string_list.h"

namespace sq {

const core::ClassInfo* TObjectClass() {
  static const core::ClassInfo* info = core::ClassBuilder<core::TObject>("TObject", nullptr).Done();
  return info;
}

const core::ClassInfo* TPersistentClass() {
  static const core::ClassInfo* info =
      core::ClassBuilder<core::TObject>("TPersistent", TObjectClass()).Done();
  return info;
}

const core::ClassInfo* TStringsClass() {
  static const core::ClassInfo* info =
      core::ClassBuilder<core::TObject>("TStrings", TPersistentClass()).Done();
  return info;
}

namespace {

TsqStringList& List(core::TObject* o) {
  auto* l = dynamic_cast<TsqStringList*>(o);
  if (!l) throw core::Error("Object reference is nil");
  return *l;
}

core::Variant Obj(core::TObject* o) {
  return o ? core::Variant(o) : core::Variant(int32_t{0});
}

using Body = core::Variant (*)(TsqStringList& l, TsqMethodHelper& h);

struct Member {
  const char* declaration;
  Body body;
};

const Member kStringsMethods[] = {
    {"function Add(const S: string): Integer",
     [](TsqStringList& l, TsqMethodHelper& h) { return core::Variant(int32_t{l.Add(h.ParamValue(0).ToString())}); }},
    {"function AddObject(const S: string; AObject: TObject): Integer",
     [](TsqStringList& l, TsqMethodHelper& h) {
       return core::Variant(int32_t{l.Add(h.ParamValue(0).ToString(), ObjectOf(h.ParamValue(1)))});
     }},
    {"procedure Clear", [](TsqStringList& l, TsqMethodHelper&) {
       l.Clear();
       return core::Variant();
     }},
    {"procedure Delete(Index: Integer)", [](TsqStringList& l, TsqMethodHelper& h) {
       l.Delete(h.ParamValue(0).ToInt32());
       return core::Variant();
     }},
    {"function IndexOf(const S: string): Integer",
     [](TsqStringList& l, TsqMethodHelper& h) { return core::Variant(int32_t{l.IndexOf(h.ParamValue(0).ToString())}); }},
    {"function IndexOfName(const Name: string): Integer",
     [](TsqStringList& l, TsqMethodHelper& h) {
       return core::Variant(int32_t{l.IndexOfName(h.ParamValue(0).ToString())});
     }},
    {"function IndexOfObject(AObject: TObject): Integer",
     [](TsqStringList& l, TsqMethodHelper& h) {
       return core::Variant(int32_t{l.IndexOfObject(ObjectOf(h.ParamValue(0)))});
     }},
    {"procedure Insert(Index: Integer; const S: string)", [](TsqStringList& l, TsqMethodHelper& h) {
       l.Insert(h.ParamValue(0).ToInt32(), h.ParamValue(1).ToString());
       return core::Variant();
     }},
    {"procedure InsertObject(Index: Integer; const S: string; AObject: TObject)",
     [](TsqStringList& l, TsqMethodHelper& h) {
       l.Insert(h.ParamValue(0).ToInt32(), h.ParamValue(1).ToString(), ObjectOf(h.ParamValue(2)));
       return core::Variant();
     }},
    {"procedure LoadFromFile(const FileName: string)", [](TsqStringList& l, TsqMethodHelper& h) {
       l.LoadFromFile(h.ParamValue(0).ToString());
       return core::Variant();
     }},
    {"procedure SaveToFile(const FileName: string)", [](TsqStringList& l, TsqMethodHelper& h) {
       l.SaveToFile(h.ParamValue(0).ToString());
       return core::Variant();
     }},
    {"procedure Move(CurIndex, NewIndex: Integer)", [](TsqStringList& l, TsqMethodHelper& h) {
       l.Move(h.ParamValue(0).ToInt32(), h.ParamValue(1).ToInt32());
       return core::Variant();
     }},
};

const Member kStringListMethods[] = {
    {"function Find(s: String; var Index: Integer): Boolean",
     [](TsqStringList& l, TsqMethodHelper& h) {
       int at = 0;
       bool found = l.Find(h.ParamValue(0).ToString(), at);
       h.SetParamValue(1, core::Variant(int32_t{at}));
       return core::Variant(found);
     }},
    {"procedure Sort", [](TsqStringList& l, TsqMethodHelper&) {
       l.Sort();
       return core::Variant();
     }},
};

TsqHelperMethodEvent Bind(Body body) {
  return [body](core::TObject* o, const core::ClassInfo*, const std::string&, TsqMethodHelper& h) {
    return body(List(o), h);
  };
}

}  // namespace

TsqClassesModule::TsqClassesModule(TsqScript& s) : TsqRTTIModule(s) {
  s.AddEnum("TDuplicates", "dupIgnore, dupAccept, dupError");
  s.AddEnum("TPrinterOrientation", "poPortrait, poLandscape");
  static const std::pair<const char*, int32_t> constants[] = {
      {"fmCreate", 65535},        {"fmOpenRead", 0},          {"fmOpenWrite", 1},
      {"fmOpenReadWrite", 2},     {"fmShareExclusive", 16},   {"fmShareDenyWrite", 32},
      {"fmShareDenyNone", 64},    {"soFromBeginning", 0},     {"soFromCurrent", 1},
      {"soFromEnd", 2}};
  for (const auto& [name, value] : constants) s.AddConst(name, "Integer", core::Variant(value));

  TsqClassVariable* object = s.AddClass(TObjectClass(), "");
  if (object) {
    object->AddConstructor("constructor Create",
                           [](core::TObject*, const core::ClassInfo*, const std::string&,
                              TsqMethodHelper&) { return core::Variant(new core::TObject()); });
    // Script-created objects are owned by the script that frees them.
    object->AddMethod("procedure Free", [](core::TObject* o, const core::ClassInfo*,
                                           const std::string&, TsqMethodHelper&) {
      delete o;
      return core::Variant();
    });
    object->AddMethod("function ClassName: String", [](core::TObject* o, const core::ClassInfo*,
                                                       const std::string&, TsqMethodHelper&) {
      if (!o) throw core::Error("Object reference is nil");
      return core::Variant(std::string(o->ClassName()));
    });
  }
  s.AddClass(TPersistentClass(), "TObject");
  TsqClassVariable* strings = s.AddClass(TStringsClass(), "TPersistent");
  if (strings) {
    for (const Member& m : kStringsMethods) strings->AddMethod(m.declaration, Bind(m.body));
    strings->AddProperty(
        "Count", "Integer",
        [](core::TObject* o, const core::ClassInfo*, const std::string&) {
          return core::Variant(int32_t{List(o).Count()});
        });
    strings->AddProperty(
        "Text", "String",
        [](core::TObject* o, const core::ClassInfo*, const std::string&) {
          return core::Variant(List(o).Text());
        },
        [](core::TObject* o, const core::ClassInfo*, const std::string&, const core::Variant& v) {
          List(o).SetText(v.ToString());
        });
    strings->AddProperty(
        "CommaText", "String",
        [](core::TObject* o, const core::ClassInfo*, const std::string&) {
          return core::Variant(List(o).CommaText());
        },
        [](core::TObject* o, const core::ClassInfo*, const std::string&, const core::Variant& v) {
          List(o).SetCommaText(v.ToString());
        });
    strings->AddIndexProperty(
        "Names", "Integer", "String",
        [](core::TObject* o, const core::ClassInfo*, const std::string&, TsqMethodHelper& h) {
          return core::Variant(List(o).Names(h.ParamValue(0).ToInt32()));
        },
        true);
    strings->AddIndexProperty(
        "Values", "String", "String",
        [](core::TObject* o, const core::ClassInfo*, const std::string& name, TsqMethodHelper& h) {
          TsqStringList& l = List(o);
          if (name == "VALUES.SET") {
            l.SetValues(h.ParamValue(0).ToString(), h.ParamValue(1).ToString());
            return core::Variant();
          }
          return core::Variant(l.Values(h.ParamValue(0).ToString()));
        });
    strings->AddIndexProperty(
        "Objects", "Integer", "TObject",
        [](core::TObject* o, const core::ClassInfo*, const std::string& name, TsqMethodHelper& h) {
          TsqStringList& l = List(o);
          if (name == "OBJECTS.SET") {
            l.SetObjects(h.ParamValue(0).ToInt32(), ObjectOf(h.ParamValue(1)));
            return core::Variant();
          }
          return Obj(l.Objects(h.ParamValue(0).ToInt32()));
        });
    strings->AddDefaultProperty(
        "Strings", "Integer", "String",
        [](core::TObject* o, const core::ClassInfo*, const std::string& name, TsqMethodHelper& h) {
          TsqStringList& l = List(o);
          if (name == "STRINGS.SET") {
            l.SetStrings(h.ParamValue(0).ToInt32(), h.ParamValue(1).ToString());
            return core::Variant();
          }
          return core::Variant(l.Strings(h.ParamValue(0).ToInt32()));
        });
  }
  TsqClassVariable* list = s.AddClass(TsqStringList::StaticClass(), "TStrings");
  if (list) {
    list->AddConstructor("constructor Create",
                         [](core::TObject*, const core::ClassInfo*, const std::string&,
                            TsqMethodHelper&) { return core::Variant(new TsqStringList()); });
    for (const Member& m : kStringListMethods) list->AddMethod(m.declaration, Bind(m.body));
    list->AddProperty(
        "Sorted", "Boolean",
        [](core::TObject* o, const core::ClassInfo*, const std::string&) {
          return core::Variant(List(o).Sorted());
        },
        [](core::TObject* o, const core::ClassInfo*, const std::string&, const core::Variant& v) {
          List(o).SetSorted(v.ToBool());
        });
    list->AddProperty(
        "Duplicates", "TDuplicates",
        [](core::TObject* o, const core::ClassInfo*, const std::string&) {
          return core::Variant(int32_t{List(o).DuplicatesMode()});
        },
        [](core::TObject* o, const core::ClassInfo*, const std::string&, const core::Variant& v) {
          List(o).SetDuplicates(static_cast<TsqStringList::Duplicates>(v.ToInt32()));
        });
  }
}

void RegisterClassesModule() {
  RegisterRTTIModule(&MakeRTTIModule<TsqClassesModule>);
}

}  // namespace sq
