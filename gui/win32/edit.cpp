// The native edit box on Win32: an "EDIT" child window whose focus loss, Return key and dialog
// code the text field sees before the box does.
#include "gui/platform/edit.h"

#include <windows.h>

#include <cstring>

namespace VSTGUI
{
namespace platform
{

struct EditBoxObject
{
    HWND window = nullptr;
    HFONT font = nullptr;
    EditBoxOwner* owner = nullptr;
};

namespace
{
// Every box is of the "EDIT" class, so one saved procedure serves them all.
WNDPROC previousEditProcedure = nullptr;

LRESULT CALLBACK editProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* box = reinterpret_cast<EditBoxObject*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message)
    {
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;
    case WM_KILLFOCUS:
        if (box)
            box->owner->editBoxDone();
        break;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN && box)
            box->owner->editBoxDone();
        break;
    default:
        break;
    }
    // The owner may have destroyed the box while it handled the message.
    if (!IsWindow(window))
        return 0;
    return CallWindowProcA(previousEditProcedure, window, message, wParam, lParam);
}

DWORD alignmentStyle(int32_t align)
{
    switch (align)
    {
    case 0:
        return ES_LEFT;
    case 2:
        return ES_RIGHT;
    default:
        return ES_CENTER;
    }
}
} // namespace

EditBox createEditBox(Window parent, const EditBoxDescription& description, EditBoxOwner* owner)
{
    const CRect& r = description.rect;
    const DWORD style = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | alignmentStyle(description.align);
    HWND window = CreateWindowExA(0, "EDIT", description.text, style, r.left, r.top, r.width() + 1,
                                  r.height() + 1, reinterpret_cast<HWND>(parent), nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (!window)
        return nullptr;

    LOGFONTA font{};
    font.lfHeight = -description.fontHeight;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = ANSI_CHARSET;
    font.lfOutPrecision = OUT_STRING_PRECIS;
    font.lfClipPrecision = CLIP_STROKE_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    std::strncpy(font.lfFaceName, description.fontFace, LF_FACESIZE - 1);

    auto* box = new EditBoxObject;
    box->window = window;
    box->font = CreateFontIndirectA(&font);
    box->owner = owner;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(box));
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(box->font), TRUE);
    SendMessageA(window, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    SendMessageA(window, EM_SETSEL, 0, -1);
    SendMessageA(window, EM_LIMITTEXT, static_cast<WPARAM>(description.maxLength), 0);
    SetFocus(window);
    previousEditProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProcedure)));
    return box;
}

void getEditBoxText(EditBox box, char* text, int32_t size)
{
    if (size <= 0)
        return;
    text[0] = 0;
    GetWindowTextA(box->window, text, size);
}

void destroyEditBox(EditBox box)
{
    DestroyWindow(box->window);
    if (box->font)
        DeleteObject(box->font);
    delete box;
}

void dispatchPaintMessage()
{
    MSG message;
    if (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
        DispatchMessageA(&message);
}

// Windows dispatches window messages through the host's own message loop.
void processWindowEvents() {}

} // namespace platform
} // namespace VSTGUI
