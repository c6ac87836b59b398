// The scale menu of CKLVEditor: a right click on the panel offers the user's scales, and the
// choice is kept in the per-user settings file for the windows opened after it.
#include "editor/cklv_editor.h"
#include "editor/scale_settings.h"
#include "gui/frame.h"
#include "host/audio_effect_x.h"

#include <string>
#include <vector>

bool CKLVEditor::getRect(ERect** answer)
{
    // Once: hosts may ask for the rectangle often, and every open reads the file again.
    if (!userScaleLoaded)
        loadUserScale();
    return AEffGUIEditor::getRect(answer);
}

void CKLVEditor::onPanelRightClick(const VSTGUI::CPoint& where)
{
    if (!frame)
        return;
    std::vector<std::string> items;
    for (int i = 0; i < kNumUserScales; ++i)
        items.push_back(userScaleLabel(i));
    const int32_t chosen = frame->showPopupMenu(where, items, userScaleIndex(userChoice));
    if (chosen < 0 || chosen >= kNumUserScales)
        return;
    userChoice = kUserScales[chosen];
    choiceUnsaved = !writeUserScale(settingsPath(), userChoice);
    setUserScale(userChoice);
}

void CKLVEditor::loadUserScale()
{
    if (!choiceUnsaved)
        userChoice = readUserScale(settingsPath());
    userScaleLoaded = true;
    setUserScale(userChoice);
}

std::filesystem::path CKLVEditor::settingsPath() const
{
    // The effect's identity names the folders.
    auto* effectX = dynamic_cast<AudioEffectX*>(effect);
    char vendor[kVstMaxVendorStrLen + 1] = {};
    char product[kVstMaxProductStrLen + 1] = {};
    if (!effectX || !effectX->getVendorString(vendor) || !effectX->getProductString(product))
        return {};
    return settingsFile(vendor, product);
}
