// Band layout: objects grow to their content (stretching), the objects below a
// grown object move down with it (shifting), and a band that does not fit the
// space left is cut into parts, one per column or page (splitting).
#pragma once

#include <unordered_map>
#include <vector>

namespace report {
class TqdrBand;
class TqdrView;
}  // namespace report

namespace engine {

// What the layout needs from the band engine.
class TqdrBandLayoutHost {
 public:
  virtual ~TqdrBandLayoutHost() = default;
  // Space left in the current column.
  virtual double FreeSpace() = 0;
  virtual double CurX() const = 0;
  virtual double CurY() const = 0;
  virtual void SetCurY(double y) = 0;
  // Next column, or a new page after the last column.
  virtual void NewColumn() = 0;
  // Records the band, placed at CurX/CurY, with the objects it holds now, on
  // the current prepared page.
  virtual void AppendBand(report::TqdrBand& band) = 0;
  // Makes the band the current object and fires its OnAfterCalcHeight.
  virtual void AfterCalcHeight(report::TqdrBand& band) = 0;
  // Merges the output of the band's visible print-on-parent subreports into
  // it; true when a subreport grew to hold its output (its StretchDelta set).
  virtual bool MergeSubreports(report::TqdrBand& band) {
    (void)band;
    return false;
  }
};

// Lays out the bands of one preparation. Shift trees are built once per band
// and reused for every output of it; Reset forgets them for a new preparation.
class TqdrBandLayout {
 public:
  explicit TqdrBandLayout(TqdrBandLayoutHost& host) : host_(host) {}

  void Reset() { trees_.clear(); }
  bool HasShiftTree(const report::TqdrBand& band) const { return trees_.count(&band) != 0; }
  // Sets the ShiftTargets of the band's objects (the objects directly below
  // each one) and the band's own top-level list (objects with nothing above).
  void BuildShiftTree(report::TqdrBand& band);
  // Empty when the band has no tree yet.
  const std::vector<report::TqdrView*>& TopLevelTargets(const report::TqdrBand& band) const;

  // Grows visible stretchable objects to their content, shifts the objects
  // below them, merges print-on-parent subreports, fits a Stretched band to
  // its lowest object, fires OnAfterCalcHeight and sizes smMaxHeight objects.
  // Nothing happens for an invisible band.
  void StretchBand(report::TqdrBand& band);

  // Outputs a band taller than the free space in parts, each filling the rest
  // of a column; texts continue from part to part. Leaves CurY below the last
  // part and the band holding all its objects again.
  void SplitBand(report::TqdrBand& band);

 private:
  struct ShiftTree {
    std::vector<report::TqdrView*> order;     // sorted by top; parents before their targets
    std::vector<report::TqdrView*> topLevel;  // targets of the band itself
  };
  const ShiftTree& TreeFor(report::TqdrBand& band);
  void Shift(const ShiftTree& tree);

  TqdrBandLayoutHost& host_;
  std::unordered_map<const report::TqdrBand*, ShiftTree> trees_;
};

}  // namespace engine
