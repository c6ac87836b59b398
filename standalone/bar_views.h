// The views of the audio settings bar, drawn by the toolkit like the editor's controls: a button
// that opens a popup menu, the mute button, the input meter with its clip light, and a line of
// text. Only the UI thread touches them.
#pragma once

#include "gui/view.h"

#include <functional>
#include <string>
#include <vector>

namespace standalone
{

// A labelled box; a click opens the frame's popup menu of its items under it.
class MenuButton : public VSTGUI::CView
{
public:
    struct Menu
    {
        std::vector<std::string> items;
        int32_t checked = -1;
    };
    // items is asked for at each click, so the menu shows the devices of the moment; chosen
    // hears the index picked.
    MenuButton(const VSTGUI::CRect& size, std::function<Menu()> items,
               std::function<void(int32_t)> chosen);

    void setLabel(const std::string& text);
    const std::string& label() const { return text; }
    void draw(VSTGUI::CDrawContext* context) override;
    void onMouseDown(VSTGUI::CDrawContext* context, VSTGUI::CPoint& where,
                     int32_t buttons) override;

private:
    std::string text;
    std::function<Menu()> items;
    std::function<void(int32_t)> chosen;
};

class MuteButton : public VSTGUI::CView
{
public:
    MuteButton(const VSTGUI::CRect& size, std::function<void(bool)> toggled);
    void setMuted(bool muted);
    void draw(VSTGUI::CDrawContext* context) override;
    void onMouseDown(VSTGUI::CDrawContext* context, VSTGUI::CPoint& where,
                     int32_t buttons) override;

private:
    bool on = false;
    std::function<void(bool)> toggled;
};

// The input's peak on a -60 to 0 dB scale; the light at its end stays red for a while after the
// input reached full scale.
class LevelMeter : public VSTGUI::CView
{
public:
    explicit LevelMeter(const VSTGUI::CRect& size);
    // peak since the last call (0 to 1 and above), clipped since then; called at the idle rate.
    void show(float peak, bool clipped);
    void draw(VSTGUI::CDrawContext* context) override;
    float shownLevel() const { return level; }

    static constexpr int kClipHoldUpdates = 60;

private:
    float level = 0.0f; // 0 to 1 of the scale's width
    int clipHold = 0;
};

class TextLine : public VSTGUI::CView
{
public:
    explicit TextLine(const VSTGUI::CRect& size);
    void setText(const std::string& text);
    void draw(VSTGUI::CDrawContext* context) override;

private:
    std::string text;
};

} // namespace standalone
