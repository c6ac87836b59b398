// Antialiased coverage of polygons under the non-zero winding rule: the scan converter under
// the canvas' fills and strokes.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace skin
{

struct Point
{
    double x, y;
};
using Polygon = std::vector<Point>; // closed implicitly
using Polygons = std::vector<Polygon>;

// Pixel rows [x0, x1) of row y with their coverage (0 to 255).
using CoverageRow = std::function<void(int y, int x0, int x1, const uint8_t* coverage)>;

// Hands every row of the width x height pixels that the polygons touch to row, in order. Each
// pixel's coverage is exact across the row and sampled at 16 heights within it: axis-aligned
// edges on sixteenths of a pixel come out exact.
void rasterize(const Polygons& polygons, int width, int height, const CoverageRow& row);

} // namespace skin
