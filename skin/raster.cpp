#include "skin/raster.h"

#include <algorithm>
#include <cmath>

namespace skin
{

namespace
{

constexpr int kSubRows = 16;

struct Edge
{
    double x0, y0, y1, slope;
    int direction;
};

struct Crossing
{
    double x;
    int direction;
};

// Coverage of one pixel row, accumulated over its sub-rows: partial pixels directly, runs of
// whole pixels as steps that a running sum spreads.
class RowAccumulator
{
public:
    explicit RowAccumulator(int width)
        : width_(width), partial_(static_cast<std::size_t>(width) + 1),
          steps_(static_cast<std::size_t>(width) + 1), bytes_(static_cast<std::size_t>(width))
    {
    }

    void clear()
    {
        std::fill(partial_.begin() + first_, partial_.begin() + last_ + 1, 0.0f);
        std::fill(steps_.begin() + first_, steps_.begin() + last_ + 1, 0.0f);
        first_ = width_;
        last_ = 0;
    }

    void span(double a, double b, float weight)
    {
        a = std::clamp(a, 0.0, double(width_));
        b = std::clamp(b, 0.0, double(width_));
        if (b <= a)
            return;
        const int ia = static_cast<int>(a);
        const int ib = std::min(static_cast<int>(b), width_ - 1);
        first_ = std::min(first_, ia);
        last_ = std::max(last_, ib + 1);
        if (ia == ib)
        {
            partial_[static_cast<std::size_t>(ia)] += static_cast<float>(b - a) * weight;
            return;
        }
        partial_[static_cast<std::size_t>(ia)] += static_cast<float>(ia + 1 - a) * weight;
        steps_[static_cast<std::size_t>(ia + 1)] += weight;
        steps_[static_cast<std::size_t>(ib)] -= weight;
        partial_[static_cast<std::size_t>(ib)] += static_cast<float>(b - ib) * weight;
    }

    // Hands the row on; false when nothing was covered.
    bool emit(int y, const CoverageRow& row)
    {
        if (first_ >= last_)
            return false;
        const int end = std::min(last_, width_);
        float run = 0.0f;
        for (int x = first_; x < end; ++x)
        {
            run += steps_[static_cast<std::size_t>(x)];
            const float c = std::min(1.0f, run + partial_[static_cast<std::size_t>(x)]);
            bytes_[static_cast<std::size_t>(x)] = static_cast<uint8_t>(c * 255.0f + 0.5f);
        }
        row(y, first_, end, bytes_.data() + first_);
        return true;
    }

private:
    int width_;
    int first_ = 0;
    int last_ = 0;
    std::vector<float> partial_;
    std::vector<float> steps_;
    std::vector<uint8_t> bytes_;
};

std::vector<Edge> edgesOf(const Polygons& polygons)
{
    std::vector<Edge> edges;
    for (const Polygon& polygon : polygons)
        for (std::size_t i = 0; i < polygon.size(); ++i)
        {
            const Point& a = polygon[i];
            const Point& b = polygon[(i + 1) % polygon.size()];
            if (a.y == b.y)
                continue;
            const bool down = a.y < b.y;
            const Point& top = down ? a : b;
            const Point& bottom = down ? b : a;
            edges.push_back(
                {top.x, top.y, bottom.y, (bottom.x - top.x) / (bottom.y - top.y), down ? 1 : -1});
        }
    std::sort(edges.begin(), edges.end(), [](const Edge& l, const Edge& r) { return l.y0 < r.y0; });
    return edges;
}

} // namespace

void rasterize(const Polygons& polygons, int width, int height, const CoverageRow& row)
{
    if (width <= 0 || height <= 0)
        return;
    const std::vector<Edge> edges = edgesOf(polygons);
    if (edges.empty())
        return;
    double bottom = 0.0;
    for (const Edge& edge : edges)
        bottom = std::max(bottom, edge.y1);
    const int firstRow = std::max(0, static_cast<int>(std::floor(edges.front().y0)));
    const int endRow = std::min(height, static_cast<int>(std::ceil(bottom)));

    RowAccumulator accumulator(width);
    accumulator.clear();
    std::vector<const Edge*> active;
    std::vector<Crossing> crossings;
    std::size_t next = 0;
    while (next < edges.size() && edges[next].y1 <= firstRow)
        ++next;
    for (int y = firstRow; y < endRow; ++y)
    {
        while (next < edges.size() && edges[next].y0 < y + 1)
            active.push_back(&edges[next++]);
        active.erase(
            std::remove_if(active.begin(), active.end(), [y](const Edge* e) { return e->y1 <= y; }),
            active.end());
        if (active.empty())
            continue;
        for (int sub = 0; sub < kSubRows; ++sub)
        {
            const double sy = y + (sub + 0.5) / kSubRows;
            crossings.clear();
            for (const Edge* e : active)
                if (e->y0 <= sy && sy < e->y1)
                    crossings.push_back({e->x0 + (sy - e->y0) * e->slope, e->direction});
            std::sort(crossings.begin(), crossings.end(),
                      [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
            int winding = 0;
            double start = 0.0;
            for (const Crossing& c : crossings)
            {
                const int before = winding;
                winding += c.direction;
                if (before == 0 && winding != 0)
                    start = c.x;
                else if (before != 0 && winding == 0)
                    accumulator.span(start, c.x, 1.0f / kSubRows);
            }
        }
        if (accumulator.emit(y, row))
            accumulator.clear();
    }
}

} // namespace skin
