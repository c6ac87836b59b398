#include "standalone/settings_bar.h"

#include "gui/frame.h"
#include "standalone/bar_views.h"
#include "standalone/session.h"
#include "standalone/stream_limits.h"

#include <string>
#include <utility>
#include <vector>

using namespace VSTGUI;

namespace standalone
{
namespace
{

constexpr CColor kBarColour{40, 40, 44, 255};
constexpr CCoord kRowTop = 5;
constexpr CCoord kRowBottom = 23;
constexpr CCoord kLineTop = 28;
constexpr CCoord kLineBottom = 46;
// The status line is read every few idle passes: the CPU load changes slowly.
constexpr uint32_t kStatusEvery = 10;

CRect rowBox(CCoord left, CCoord right)
{
    return CRect(left, kRowTop, right, kRowBottom);
}

std::string channelsText(const std::vector<int>& channels)
{
    std::string text;
    for (const int channel : channels)
        text += (text.empty() ? "" : "+") + std::to_string(channel);
    return text;
}

// The output channel choices: the stereo pairs, then each channel alone.
std::vector<std::vector<int>> outputChoices(int channels)
{
    std::vector<std::vector<int>> choices;
    for (int first = 1; first + 1 <= channels; first += 2)
        choices.push_back({first, first + 1});
    for (int channel = 1; channel <= channels; ++channel)
        choices.push_back({channel});
    return choices;
}

// The devices of the choice's host API with channels in one direction.
std::vector<int> devicesOf(const DeviceCatalog& catalog, int api, bool inputs)
{
    std::vector<int> found;
    for (int i = 0; i < static_cast<int>(catalog.devices.size()); ++i)
    {
        const DeviceInfo& device = catalog.devices[static_cast<std::size_t>(i)];
        if (device.hostApi == api && (inputs ? device.inputs : device.outputs) > 0)
            found.push_back(i);
    }
    return found;
}

// The host API's name as the bar's box shows it, without what the box has no room for; its menu
// lists PortAudio's full names.
std::string shortApiName(const std::string& name)
{
    static const std::pair<const char*, const char*> kShort[] = {
        {"Windows WASAPI", "WASAPI"},
        {"Windows DirectSound", "DirectSound"},
        {"Windows WDM-KS", "WDM-KS"},
        {"JACK Audio Connection Kit", "JACK"}};
    for (const auto& [full, shown] : kShort)
        if (name == full)
            return shown;
    return name;
}

template <typename T> int32_t indexOf(const std::vector<T>& list, const T& value)
{
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i] == value)
            return static_cast<int32_t>(i);
    return -1;
}

} // namespace

SettingsBar::SettingsBar(void* parent, Session& owner, double scale)
    : session(owner), frame(new CFrame(CRect(0, 0, kWidth, kHeight), parent, nullptr, scale))
{
    frame->setBackgroundColor(kBarColour);
    addMenus();
    mute = new MuteButton(muteArea(),
                          [this](bool muted)
                          {
                              session.setMuted(muted);
                              status->setText(session.statusLine());
                          });
    mute->setMuted(session.processor().muted());
    frame->addView(mute);
    meter = new LevelMeter(CRect(6, kLineTop + 3, 160, kLineBottom - 3));
    frame->addView(meter);
    status = new TextLine(CRect(166, kLineTop, 624, kLineBottom));
    frame->addView(status);
    showChoice();
}

SettingsBar::~SettingsBar()
{
    delete frame;
}

CRect SettingsBar::muteArea()
{
    return rowBox(584, 624);
}

