// Value types shared by the toolkit and the editor, and the reference-counted base of every
// view, bitmap and draw context.
#pragma once

#include <cstdint>

namespace VSTGUI
{

using CCoord = int32_t;

struct CPoint
{
    CCoord h = 0;
    CCoord v = 0;

    constexpr CPoint() = default;
    constexpr CPoint(CCoord horizontal, CCoord vertical) : h(horizontal), v(vertical) {}

    CPoint& offset(CCoord dx, CCoord dy)
    {
        h += dx;
        v += dy;
        return *this;
    }
    constexpr bool operator==(const CPoint& other) const { return h == other.h && v == other.v; }
    constexpr bool operator!=(const CPoint& other) const { return !(*this == other); }
};

// Right and bottom are exclusive: width is right - left, height is bottom - top.
struct CRect
{
    CCoord left = 0;
    CCoord top = 0;
    CCoord right = 0;
    CCoord bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(CCoord l, CCoord t, CCoord r, CCoord b) : left(l), top(t), right(r), bottom(b)
    {
    }
    // A rectangle of the given size with its top-left corner at origin.
    constexpr CRect(const CPoint& origin, CCoord width, CCoord height)
        : left(origin.h), top(origin.v), right(origin.h + width), bottom(origin.v + height)
    {
    }

    constexpr CCoord width() const { return right - left; }
    constexpr CCoord height() const { return bottom - top; }
    constexpr bool isEmpty() const { return left >= right || top >= bottom; }
    constexpr CPoint topLeft() const { return CPoint(left, top); }

    CRect& offset(CCoord dx, CCoord dy)
    {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
        return *this;
    }
    CRect& offset(const CPoint& by) { return offset(by.h, by.v); }

    // Keeps the common part of both rectangles. Disjoint rectangles give an empty rectangle that
    // is never inverted (right >= left, bottom >= top), so width and height stay non-negative.
    CRect& intersect(const CRect& other)
    {
        left = left > other.left ? left : other.left;
        top = top > other.top ? top : other.top;
        right = right < other.right ? right : other.right;
        bottom = bottom < other.bottom ? bottom : other.bottom;
        if (right < left)
            right = left;
        if (bottom < top)
            bottom = top;
        return *this;
    }

    constexpr bool operator==(const CRect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    constexpr bool operator!=(const CRect& o) const { return !(*this == o); }
};

// Alpha 255 is opaque. Colours are equal only when all four bytes are.
struct CColor
{
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 255;

    constexpr bool operator==(const CColor& o) const
    {
        return red == o.red && green == o.green && blue == o.blue && alpha == o.alpha;
    }
    constexpr bool operator!=(const CColor& o) const { return !(*this == o); }
};

inline constexpr CColor kCyanCColor{0, 255, 255, 255};
inline constexpr CColor kMagentaCColor{255, 0, 255, 255};
inline constexpr CColor kYellowCColor{255, 255, 0, 255};
inline constexpr CColor kBlueCColor{0, 0, 255, 255};
inline constexpr CColor kGreenCColor{0, 255, 0, 255};
inline constexpr CColor kRedCColor{255, 0, 0, 255};
inline constexpr CColor kGreyCColor{127, 127, 127, 255};
inline constexpr CColor kWhiteCColor{255, 255, 255, 255};
inline constexpr CColor kBlackCColor{0, 0, 0, 255};
inline constexpr CColor kTransparentCColor{255, 255, 255, 0};

// The host's key record.
struct KeyCode
{
    int32_t character = 0;
    uint8_t virt = 0;
    uint8_t modifier = 0;
};

inline constexpr uint8_t kKeyModifierShift = 1; // bit 0 of KeyCode::modifier

// KeyCode::virt: the keys the toolkit knows apart, numbered as hosts number them.
enum VirtualKey : uint8_t
{
    kVirtualKeyBack = 1,
    kVirtualKeyTab = 2,
    kVirtualKeyReturn = 4,
    kVirtualKeyEscape = 6,
    kVirtualKeyEnd = 9,
    kVirtualKeyHome = 10,
    kVirtualKeyLeft = 11,
    kVirtualKeyUp = 12,
    kVirtualKeyRight = 13,
    kVirtualKeyDown = 14,
    kVirtualKeyEnter = 19,
    kVirtualKeyDelete = 22,
};

// Mouse button state: a bit set of buttons and modifier keys.
enum CButton : int32_t
{
    kLButton = 1,
    kMButton = 2,
    kRButton = 4,
    kShift = 8,
    kControl = 16,
    kAlt = 32,
    kApple = 64, // a fourth modifier; the Windows button reader never sets it
};

// The caller has not read the buttons: read them from the draw context.
inline constexpr int32_t kButtonsUnknown = -1;

enum CMouseWheelAxis : int32_t
{
    kMouseWheelAxisX = 0,
    kMouseWheelAxisY = 1,
};

// The pointer shapes the frame shows. Any other value, 7 among them, shows the cursor that was
// current before the frame first set one.
enum class CursorKind : int32_t
{
    original = 0,
    wait = 1,
    resizeLeftRight = 2,
    resizeUpDown = 3,
    move = 4,          // four ways
    resizeRising = 5,  // diagonal, north-east to south-west
    resizeFalling = 6, // diagonal, north-west to south-east
    notAllowed = 8,
    hand = 9,
};

// Base of every counted toolkit object. Whoever stores a pointer retains it and releases it when
// letting go; nobody deletes a counted object directly.
class CReferenceCounter
{
public:
    CReferenceCounter() = default;
    CReferenceCounter(const CReferenceCounter&) = delete;
    CReferenceCounter& operator=(const CReferenceCounter&) = delete;
    virtual ~CReferenceCounter() = default;

    // Drops one reference and destroys the object when it was the last; answers the new count.
    virtual int32_t release()
    {
        if (--nbReference == 0)
        {
            delete this;
            return 0;
        }
        return nbReference;
    }
    virtual void retain() { ++nbReference; }

    int32_t getNbReference() const { return nbReference; }

private:
    int32_t nbReference = 1;
};

} // namespace VSTGUI
