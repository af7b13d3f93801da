#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "res/app_icon.h"

// The icon as shapes on a 32-unit square, painted in order: the tile with its border, the gold
// bars on their base line, and the red rising line with its arrowhead (red as gains are shown in
// China). Both the pixel images and the SVG document are drawn from this one list.
namespace res {
namespace {

struct Point {
    double x;
    double y;
};

enum class Kind { RoundedBox, Stroke, Polygon };

struct Shape {
    Kind kind;
    std::uint32_t colour;           // 0xRRGGBB, opaque
    std::span<const Point> points;  // a box's two corners, a stroke's or polygon's vertices
    double size;                    // a box's corner radius, a stroke's width
};

constexpr double UNITS = 32.0;

constexpr std::array<Point, 2> BORDER{{{1, 1}, {31, 31}}};
constexpr std::array<Point, 2> TILE{{{2, 2}, {30, 30}}};
constexpr std::array<Point, 2> BAR1{{{6, 21}, {10, 26}}};
constexpr std::array<Point, 2> BAR2{{{11, 17}, {15, 26}}};
constexpr std::array<Point, 2> BAR3{{{16, 19}, {20, 26}}};
constexpr std::array<Point, 2> BAR4{{{21, 13}, {25, 26}}};
constexpr std::array<Point, 2> BASE{{{5, 26}, {27, 27}}};
constexpr std::array<Point, 4> RISE{{{5, 21.5}, {12.5, 13.5}, {16.5, 17}, {22, 10.5}}};
constexpr std::array<Point, 3> ARROWHEAD{{{27, 4.5}, {19, 7.5}, {24.5, 12.5}}};

constexpr std::uint32_t NAVY = 0x1B3A5C;
constexpr std::uint32_t BLUE = 0x2E6DA4;
constexpr std::uint32_t GOLD = 0xF2B632;
constexpr std::uint32_t RED = 0xE0483E;
constexpr std::uint32_t WHITE = 0xFFFFFF;

constexpr std::array<Shape, 9> SHAPES{{
    {Kind::RoundedBox, NAVY, BORDER, 6},
    {Kind::RoundedBox, BLUE, TILE, 5},
    {Kind::RoundedBox, GOLD, BAR1, 0},
    {Kind::RoundedBox, GOLD, BAR2, 0},
    {Kind::RoundedBox, GOLD, BAR3, 0},
    {Kind::RoundedBox, GOLD, BAR4, 0},
    {Kind::RoundedBox, WHITE, BASE, 0},
    {Kind::Stroke, RED, RISE, 2},
    {Kind::Polygon, RED, ARROWHEAD, 0},
}};

bool InRoundedBox(const Shape& box, Point p) {
    const Point low = box.points[0];
    const Point high = box.points[1];
    if (p.x < low.x || p.x >= high.x || p.y < low.y || p.y >= high.y) {
        return false;
    }
    // Outside the corner circles only where the point lies in a corner square.
    const double r = box.size;
    const double dx = std::max({low.x + r - p.x, p.x - (high.x - r), 0.0});
    const double dy = std::max({low.y + r - p.y, p.y - (high.y - r), 0.0});
    return dx * dx + dy * dy <= r * r;
}

double SquaredDistanceToSegment(Point p, Point a, Point b) {
    const double vx = b.x - a.x;
    const double vy = b.y - a.y;
    const double along =
        std::clamp(((p.x - a.x) * vx + (p.y - a.y) * vy) / (vx * vx + vy * vy), 0.0, 1.0);
    const double dx = p.x - (a.x + along * vx);
    const double dy = p.y - (a.y + along * vy);
    return dx * dx + dy * dy;
}

// Round caps and joins: within half the width of any segment.
bool InStroke(const Shape& stroke, Point p) {
    const double half = stroke.size / 2;
    for (std::size_t i = 1; i < stroke.points.size(); ++i) {
        if (SquaredDistanceToSegment(p, stroke.points[i - 1], stroke.points[i]) <= half * half) {
            return true;
        }
    }
    return false;
}

// Even-odd rule, as the SVG document states it.
bool InPolygon(const Shape& polygon, Point p) {
    bool inside = false;
    const auto points = polygon.points;
    for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
        const Point a = points[i];
        const Point b = points[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) {
            inside = !inside;
        }
    }
    return inside;
}

bool Covers(const Shape& shape, Point p) {
    switch (shape.kind) {
        case Kind::RoundedBox:
            return InRoundedBox(shape, p);
        case Kind::Stroke:
            return InStroke(shape, p);
        case Kind::Polygon:
            return InPolygon(shape, p);
    }
    return false;
}

// The box a shape lies within: a box's corners, a stroke's vertices widened by half its
// width, a polygon's vertices.
struct Bounds {
    Point low;
    Point high;
};

Bounds BoundsOf(const Shape& shape) {
    const double margin = shape.kind == Kind::Stroke ? shape.size / 2 : 0.0;
    Bounds bounds{shape.points[0], shape.points[0]};
    for (const Point p : shape.points) {
        bounds.low = {std::min(bounds.low.x, p.x), std::min(bounds.low.y, p.y)};
        bounds.high = {std::max(bounds.high.x, p.x), std::max(bounds.high.y, p.y)};
    }
    return {{bounds.low.x - margin, bounds.low.y - margin},
            {bounds.high.x + margin, bounds.high.y + margin}};
}

// How far the square's centre lies from a stroke's middle line, and how far any point of the
// square lies from its centre.
struct Reach {
    double centre;
    double corner;
};

Reach StrokeReach(const Shape& stroke, const Bounds& square) {
    const Point centre{(square.low.x + square.high.x) / 2, (square.low.y + square.high.y) / 2};
    double nearest = SquaredDistanceToSegment(centre, stroke.points[0], stroke.points[1]);
    for (std::size_t i = 2; i < stroke.points.size(); ++i) {
        nearest = std::min(
            nearest, SquaredDistanceToSegment(centre, stroke.points[i - 1], stroke.points[i]));
    }
    return {std::sqrt(nearest), std::hypot(square.high.x - centre.x, square.high.y - centre.y)};
}

// Whether any point strictly inside the square can lie in the shape.
bool Meets(const Shape& shape, const Bounds& square) {
    const Bounds bounds = BoundsOf(shape);
    if (!(bounds.low.x < square.high.x && square.low.x < bounds.high.x &&
          bounds.low.y < square.high.y && square.low.y < bounds.high.y)) {
        return false;
    }
    if (shape.kind == Kind::Stroke) {
        const Reach reach = StrokeReach(shape, square);
        return reach.centre <= shape.size / 2 + reach.corner;
    }
    return true;
}

// Whether the shape covers every point strictly inside the square. A rounded box is convex, so
// it does when it holds the square's four corners; a stroke, when the point of the square
// farthest from the centre is within its half width.
bool FillsSquare(const Shape& shape, const Bounds& square) {
    if (shape.kind == Kind::Stroke) {
        const Reach reach = StrokeReach(shape, square);
        return reach.centre + reach.corner < shape.size / 2;
    }
    if (shape.kind != Kind::RoundedBox) {
        return false;
    }
    const Point low = shape.points[0];
    const Point high = shape.points[1];
    const double r = shape.size;
    for (const double x : {square.low.x, square.high.x}) {
        for (const double y : {square.low.y, square.high.y}) {
            const double dx = std::max({low.x + r - x, x - (high.x - r), 0.0});
            const double dy = std::max({low.y + r - y, y - (high.y - r), 0.0});
            if (x < low.x || x > high.x || y < low.y || y > high.y || dx * dx + dy * dy > r * r) {
                return false;
            }
        }
    }
    return true;
}

// The shapes that may show in a pixel, topmost first: only these are tried at its sample points,
// which is what lets the window's icons be drawn at start in about two milliseconds.
struct Candidates {
    std::array<const Shape*, SHAPES.size()> shapes{};
    std::size_t count = 0;
};

Candidates CandidatesIn(const Bounds& square) {
    Candidates found;
    for (auto shape = SHAPES.rbegin(); shape != SHAPES.rend(); ++shape) {
        if (Meets(*shape, square)) {
            found.shapes[found.count++] = &*shape;
        }
    }
    return found;
}

// The colour of the topmost shape at a point, with alpha; transparent where there is none.
std::uint32_t ColourAt(const Candidates& candidates, Point p) {
    for (std::size_t i = 0; i < candidates.count; ++i) {
        if (Covers(*candidates.shapes[i], p)) {
            return 0xFF000000U | candidates.shapes[i]->colour;
        }
    }
    return 0;
}

// Each pixel is the average of samples x samples points spread over it, colours weighted by
// their alpha so that the transparent surround does not darken the edge. From 8 x 8 points for
// the small icons down to 4 x 4 for the largest: edges within a few per cent of an exact
// renderer's. A pixel that the topmost shape in it fills is that shape's colour, as its sample
// points would all say.
unsigned SamplesFor(std::size_t side) {
    return static_cast<unsigned>(std::clamp<std::size_t>(512 / side, 4, 8));
}

std::uint32_t Pixel(std::size_t side, std::size_t x, std::size_t y) {
    const double scale = UNITS / static_cast<double>(side);
    const Bounds square{{static_cast<double>(x) * scale, static_cast<double>(y) * scale},
                        {static_cast<double>(x + 1) * scale, static_cast<double>(y + 1) * scale}};
    const Candidates candidates = CandidatesIn(square);
    if (candidates.count == 0) {
        return 0;
    }
    if (FillsSquare(*candidates.shapes[0], square)) {
        return 0xFF000000U | candidates.shapes[0]->colour;
    }
    const unsigned samples = SamplesFor(side);
    std::array<unsigned, 3> sums{};
    unsigned covered = 0;
    for (unsigned j = 0; j < samples; ++j) {
        for (unsigned i = 0; i < samples; ++i) {
            const Point p{
                (static_cast<double>(x) + (static_cast<double>(i) + 0.5) / samples) * scale,
                (static_cast<double>(y) + (static_cast<double>(j) + 0.5) / samples) * scale};
            const std::uint32_t colour = ColourAt(candidates, p);
            if (colour != 0) {
                ++covered;
                for (std::size_t c = 0; c < 3; ++c) {
                    sums[c] += (colour >> (16 - 8 * c)) & 0xFF;
                }
            }
        }
    }
    if (covered == 0) {
        return 0;
    }
    std::uint32_t pixel = (covered * 255 + samples * samples / 2) / (samples * samples) << 24;
    for (std::size_t c = 0; c < 3; ++c) {
        pixel |= (sums[c] + covered / 2) / covered << (16 - 8 * c);
    }
    return pixel;
}

void AppendNumber(std::string& out, double value) {
    std::array<char, 32> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
    out.append(text.data(), result.ptr);
}

void AppendColour(std::string& out, std::uint32_t colour) {
    constexpr std::string_view DIGITS = "0123456789abcdef";
    out += '#';
    for (int shift = 20; shift >= 0; shift -= 4) {
        out += DIGITS[(colour >> shift) & 0xF];
    }
}

// name="value": a number, or the points of a polyline or polygon.
void AppendAttribute(std::string& out, std::string_view name, double value) {
    out.append(" ").append(name).append("=\"");
    AppendNumber(out, value);
    out += '"';
}

void AppendPoints(std::string& out, std::span<const Point> points) {
    out += " points=\"";
    for (const Point p : points) {
        AppendNumber(out, p.x);
        out += ',';
        AppendNumber(out, p.y);
        out += ' ';
    }
    out.back() = '"';
}

void AppendShape(std::string& out, const Shape& shape) {
    switch (shape.kind) {
        case Kind::RoundedBox: {
            const Point low = shape.points[0];
            const Point high = shape.points[1];
            out += "  <rect";
            AppendAttribute(out, "x", low.x);
            AppendAttribute(out, "y", low.y);
            AppendAttribute(out, "width", high.x - low.x);
            AppendAttribute(out, "height", high.y - low.y);
            AppendAttribute(out, "rx", shape.size);
            out += " fill=\"";
            break;
        }
        case Kind::Stroke:
            out += "  <polyline";
            AppendPoints(out, shape.points);
            out += " fill=\"none\"";
            AppendAttribute(out, "stroke-width", shape.size);
            out += " stroke-linecap=\"round\" stroke-linejoin=\"round\" stroke=\"";
            break;
        case Kind::Polygon:
            out += "  <polygon";
            AppendPoints(out, shape.points);
            out += " fill=\"";
            break;
    }
    AppendColour(out, shape.colour);
    out += "\"/>\n";
}

}  // namespace

std::vector<std::uint32_t> AppIconImage(std::size_t side) {
    const auto pixels = HandDrawnIconPixels(side);
    if (!pixels.empty()) {
        return {pixels.begin(), pixels.end()};
    }
    std::vector<std::uint32_t> image(side * side);
    for (std::size_t y = 0; y < side; ++y) {
        for (std::size_t x = 0; x < side; ++x) {
            image[y * side + x] = Pixel(side, x, y);
        }
    }
    return image;
}

std::string AppIconSvg() {
    std::string out =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
        "viewBox=\"0 0 32 32\">\n";
    for (const Shape& shape : SHAPES) {
        AppendShape(out, shape);
    }
    out += "</svg>\n";
    return out;
}

}  // namespace res