void SettingsBar::addMenus()
{
    const auto catalog = [this]() -> const DeviceCatalog& { return session.audio().catalog(); };
    const auto current = [this]() { return session.choice().value_or(StreamChoice{}); };
    hostApi = new MenuButton(
        rowBox(6, 96),
        [this, catalog, current]()
        {
            MenuButton::Menu menu;
            for (const HostApiInfo& api : catalog().apis)
                menu.items.push_back(api.name);
            menu.items.push_back("Rescan devices");
            menu.checked = current().hostApi;
            return menu;
        },
        [this, catalog](int32_t index)
        {
            if (index >= static_cast<int32_t>(catalog().apis.size()))
            {
                session.rescan();
                showChoice();
                return;
            }
            StreamRequest request;
            request.hostApi = catalog().apis[static_cast<std::size_t>(index)].name;
            try
            {
                apply(chooseStream(catalog(), {}, request, session.audio().rateCheck()).choice);
            }
            catch (const ChoiceError& error)
            {
                session.setMessage(error.what());
                showChoice();
            }
        });

    const auto deviceMenu = [this, catalog, current](bool inputs)
    {
        return [this, catalog, current, inputs]()
        {
            MenuButton::Menu menu;
            const StreamChoice choice = current();
            const std::vector<int> devices = devicesOf(catalog(), choice.hostApi, inputs);
            for (const int device : devices)
                menu.items.push_back(catalog().devices[static_cast<std::size_t>(device)].name);
            menu.checked = indexOf(devices, inputs ? choice.input : choice.output);
            return menu;
        };
    };
    const auto deviceChosen = [this, catalog, current](bool inputs)
    {
        return [this, catalog, current, inputs](int32_t index)
        {
            StreamChoice choice = current();
            const int device =
                devicesOf(catalog(), choice.hostApi, inputs)[static_cast<std::size_t>(index)];
            (inputs ? choice.input : choice.output) = device;
            apply(choice);
        };
    };
    input = new MenuButton(rowBox(100, 225), deviceMenu(true), deviceChosen(true));
    output = new MenuButton(rowBox(273, 398), deviceMenu(false), deviceChosen(false));

    inputChannel = new MenuButton(
        rowBox(229, 269),
        [catalog, current]()
        {
            MenuButton::Menu menu;
            const StreamChoice choice = current();
            if (choice.input < 0)
                return menu;
            for (int channel = 1;
                 channel <= catalog().devices[static_cast<std::size_t>(choice.input)].inputs;
                 ++channel)
                menu.items.push_back("In " + std::to_string(channel));
            menu.checked = choice.inputChannel - 1;
            return menu;
        },
        [this, current](int32_t index)
        {
            StreamChoice choice = current();
            choice.inputChannel = index + 1;
            apply(choice);
        });
    outputChannels = new MenuButton(
        rowBox(402, 452),
        [catalog, current]()
        {
            MenuButton::Menu menu;
            const StreamChoice choice = current();
            if (choice.output < 0)
                return menu;
            const auto choices =
                outputChoices(catalog().devices[static_cast<std::size_t>(choice.output)].outputs);
            for (const auto& channels : choices)
                menu.items.push_back("Out " + channelsText(channels));
            menu.checked = indexOf(choices, choice.outputChannels);
            return menu;
        },
        [this, catalog, current](int32_t index)
        {
            StreamChoice choice = current();
            choice.outputChannels =
                outputChoices(catalog()
                                  .devices[static_cast<std::size_t>(choice.output)]
                                  .outputs)[static_cast<std::size_t>(index)];
            apply(choice);
        });
    rate = new MenuButton(
        rowBox(456, 526),
        [this, current]()
        {
            MenuButton::Menu menu;
            const std::vector<double> rates =
                supportedRates(current(), session.audio().rateCheck());
            for (const double offered : rates)
                menu.items.push_back(rateText(offered));
            menu.checked = indexOf(rates, current().rate);
            return menu;
        },
        [this, current](int32_t index)
        {
            StreamChoice choice = current();
            choice.rate = supportedRates(
                choice, session.audio().rateCheck())[static_cast<std::size_t>(index)];
            apply(choice);
        });
    buffer = new MenuButton(
        rowBox(530, 580),
        [current]()
        {
            MenuButton::Menu menu;
            for (const int frames : kBufferChoices)
            {
                menu.items.push_back(std::to_string(frames));
                if (frames == current().buffer)
                    menu.checked = static_cast<int32_t>(menu.items.size()) - 1;
            }
            return menu;
        },
        [this, current](int32_t index)
        {
            StreamChoice choice = current();
            choice.buffer = kBufferChoices[index];
            apply(choice);
        });
    for (MenuButton* button : {hostApi, input, inputChannel, output, outputChannels, rate, buffer})
        frame->addView(button);
}

void SettingsBar::apply(const StreamChoice& wanted)
{
    const DeviceCatalog& catalog = session.audio().catalog();
    if (wanted.hostApi < 0 || wanted.input < 0 || wanted.output < 0)
        return;
    try
    {
        // Channels or a rate the new device lacks fall back as a remembered choice would.
        const ChoiceResult result =
            chooseStream(catalog, {}, requestFor(catalog, wanted), session.audio().rateCheck());
        session.choose(result.choice);
    }
    catch (const ChoiceError& error)
    {
        session.setMessage(error.what());
    }
    showChoice();
}

void SettingsBar::showChoice()
{
    const DeviceCatalog& catalog = session.audio().catalog();
    const std::optional<StreamChoice>& choice = session.choice();
    if (!choice)
    {
        for (MenuButton* button : {input, inputChannel, output, outputChannels, rate, buffer})
            button->setLabel("-");
        hostApi->setLabel("Audio");
    }
    else
    {
        const auto name = [&catalog](int device)
        { return catalog.devices[static_cast<std::size_t>(device)].name; };
        hostApi->setLabel(
            shortApiName(catalog.apis[static_cast<std::size_t>(choice->hostApi)].name));
        input->setLabel(name(choice->input));
        inputChannel->setLabel("In " + std::to_string(choice->inputChannel));
        output->setLabel(name(choice->output));
        outputChannels->setLabel(channelsText(choice->outputChannels));
        rate->setLabel(numberText(choice->rate / 1000.0) + " kHz");
        buffer->setLabel(std::to_string(choice->buffer));
    }
    status->setText(session.statusLine());
}

void SettingsBar::idle()
{
    StreamProcessor& processor = session.processor();
    meter->show(processor.takePeak(), processor.takeClip());
    if (session.poll())
        showChoice();
    if (++idleCount % kStatusEvery == 0)
        status->setText(session.statusLine());
    frame->idle();
}

void SettingsBar::setScale(double scale)
{
    frame->setScale(scale);
}

} // namespace standalone
