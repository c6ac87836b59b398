// Views that record what the tree does to them, for the view-tree tests.
#pragma once

#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/software/test_control.h"
#include "gui/software/window_control.h"

#include <string>
#include <vector>

namespace testing_views
{

using namespace VSTGUI;

// A process-wide log of events, so that the order across views can be checked.
inline std::vector<std::string>& eventLog()
{
    static std::vector<std::string> log;
    return log;
}

inline int& destroyedViews()
{
    static int count = 0;
    return count;
}

class RecordingView : public CView
{
public:
    RecordingView(const CRect& rect, std::string viewName, CColor fill = kWhiteCColor)
        : CView(rect), name(std::move(viewName)), colour(fill)
    {
    }
    ~RecordingView() override { ++destroyedViews(); }

    void draw(CDrawContext* context) override
    {
        ++draws;
        context->setFillColor(colour);
        context->drawRect(size, kDrawFilled);
        CView::draw(context);
    }
    void onMouseDown(CDrawContext*, CPoint& where, int32_t buttons) override
    {
        clicks.push_back(where);
        lastButtons = buttons;
        focusAtClick = getFrame() ? getFrame()->getFocusView() : nullptr;
        eventLog().push_back(name + ".mouseDown");
    }
    int32_t onKeyDown(KeyCode&) override
    {
        eventLog().push_back(name + ".keyDown");
        return keyAnswer;
    }
    int32_t onKeyUp(KeyCode&) override
    {
        eventLog().push_back(name + ".keyUp");
        return keyAnswer;
    }
    bool onWheelAxis(CDrawContext*, const CPoint& where, int32_t axis, float distance) override
    {
        wheelAxis = axis;
        wheelDistance = distance;
        wheelWhere = where;
        return true;
    }
    bool onDrop(CDrawContext*, CDragContainer*, const CPoint& where) override
    {
        eventLog().push_back(name + ".drop@" + std::to_string(where.h) + "," +
                             std::to_string(where.v));
        return true;
    }
    void onDragEnter(CDrawContext*, CDragContainer*, const CPoint&) override
    {
        eventLog().push_back(name + ".enter");
    }
    void onDragLeave(CDrawContext*, CDragContainer*, const CPoint&) override
    {
        eventLog().push_back(name + ".leave");
    }
    void onDragMove(CDrawContext*, CDragContainer*, const CPoint&) override
    {
        eventLog().push_back(name + ".move");
    }
    void onFocusLost(CDrawContext*) override { eventLog().push_back(name + ".focusLost"); }

    std::string name;
    CColor colour;
    int draws = 0;
    std::vector<CPoint> clicks;
    int32_t lastButtons = 0;
    CView* focusAtClick = nullptr;
    int32_t keyAnswer = -1;
    int32_t wheelAxis = -1;
    float wheelDistance = 0.0f;
    CPoint wheelWhere;
};

// A frame with a software window of its own; the parent window is only a token.
inline CFrame* makeWindowFrame(const CRect& rect)
{
    static int hostWindow;
    return new CFrame(rect, &hostWindow, nullptr);
}

inline uint32_t rgb(const CColor& c)
{
    return (static_cast<uint32_t>(c.red) << 16) | (static_cast<uint32_t>(c.green) << 8) | c.blue;
}

} // namespace testing_views
