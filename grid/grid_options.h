// Option sets of the data grid: small bit sets over the option enumerations,
// so callers write `grid.Options().Contains(dgTitles)` or include/exclude one.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace grid {

enum TDBGridOption : uint8_t {
  dgEditing,
  dgAlwaysShowEditor,
  dgTitles,
  dgIndicator,
  dgColumnResize,
  dgColLines,
  dgRowLines,
  dgTabs,
  dgRowSelect,
  dgAlwaysShowSelection,
  dgConfirmDelete,
  dgCancelOnExit,
  dgMultiSelect,
};

enum TDBGridOptionGv : uint8_t {
  dgvFixed3D,
  dgvFrozen3D,
  dgvFooter3D,
  dgvData3D,
  dgvHighlightFocus,
  dgvClearSelection,
  dgvResizeWholeRightPart,
  dgvFitRowHeightToText,
  dgvAutoSortMarking,
  dgvMultiSortMarking,
};

template <typename E>
class TOptionSet {
 public:
  constexpr TOptionSet() = default;
  constexpr TOptionSet(std::initializer_list<E> items) {
    for (E e : items) bits_ |= Bit(e);
  }
  constexpr bool Contains(E e) const { return (bits_ & Bit(e)) != 0; }
  constexpr TOptionSet& Include(E e) {
    bits_ |= Bit(e);
    return *this;
  }
  constexpr TOptionSet& Exclude(E e) {
    bits_ &= ~Bit(e);
    return *this;
  }
  constexpr TOptionSet With(E e) const { return TOptionSet(*this).Include(e); }
  constexpr TOptionSet Without(E e) const { return TOptionSet(*this).Exclude(e); }
  constexpr bool operator==(const TOptionSet&) const = default;

 private:
  static constexpr uint32_t Bit(E e) { return uint32_t{1} << static_cast<unsigned>(e); }
  uint32_t bits_ = 0;
};

using TDBGridOptions = TOptionSet<TDBGridOption>;
using TDBGridOptionsGv = TOptionSet<TDBGridOptionGv>;

inline constexpr TDBGridOptions kDefaultGridOptions{
    dgEditing,  dgTitles, dgIndicator,     dgColumnResize, dgColLines,
    dgRowLines, dgTabs,   dgConfirmDelete, dgCancelOnExit};
inline constexpr TDBGridOptionsGv kDefaultGridOptionsGv{dgvFixed3D, dgvHighlightFocus,
                                                        dgvClearSelection};

}  // namespace grid
