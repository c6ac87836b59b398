// Drag and drop on OLE: the frame window's drop target and the reading of dropped data objects
// (text, or a file list whose shortcuts are resolved to their targets).
#include "gui/drag_container.h"
#include "gui/platform/window.h"

#include <windows.h>

#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace VSTGUI
{
namespace
{

class CDropTarget : public IDropTarget
{
public:
    explicit CDropTarget(CFrame* target) : frame(target) {}
    virtual ~CDropTarget() = default;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (IsEqualIID(iid, IID_IDropTarget) || IsEqualIID(iid, IID_IUnknown))
        {
            *object = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++references); }
    STDMETHODIMP_(ULONG) Release() override
    {
        if (--references == 0)
        {
            delete this;
            return 0;
        }
        return static_cast<ULONG>(references);
    }
    STDMETHODIMP DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override
    {
        *effect = DragSession::enter(frame, data) ? DROPEFFECT_MOVE : DROPEFFECT_NONE;
        return S_OK;
    }
    STDMETHODIMP DragOver(DWORD, POINTL, DWORD* effect) override
    {
        // Move whatever the views do: no view tells whether it accepts the drop.
        if (DragSession::over(frame))
            *effect = DROPEFFECT_MOVE;
        return S_OK;
    }
    STDMETHODIMP DragLeave() override
    {
        DragSession::leave(frame);
        return S_OK;
    }
    STDMETHODIMP Drop(IDataObject*, DWORD, POINTL, DWORD*) override
    {
        DragSession::drop(frame);
        return S_OK;
    }

private:
    LONG references = 0;
    CFrame* frame; // not counted
};

FORMATETC formatOf(CLIPFORMAT format)
{
    return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

IDataObject* dataObject(void* payload)
{
    return static_cast<IDataObject*>(payload);
}

// The payload's text or, failing that, its file list; false when it offers neither.
bool fetch(void* payload, STGMEDIUM& medium, bool& text)
{
    if (!payload)
        return false;
    FORMATETC format = formatOf(CF_TEXT);
    if (dataObject(payload)->GetData(&format, &medium) == S_OK)
    {
        text = true;
        return true;
    }
    format = formatOf(CF_HDROP);
    text = false;
    return dataObject(payload)->GetData(&format, &medium) == S_OK;
}

// Replaces a shortcut's name by its target's short path; on any failure the name stays.
void resolveShortcut(char* name, UINT capacity)
{
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))))
    {
        WCHAR wideName[2048];
        MultiByteToWideChar(CP_ACP, 0, name, -1, wideName, 2048);
        if (SUCCEEDED(file->Load(wideName, STGM_READ)) &&
            SUCCEEDED(link->Resolve(nullptr, MAKELONG(SLR_NO_UI | SLR_ANY_MATCH, 500))))
        {
            char target[1024];
            WIN32_FIND_DATAA found;
            if (SUCCEEDED(link->GetPath(target, sizeof target, &found, SLGP_SHORTPATH)))
                lstrcpynA(name, target, static_cast<int>(capacity));
        }
        file->Release();
    }
    link->Release();
}

} // namespace

namespace platform
{

bool registerDropTarget(Window window, CFrame* frame)
{
    // Once registered, the registration holds the only reference and revoking it destroys the
    // target; a refused registration destroys it here.
    auto* target = new CDropTarget(frame);
    target->AddRef();
    const bool registered = RegisterDragDrop(reinterpret_cast<HWND>(window), target) == S_OK;
    target->Release();
    return registered;
}

void revokeDropTarget(Window window)
{
    RevokeDragDrop(reinterpret_cast<HWND>(window));
}

bool dragOffersText(void* payload)
{
    FORMATETC format = formatOf(CF_TEXT);
    return payload && dataObject(payload)->QueryGetData(&format) == S_OK;
}

int32_t dragItemCount(void* payload)
{
    STGMEDIUM medium{};
    bool text = false;
    if (!fetch(payload, medium, text))
        return 0;
    int32_t count = 1;
    if (!text)
        count = static_cast<int32_t>(
            DragQueryFileA(static_cast<HDROP>(medium.hGlobal), 0xFFFFFFFF, nullptr, 0));
    ReleaseStgMedium(&medium);
    return count;
}

bool readDragItem(void* payload, int32_t index, std::string& item, int32_t& type)
{
    STGMEDIUM medium{};
    bool text = false;
    if (!fetch(payload, medium, text))
        return false;
    bool found = false;
    if (!text)
    {
        char name[1024];
        auto drop = static_cast<HDROP>(medium.hGlobal);
        const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        if (index >= 0 && static_cast<UINT>(index) < count &&
            DragQueryFileA(drop, static_cast<UINT>(index), name, sizeof name) > 0)
        {
            if (isShortcutName(name))
                resolveShortcut(name, sizeof name);
            item = name;
            type = CDragContainer::kFile;
            found = true;
        }
    }
    else if (index == 0)
    {
        const void* bytes = GlobalLock(medium.hGlobal);
        const SIZE_T size = GlobalSize(medium.hGlobal);
        if (bytes && size > 0)
        {
            item.assign(static_cast<const char*>(bytes), size);
            type = CDragContainer::kText;
            found = true;
        }
        GlobalUnlock(medium.hGlobal);
    }
    ReleaseStgMedium(&medium);
    return found;
}

} // namespace platform
} // namespace VSTGUI
