// Band layout over the view geometry and the stretcheable interface of the
// views: the shift tree, stretching with shifting, and the splitting loop.
#include "engine/band_layout.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <unordered_set>
#include <utility>

#include "core/reflection.h"
#include "report/band.h"
#include "report/frame.h"
#include "report/view.h"

namespace engine {

using report::TqdrBand;
using report::TqdrComponent;
using report::TqdrStretcheable;
using report::TqdrView;

namespace {

constexpr double kTolerance = 0.0001;
// One character height of a dot-matrix page, left below a dot-matrix memo
// whose bottom frame line is printed on the next character row.
constexpr double kDotMatrixCharHeight = 17;

struct Box {
  double left, top, right, bottom;
};

Box BoxOf(const TqdrComponent& c) {
  return {c.Left(), c.Top(), c.Left() + c.Width(), c.Top() + c.Height()};
}

double Bottom(const TqdrComponent& c) {
  return c.Top() + c.Height();
}

bool OverlapHorizontally(const Box& a, const Box& c) {
  return !(a.left >= c.right - kTolerance || c.left >= a.right - kTolerance);
}

// `c` starts at or below the bottom of `a` and shares some of its width.
bool IsBelow(const Box& c, const Box& a) {
  return c.top - a.bottom > -kTolerance && OverlapHorizontally(a, c);
}

// The top as "%9.2f" prints it, without depending on the C locale.
std::string SortKey(double top) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, top, std::chars_format::fixed, 2);
  std::string key = ec == std::errc() ? std::string(buf, end) : std::string("?");
  if (key.size() < 9) key.insert(0, 9 - key.size(), ' ');
  return key;
}

bool IsDotMatrixMemo(const TqdrView& view) {
  for (const core::ClassInfo* c = view.ClassType(); c; c = c->Parent())
    if (c->Name() == "TqdrDMPMemoView") return true;
  return false;
}

double DotMatrixExtra(const TqdrComponent* c) {
  auto* view = dynamic_cast<const TqdrView*>(c);
  if (!view || !IsDotMatrixMemo(*view)) return 0;
  return (view->Frame()->Typ() & report::frame_typ::ftBottom) ? kDotMatrixCharHeight : 0;
}

bool HasParentSubreports(const TqdrBand& band) {
  for (TqdrComponent* c : band.Objects()) {
    auto* sub = dynamic_cast<report::TqdrSubreport*>(c);
    if (sub && sub->Visible() && sub->PrintOnParent()) return true;
  }
  return false;
}

// The band's object list while it is split. Objects leave the list by being
// detached from the band and join it again at its end; whatever happens, the
// band gets all its objects back in their first order.
class PartList {
 public:
  explicit PartList(TqdrBand& band) : band_(band), all_(band.Objects()) { Clear(); }
  ~PartList() {
    Clear();
    for (TqdrComponent* c : all_) c->SetParent(&band_);
  }
  PartList(const PartList&) = delete;
  PartList& operator=(const PartList&) = delete;

  const std::vector<TqdrComponent*>& All() const { return all_; }
  void Join(TqdrComponent* c) { c->SetParent(&band_); }
  void Leave(TqdrComponent* c) { c->SetParent(nullptr); }
  void Clear() {
    const std::vector<TqdrComponent*> listed = band_.Objects();
    for (TqdrComponent* c : listed) c->SetParent(nullptr);
  }

 private:
  TqdrBand& band_;
  const std::vector<TqdrComponent*> all_;
};

bool NothingFitted(double unfilled, double height) {
  return std::abs(unfilled - height) <= kTolerance;
}

}  // namespace

// ---------------------------------------------------------------------------
// Shift tree

void TqdrBandLayout::BuildShiftTree(TqdrBand& band) {
  std::vector<std::pair<std::string, TqdrView*>> keyed;
  for (TqdrComponent* c : band.Objects())
    if (auto* v = c->AsView()) keyed.emplace_back(SortKey(v->Top()), v);
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });

  ShiftTree tree;
  std::vector<Box> boxes{{0, -2, band.Width(), -1}};  // the band itself, above everything
  for (auto& [key, view] : keyed) {
    tree.order.push_back(view);
    boxes.push_back(BoxOf(*view));
    view->ShiftTargets().clear();
  }

  const size_t n = boxes.size();
  for (size_t i = 0; i < n; ++i) {
    const Box& a = boxes[i];
    std::vector<TqdrView*>& targets = i == 0 ? tree.topLevel : tree.order[i - 1]->ShiftTargets();
    for (size_t j = i + 1; j < n; ++j) {
      const Box& c = boxes[j];
      if (!IsBelow(c, a)) continue;
      bool nearer = false;  // an object between the two that c hangs from instead
      for (size_t k = i + 1; k < j && !nearer; ++k) {
        const Box& m = boxes[k];
        nearer = m.bottom < c.top + kTolerance && m.top > a.bottom - kTolerance &&
                 OverlapHorizontally(m, c);
      }
      if (!nearer) targets.push_back(tree.order[j - 1]);
    }
  }
  trees_[&band] = std::move(tree);
}

