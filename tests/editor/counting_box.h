// A test element that counts its draws and has fixed bounds, for tests of what the sheet draws.
#pragma once

#include "elements/element.h"

class TCountingBox : public TElement {
public:
    explicit TCountingBox(TRRect r) : TElement(13), R(r) {}
    TRRect R;
    int Draws = 0;
    bool HitPoint(const TView&, QPoint) const override { return false; }
    void Draw(TDrawContext&) override { ++Draws; }
    void MoveBy(TRPoint) override {}
    TRRect GetBounds() const override { return R; }
    void ScaleAt(TRPoint, double, double) override {}
    void ShearAt(TRPoint, double, double) override {}
    void RotateAt(TRPoint, double) override {}
    void MirrorX(TRPoint) override {}
    void MirrorY(TRPoint) override {}
    TRPoint GetRefPoint() const override { return {R.Left, R.Top}; }
    bool HitRect(const TView&, const TIRect&, bool) const override { return false; }
    void LoadFromStream(TStreamReader&) override {}
};
