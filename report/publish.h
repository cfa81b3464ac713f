// Builder helpers for properties that several classes publish from a common
// base (geometry, font, dataset binding): each is declared once here and
// added by every class that publishes it, at its place in that class's list.
// Private to report/.
#pragma once

#include "core/reflection.h"
#include "report/component.h"
#include "report/dataset.h"
#include "report/font.h"

namespace report::publish {

inline bool FontStored(const core::TObject* o) {
  return !static_cast<const TqdrComponent*>(o)->ParentFont();
}

template <class C>
void Font(core::ClassBuilder<C>& b) {
  b.template Object<&TqdrComponent::Font, &TqdrComponent::SetFont>("Font", TqdrFont::StaticClass())
      .Stored(&FontStored);
}
template <class C>
void ParentFont(core::ClassBuilder<C>& b) {
  b.template Boolean<&TqdrComponent::ParentFont, &TqdrComponent::SetParentFont>("ParentFont")
      .Default(1);
}
template <class C>
void Left(core::ClassBuilder<C>& b) {
  b.template Float<&TqdrComponent::Left, &TqdrComponent::SetLeft>("Left");
}
template <class C>
void Top(core::ClassBuilder<C>& b) {
  b.template Float<&TqdrComponent::Top, &TqdrComponent::SetTop>("Top");
}
template <class C>
void Width(core::ClassBuilder<C>& b) {
  b.template Float<&TqdrComponent::Width, &TqdrComponent::SetWidth>("Width");
}
template <class C>
void Height(core::ClassBuilder<C>& b) {
  b.template Float<&TqdrComponent::Height, &TqdrComponent::SetHeight>("Height");
}
template <class C>
void Visible(core::ClassBuilder<C>& b) {
  b.template Boolean<&TqdrComponent::Visible, &TqdrComponent::SetVisible>("Visible").Default(1);
}
template <class C>
void Restrictions(core::ClassBuilder<C>& b) {
  b.template Set<&TqdrComponent::Restrictions, &TqdrComponent::SetRestrictions>("Restrictions",
                                                                                &kRestrictionsType)
      .Default(0);
}
// DataSet (a reference) followed by DataSetName.
template <class C>
void DataSet(core::ClassBuilder<C>& b) {
  b.template Reference<&TqdrComponent::DataSet, &TqdrComponent::SetDataSet>(
      "DataSet", TqdrDataSet::StaticClass());
  b.template String<&TqdrComponent::DataSetName, &TqdrComponent::SetDataSetName>("DataSetName");
}

}  // namespace report::publish
