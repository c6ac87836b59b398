// Dropped OLE data objects: text and file lists, shortcuts resolved to their targets, and the
// routing of a gesture to the views.
#include "gui/drag_container.h"

#include "win32_fixture.h"

#include <ole2.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{

using namespace VSTGUI;
using namespace win32_fixture;

// A data object as a drop source would hand it over.
class TestDataObject : public IDataObject
{
public:
    TestDataObject(const char* text, std::vector<std::string> names)
        : hasText(text != nullptr), textValue(text ? text : ""), files(std::move(names))
    {
    }
    virtual ~TestDataObject() = default;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (IsEqualIID(iid, IID_IDataObject) || IsEqualIID(iid, IID_IUnknown))
        {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }

    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (QueryGetData(format) != S_OK)
            return DV_E_FORMATETC;
        medium->tymed = TYMED_HGLOBAL;
        medium->pUnkForRelease = nullptr;
        medium->hGlobal = format->cfFormat == CF_TEXT ? textBlock() : fileBlock();
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override
    {
        const bool offered = (format->cfFormat == CF_TEXT && hasText) ||
                             (format->cfFormat == CF_HDROP && !files.empty());
        return offered && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP DUnadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

private:
    HGLOBAL textBlock() const
    {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, textValue.size() + 1);
        std::memcpy(GlobalLock(block), textValue.c_str(), textValue.size() + 1);
        GlobalUnlock(block);
        return block;
    }
    HGLOBAL fileBlock() const
    {
        size_t size = sizeof(DROPFILES) + 1;
        for (const std::string& name : files)
            size += name.size() + 1;
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
        auto* header = static_cast<DROPFILES*>(GlobalLock(block));
        header->pFiles = sizeof(DROPFILES);
        char* names = reinterpret_cast<char*>(header + 1);
        for (const std::string& name : files)
        {
            std::memcpy(names, name.c_str(), name.size() + 1);
            names += name.size() + 1;
        }
        GlobalUnlock(block);
        return block;
    }

    ULONG references = 1;
    bool hasText;
    std::string textValue;
    std::vector<std::string> files;
};

std::string tempPath(const char* name)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + name;
}

void touch(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    CloseHandle(file);
}

bool makeShortcut(const std::string& shortcut, const std::string& target)
{
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return false;
    link->SetPath(target.c_str());
    IPersistFile* file = nullptr;
    bool saved = false;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))))
    {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, shortcut.c_str(), -1, wide, MAX_PATH);
        saved = SUCCEEDED(file->Save(wide, TRUE));
        file->Release();
    }
    link->Release();
    return saved;
}

std::string longPath(const std::string& path)
{
    char full[MAX_PATH];
    if (!GetLongPathNameA(path.c_str(), full, sizeof full))
        return path;
    return CharLowerA(full);
}

std::vector<std::string> readAll(CDragContainer& drag, int32_t expectedType)
{
    std::vector<std::string> items;
    int32_t size = 0;
    int32_t type = 0;
    for (void* item = drag.getFirstItem(size, type); item; item = drag.getNextItem(size, type))
    {
        EXPECT_EQ(type, expectedType);
        items.emplace_back(static_cast<const char*>(item), static_cast<size_t>(size));
    }
    return items;
}

class DropTarget : public HostWindow
{
protected:
    void SetUp() override
    {
        HostWindow::SetUp();
        OleInitialize(nullptr);
    }
    void TearDown() override
    {
        OleUninitialize();
        HostWindow::TearDown();
    }
};

TEST_F(DropTarget, FileListDeliversNamesWithShortcutsResolved)
{
    const std::string target = tempPath("dranvelor_target.wav");
    const std::string shortcut = tempPath("Song.LNK");
    const std::string notShortcut = tempPath("archive.lnk.txt");
    touch(target);
    touch(notShortcut);
    ASSERT_TRUE(makeShortcut(shortcut, target));

    TestDataObject data(nullptr, {"C:\\one.wav", shortcut, notShortcut});
    CDragContainer drag(&data);
    EXPECT_EQ(drag.getItemCount(), 3);
    EXPECT_EQ(drag.getItemType(0), CDragContainer::kFile);
    const std::vector<std::string> items = readAll(drag, CDragContainer::kFile);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0], "C:\\one.wav");
    EXPECT_EQ(longPath(items[1]), longPath(target));
    EXPECT_EQ(items[2], notShortcut);

    DeleteFileA(shortcut.c_str());
    DeleteFileA(target.c_str());
    DeleteFileA(notShortcut.c_str());
}

TEST_F(DropTarget, TextIsOneItemEvenBesideFiles)
{
    TestDataObject data("dropped text", {"C:\\one.wav", "C:\\two.wav"});
    CDragContainer drag(&data);
    EXPECT_EQ(drag.getItemCount(), 1);
    EXPECT_EQ(drag.getItemType(0), CDragContainer::kText);
    const std::vector<std::string> items = readAll(drag, CDragContainer::kText);
    ASSERT_EQ(items.size(), 1u);
    // The whole memory block, terminator included.
    EXPECT_STREQ(items[0].c_str(), "dropped text");
}

TEST_F(DropTarget, FrameWindowIsRegisteredAndGesturesReachTheViews)
{
    auto* frame = new CFrame(CRect(0, 0, 200, 100), host, nullptr);
    HWND window = handleOf(*frame);
    EXPECT_TRUE(frame->isDropActive());

    class DropView : public PaintedView
    {
    public:
        using PaintedView::PaintedView;
        bool onDrop(CDrawContext*, CDragContainer* drag, const CPoint& where) override
        {
            int32_t itemSize = 0;
            int32_t type = 0;
            dropped = static_cast<const char*>(drag->getFirstItem(itemSize, type));
            at = where;
            return true;
        }
        std::string dropped;
        CPoint at;
    };
    auto* view = new DropView(CRect(10, 10, 50, 50), kRedCColor);
    frame->addView(view);

    POINT pointer{30, 20};
    ClientToScreen(window, &pointer);
    SetCursorPos(pointer.x, pointer.y);
    pump();
    TestDataObject data(nullptr, {"C:\\a.wav", "C:\\b.wav", "C:\\c.wav"});
    ASSERT_TRUE(DragSession::enter(frame, &data));
    EXPECT_TRUE(DragSession::over(frame));
    DragSession::drop(frame);
    EXPECT_EQ(view->dropped, "C:\\a.wav");
    EXPECT_EQ(view->at, CPoint(30, 20));
    EXPECT_EQ(DragSession::current(), nullptr);

    EXPECT_TRUE(frame->setDropActive(false));
    EXPECT_FALSE(frame->isDropActive());
    EXPECT_EQ(RevokeDragDrop(window), DRAGDROP_E_NOTREGISTERED);
    delete frame;
}

} // namespace