const std::vector<TqdrView*>& TqdrBandLayout::TopLevelTargets(const TqdrBand& band) const {
  static const std::vector<TqdrView*> kNone;
  auto it = trees_.find(&band);
  return it == trees_.end() ? kNone : it->second.topLevel;
}

const TqdrBandLayout::ShiftTree& TqdrBandLayout::TreeFor(TqdrBand& band) {
  if (!HasShiftTree(band)) BuildShiftTree(band);
  return trees_.at(&band);
}

// Walks the tree from the band with an accumulated shift. An object below two
// others is reached twice; it moves once, as far as the farther of the two
// would take it (walking each path in turn would add both shifts). The sorted
// order visits every object after all the objects it hangs from.
void TqdrBandLayout::Shift(const ShiftTree& tree) {
  struct Move {
    double top;    // where the object goes
    double shift;  // what its own targets get
  };
  std::unordered_map<TqdrView*, Move> moves;
  auto offer = [&moves](TqdrView* t, double s, const TqdrView* node) {
    const double top = t->Top();
    const double delta = t->StretchDelta();
    Move m{top, s + delta};
    switch (t->ShiftMode()) {
      case report::TqdrShiftMode::smAlways:
        m.top = top + s;
        break;
      case report::TqdrShiftMode::smWhenOverlapped:
        m.shift = delta;
        if (node && top < Bottom(*node)) {
          m.top = Bottom(*node);
          m.shift = m.top - top + delta;
        }
        break;
      case report::TqdrShiftMode::smDontShift:
        break;
    }
    auto [it, first] = moves.try_emplace(t, m);
    if (!first) {
      it->second.top = std::max(it->second.top, m.top);
      it->second.shift = std::max(it->second.shift, m.shift);
    }
  };
  for (TqdrView* t : tree.topLevel) offer(t, 0, nullptr);
  for (TqdrView* v : tree.order) {
    auto it = moves.find(v);
    if (it == moves.end()) continue;
    v->SetTop(it->second.top);
    const double s = it->second.shift;
    for (TqdrView* t : v->ShiftTargets()) offer(t, s, v);
  }
  for (TqdrView* v : tree.order) v->SetStretchDelta(0);
}

// ---------------------------------------------------------------------------
// Stretching

void TqdrBandLayout::StretchBand(TqdrBand& band) {
  if (!band.Visible()) return;
  bool grew = false;
  for (TqdrComponent* c : band.Objects()) {
    auto* s = c->AsStretcheable();
    if (!s || !s->Visible() || s->StretchMode() == report::TqdrStretchMode::smDontStretch) continue;
    const double needed = s->CalcHeight();
    if (needed > s->Height()) {
      s->SetStretchDelta(needed - s->Height());
      s->SetHeight(needed);
      grew = true;
    } else {
      s->SetStretchDelta(0);
    }
  }
  // Merged first, so the objects below a subreport move with its output too.
  if (HasParentSubreports(band) && host_.MergeSubreports(band)) grew = true;
  if (grew) Shift(TreeFor(band));

  double bottom = 0;
  const TqdrComponent* lowest = nullptr;
  for (TqdrComponent* c : band.Objects()) {
    if (Bottom(*c) > bottom) {
      bottom = Bottom(*c);
      lowest = c;
    }
  }
  bottom += DotMatrixExtra(lowest);
  if (band.Stretched()) band.SetHeight(bottom);

  host_.AfterCalcHeight(band);

  for (TqdrComponent* c : band.Objects()) {
    auto* s = c->AsStretcheable();
    if (s && s->StretchMode() == report::TqdrStretchMode::smMaxHeight)
      s->SetHeight(bottom - s->Top() - DotMatrixExtra(s));
  }
}

