#include "support/dense_sheet.h"

#include "elements/Bezier.h"
#include "elements/Kreis.h"
#include "elements/Polyline.h"
#include "elements/Rechteck.h"
#include "elements/polygon.h"

#include <random>

TElementList MakeDenseSheet(int count, unsigned seed) {
    std::mt19937 rng(seed);
    auto uni = [&](float lo, float hi) {
        return std::uniform_real_distribution<float>(lo, hi)(rng);
    };
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    TElementList list;
    list.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        const int kind = pick(100);
        const float x = uni(100, kA3Width - 300), y = uni(100, kA3Height - 300);
        if (kind >= 85) { // closed parts: boxes, coils and lamps, diodes; some filled or hatched
            const float w = uni(30, 200), h = uni(30, 200);
            TElementPtr e;
            if (kind < 92)
                e = std::make_unique<TRechteck>(TRRect{x, y, x + w, y + h});
            else if (kind < 97)
                e = std::make_unique<TKreis>(TRRect{x, y, x + w, y + w});
            else {
                auto p = std::make_unique<TPolygon>();
                p->Points = {{x, y}, {x + w, y}, {x + w / 2, y + h}};
                e = std::move(p);
            }
            e->LineWidth = 2 + pick(3);
            const int fill = pick(10);
            e->NoFill = fill >= 5;
            e->FillStyle = fill < 2 ? quint8(2 + pick(6)) : 0;
            e->FillColor = fill < 2 ? 0x808080 : 0xE0E0E0;
            e->HatchWidth = 1;
            e->HatchDistance = 20;
            list.push_back(std::move(e));
            continue;
        }
        if (kind < 10) {
            auto b = std::make_unique<TBezier>();
            b->ResetStyle();
            const float w = uni(20, 150), h = uni(20, 150);
            b->Points = {{x, y},        {x + w / 3, y - h},     {x + 2 * w / 3, y + h},
                         {x + w, y},    {x + 4 * w / 3, y - h}, {x + 5 * w / 3, y + h},
                         {x + 2 * w, y}};
            b->LineWidth = 2 + pick(3);
            if (pick(4) == 0) b->FinishEnd = quint8(1 + pick(11));
            list.push_back(std::move(b));
            continue;
        }
        auto p = std::make_unique<TPolyLine>();
        p->ResetStyle();
        if (kind < 55) { // wires: one to three orthogonal segments
            TRPoint q{x, y};
            p->Points.push_back(q);
            const int segments = 1 + pick(3);
            for (int s = 0; s < segments; ++s) {
                if (s % 2 == 0)
                    q.X += uni(-250, 250);
                else
                    q.Y += uni(-250, 250);
                p->Points.push_back(q);
            }
            p->LineWidth = pick(3) == 0 ? 5 : 2;
        } else if (kind < 70) { // symbol strokes
            const float w = uni(10, 60);
            p->Points = {{x, y}, {x + w, y}, {x + w, y + w}, {x, y + w}, {x, y}};
            p->LineWidth = 2 + pick(2);
        } else { // styled lines (kind 70..84)
            p->Points = {{x, y}, {x + uni(50, 400), y + uni(-20, 20)}};
            p->LineWidth = 2 + pick(6);
            p->PenStyle = quint8(1 + pick(7));
            p->TwoColor = pick(2) == 0;
            p->InnerStripe = pick(4) == 0;
            p->CrossStripes = pick(6) == 0;
        }
        if (pick(10) == 0) p->StartEnd = quint8(1 + pick(11));
        if (pick(10) == 0) p->FinishEnd = quint8(1 + pick(11));
        p->LineColor = pick(5) == 0 ? 0x0000C0 : clBlack;
        list.push_back(std::move(p));
    }
    return list;
}
