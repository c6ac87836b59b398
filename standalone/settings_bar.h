// The bar under the editor: the audio settings as popup menus (host API, input device and
// channel, output device and channels, rate, buffer size), the mute button, the input meter and
// the status line. It lives in a frame of its own, drawn at the editor's scale.
#pragma once

#include "gui/vstgui_types.h"

#include <cstdint>

namespace VSTGUI
{
class CFrame;
}

namespace standalone
{

class LevelMeter;
class MenuButton;
class MuteButton;
class Session;
class TextLine;
struct StreamChoice;

class SettingsBar
{
public:
    static constexpr int32_t kWidth = 630;
    static constexpr int32_t kHeight = 52;

    // A frame in parent (a native window), kWidth x kHeight times scale.
    SettingsBar(void* parent, Session& session, double scale);
    ~SettingsBar();
    SettingsBar(const SettingsBar&) = delete;
    SettingsBar& operator=(const SettingsBar&) = delete;

    // The UI thread, at its idle rate: the meter, the status line, a stream that stopped.
    void idle();
    void setScale(double scale);

    // Where the controls are, in the bar's layout, for tests that click them.
    static VSTGUI::CRect muteArea();

private:
    // Restarts on wanted, completed from the devices as a remembered choice would be.
    void apply(const StreamChoice& wanted);
    void showChoice();
    void addMenus();

    Session& session;
    VSTGUI::CFrame* frame;
    MenuButton* hostApi = nullptr;
    MenuButton* input = nullptr;
    MenuButton* inputChannel = nullptr;
    MenuButton* output = nullptr;
    MenuButton* outputChannels = nullptr;
    MenuButton* rate = nullptr;
    MenuButton* buffer = nullptr;
    MuteButton* mute = nullptr;
    LevelMeter* meter = nullptr;
    TextLine* status = nullptr;
    uint32_t idleCount = 0;
};

} // namespace standalone
