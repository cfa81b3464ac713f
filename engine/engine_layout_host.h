// The band engine as the band layout sees it while it stretches and splits.
#pragma once

#include "engine/band_layout.h"
#include "engine/engine.h"
#include "report/band.h"

namespace engine {

class TqdrEngineLayoutHost : public TqdrBandLayoutHost {
 public:
  explicit TqdrEngineLayoutHost(TqdrEngine& engine) : e_(engine) {}
  double FreeSpace() override { return e_.FreeSpace(); }
  double CurX() const override { return e_.curX_; }
  double CurY() const override { return e_.curY_; }
  void SetCurY(double y) override { e_.curY_ = y; }
  void NewColumn() override { e_.NewColumn(); }
  void AppendBand(report::TqdrBand& band) override {
    band.SetLeft(e_.curX_);
    band.SetTop(e_.curY_);
    e_.pages_.AppendBand(&band);
  }
  bool MergeSubreports(report::TqdrBand& band) override { return e_.MergeParentSubreports(band); }
  void AfterCalcHeight(report::TqdrBand& band) override {
    e_.report_.SetCurrentObjectName(band.Name());
    e_.CallEvent(band.OnAfterCalcHeight(), &band);
  }

 private:
  TqdrEngine& e_;
};

}  // namespace engine
