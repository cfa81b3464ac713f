// Class registry and property tables of the reflection layer, on small test classes.
#include "core/reflection.h"

#include <gtest/gtest.h>

#include "core/error.h"

namespace {

const core::EnumType kColorKind{"TColorKind", {"ckNone", "ckRed", "ckBlue"}};

class TBase : public core::TObject {
  CORE_DECLARE_CLASS()
 public:
  explicit TBase(core::TObject* = nullptr) {}
  int Tag() const { return tag_; }
  void SetTag(int v) { tag_ = v; }
  double Left() const { return left_; }
  void SetLeft(double v) { left_ = v; }
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& v) { title_ = v; }
  bool IsTitleStored() const { return !title_.empty(); }

 private:
  int tag_ = 0;
  double left_ = 0;
  std::string title_;
};

enum class ColorKind { ckNone, ckRed, ckBlue };

class TDerived : public TBase {
  CORE_DECLARE_CLASS()
 public:
  using TBase::TBase;
  ColorKind Kind() const { return kind_; }
  void SetKind(ColorKind k) { kind_ = k; }
  uint32_t Flags() const { return flags_; }
  void SetFlags(uint32_t f) { flags_ = f; }
  TBase* Sub() const { return sub_.get(); }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { visible_ = v; }

 private:
  ColorKind kind_ = ColorKind::ckNone;
  uint32_t flags_ = 0;
  bool visible_ = true;
  std::unique_ptr<TBase> sub_ = std::make_unique<TBase>();
};

const core::ClassInfo* TBase::StaticClass() {
  static const core::ClassInfo* info = core::ClassBuilder<TBase>("TBase", nullptr)
                                           .Factory<>()
                                           .Integer<&TBase::Tag, &TBase::SetTag>("Tag")
                                           .Default(0)
                                           .Float<&TBase::Left, &TBase::SetLeft>("Left")
                                           .String<&TBase::Title, &TBase::SetTitle>("Title")
                                           .StoredIf<&TBase::IsTitleStored>()
                                           .Done();
  return info;
}

const core::ClassInfo* TDerived::StaticClass() {
  static const core::ClassInfo* info =
      core::ClassBuilder<TDerived>("TDerived", TBase::StaticClass())
          .Factory<>()
          .Enum<&TDerived::Kind, &TDerived::SetKind>("Kind", &kColorKind)
          .Default(0)
          .Set<&TDerived::Flags, &TDerived::SetFlags>("Flags", &kColorKind)
          .Object<&TDerived::Sub>("Sub", TBase::StaticClass())
          .Boolean<&TDerived::Visible, &TDerived::SetVisible>("Visible")
          .Default(1)
          // Re-declared: keeps the inherited slot, gets a default.
          .Float<&TBase::Left, &TBase::SetLeft>("left")
          .Done();
  return info;
}

TEST(Reflection, PropertyOrderInheritedFirstRedeclaredInPlace) {
  const auto& props = TDerived::StaticClass()->Properties();
  std::vector<std::string> names;
  for (const auto* p : props) names.push_back(p->name);
  EXPECT_EQ(names,
            (std::vector<std::string>{"Tag", "left", "Title", "Kind", "Flags", "Sub", "Visible"}));
  EXPECT_EQ(props[1]->owner, TDerived::StaticClass());
  EXPECT_EQ(props[0]->owner, TBase::StaticClass());
  for (size_t i = 0; i < props.size(); ++i) EXPECT_EQ(props[i]->index, static_cast<int>(i));
}

TEST(Reflection, FindPropertyIgnoresCase) {
  const core::ClassInfo* info = TDerived::StaticClass();
  struct Row {
    const char* query;
    const char* found;
  } rows[] = {{"tag", "Tag"},    {"KIND", "Kind"}, {"visible", "Visible"}, {"Left", "left"},
              {"nope", nullptr}, {"", nullptr},    {"Visibl", nullptr}};
  for (const Row& r : rows) {
    const core::PropInfo* p = info->FindProperty(r.query);
    if (!r.found) {
      EXPECT_EQ(p, nullptr) << r.query;
    } else {
      ASSERT_NE(p, nullptr) << r.query;
      EXPECT_EQ(p->name, r.found);
    }
  }
}

TEST(Reflection, AccessorsConvertVariants) {
  TDerived d;
  const core::ClassInfo* info = d.ClassType();
  info->FindProperty("Tag")->Set(&d, core::Variant(int32_t(7)));
  EXPECT_EQ(d.Tag(), 7);
  info->FindProperty("Left")->Set(&d, core::Variant(1.5));
  EXPECT_EQ(info->FindProperty("Left")->Get(&d).ToDouble(), 1.5);
  info->FindProperty("Kind")->Set(&d, core::Variant("ckBlue"));
  EXPECT_EQ(d.Kind(), ColorKind::ckBlue);
  info->FindProperty("Kind")->Set(&d, core::Variant(int32_t(1)));
  EXPECT_EQ(info->FindProperty("Kind")->Get(&d).ToInt32(), 1);
  info->FindProperty("Title")->Set(&d, core::Variant("abc"));
  EXPECT_EQ(d.Title(), "abc");
  EXPECT_TRUE(info->FindProperty("Title")->IsStored(&d));
  d.SetTitle("");
  EXPECT_FALSE(info->FindProperty("Title")->IsStored(&d));
  const core::PropInfo* sub = info->FindProperty("Sub");
  EXPECT_EQ(sub->Object(&d), d.Sub());
  EXPECT_EQ(sub->Get(&d).RawObject(), d.Sub());
  EXPECT_THROW(sub->Set(&d, core::Variant()), core::Error);
}

TEST(Reflection, RegistryCreatesByNameCaseInsensitive) {
  core::RegisterClass(TBase::StaticClass());
  core::RegisterClass(TDerived::StaticClass());
  EXPECT_EQ(core::FindClass("tderived"), TDerived::StaticClass());
  EXPECT_EQ(core::FindClass("TNothing"), nullptr);
  std::unique_ptr<core::TObject> obj(core::CreateObject("TDERIVED"));
  ASSERT_NE(obj, nullptr);
  EXPECT_EQ(obj->ClassName(), "TDerived");
  EXPECT_TRUE(obj->InheritsFrom(TBase::StaticClass()));
  EXPECT_FALSE(TBase::StaticClass()->InheritsFrom(TDerived::StaticClass()));
}

}  // namespace