// ---------------------------------------------------------------------------
// Splitting
//
// A part can place nothing only while its column is too short for the first
// object; the next part starts a new column and gets a full one. An object
// at the top of a new column that still does not fit can never be placed by
// cutting, so there it is forced into the part instead: a stretcheable gets
// a doubled height until its first line fits (at most its full height), a
// fixed object is placed whole. The part then runs past the column's end,
// but every part takes something and the split ends. A new column without
// any space takes all that is left at once.

void TqdrBandLayout::SplitBand(TqdrBand& band) {
  PartList list(band);
  std::vector<TqdrView*> pending;
  for (TqdrComponent* c : list.All()) {
    auto* v = c->AsView();
    if (!v || dynamic_cast<report::TqdrSubreport*>(v)) continue;
    pending.push_back(v);
    if (auto* s = v->AsStretcheable()) {
      s->PrepareSplit();
      s->SetFullHeight(s->Height());
    }
  }

  double space = std::max(0.0, host_.FreeSpace());
  bool newColumn = false;
  while (!pending.empty()) {
    // Placed first so that the parts are measured where they print.
    band.SetLeft(host_.CurX());
    band.SetTop(host_.CurY());

    std::vector<TqdrView*> next;  // still pending after this part
    std::unordered_set<const TqdrView*> left, moved;
    auto moveBelow = [&](const TqdrView* above, double by) {
      const Box a = BoxOf(*above);
      for (TqdrView* p : pending) {
        if (p == above || left.count(p) || moved.count(p) || !IsBelow(BoxOf(*p), a)) continue;
        p->SetTop(p->Top() + by);
        moved.insert(p);
      }
    };

    const bool flush = newColumn && space <= kTolerance;
    for (TqdrView* v : pending) {
      auto* s = v->AsStretcheable();
      const double top = v->Top();
      if (flush || space >= top + v->Height()) {
        list.Join(v);
        if (s) s->TakeFittingPart();
        left.insert(v);
        continue;
      }
      if (top >= space) {
        next.push_back(v);
        continue;
      }
      const bool forced = newColumn && top <= kTolerance;
      if (!s) {
        if (forced) {
          list.Join(v);
          left.insert(v);
          continue;
        }
        moveBelow(v, space - top);
        v->SetTop(space);
        moved.insert(v);
        next.push_back(v);
        continue;
      }
      const double full = s->FullHeight();
      double height = space - top;
      s->SetHeight(height);
      list.Join(s);
      double unfilled = s->TakeFittingPart();
      while (forced && NothingFitted(unfilled, height) && height < full) {
        height = std::min(full, std::max(2 * height, 1.0));
        s->SetHeight(height);
        unfilled = s->TakeFittingPart();
      }
      if (NothingFitted(unfilled, height)) {
        if (forced) {  // not even its whole height takes anything: nothing of it can show
          left.insert(s);
          continue;
        }
        moveBelow(s, unfilled);
        list.Leave(s);
        s->SetTop(space);
        s->SetHeight(full);
        moved.insert(s);
        next.push_back(s);
        continue;
      }
      // The rest never gets less room than its text needs. FullHeight - cut
      // + unfilled alone takes the memo's gaps and frame off with every part
      // although every part needs them again: after a few parts the last
      // line would no longer fit. The objects below move on by what it gains.
      if (s->StretchMode() != report::TqdrStretchMode::smDontStretch)
        unfilled = std::max(unfilled, s->HeldBackHeight() - (full - height));
      moveBelow(s, unfilled);
      s->SetFullHeight(full - height + unfilled);
      next.push_back(s);
    }

    double height = 0;
    for (TqdrComponent* c : band.Objects()) height = std::max(height, Bottom(*c));
    band.SetHeight(height);
    if (next.empty()) {
      for (TqdrComponent* c : band.Objects()) {
        auto* v = c->AsView();
        if (!v) continue;
        if (v->Align() == report::TqdrAlign::baBottom) v->SetTop(height - v->Height());
        auto* s = v->AsStretcheable();
        if (s && s->StretchMode() == report::TqdrStretchMode::smMaxHeight)
          s->SetHeight(height - s->Top());
      }
    }

    host_.AppendBand(band);
    if (!next.empty())
      host_.NewColumn();
    else
      host_.SetCurY(host_.CurY() + band.Height());

    list.Clear();
    for (TqdrView* v : next) {
      double top = v->Top() - space;
      if (auto* s = v->AsStretcheable()) {
        top = std::max(0.0, top);
        s->SetHeight(s->FullHeight());
      }
      v->SetTop(top);
    }
    pending = std::move(next);
    space = std::max(0.0, host_.FreeSpace());
    newColumn = true;
  }
}

}  // namespace engine
