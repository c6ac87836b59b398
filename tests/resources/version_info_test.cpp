// The version resource, read back the way Explorer and hosts read a DLL's properties. The
// resource script is linked into this test program, so its own file carries the resource.
#include "dranvelor_version.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace
{

std::vector<char> ownVersionInfo()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeA(path, &ignored));
    if (info.empty() || !GetFileVersionInfoA(path, 0, DWORD(info.size()), info.data()))
        info.clear();
    return info;
}

std::string stringValue(std::vector<char>& info, const char* name)
{
    const std::string key = std::string("\\StringFileInfo\\040904b0\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(info.data(), key.c_str(), &value, &length) || length == 0)
        return "(missing)";
    return static_cast<const char*>(value);
}

TEST(VersionResource, NamesTheProductAndItsVendor)
{
    std::vector<char> info = ownVersionInfo();
    ASSERT_FALSE(info.empty());
    EXPECT_EQ(stringValue(info, "ProductName"), "Morvandell");
    EXPECT_EQ(stringValue(info, "CompanyName"), "Ostravelk");
    EXPECT_EQ(stringValue(info, "FileDescription"), "Dranvelor");
    EXPECT_EQ(stringValue(info, "OriginalFilename"), "Dranvelor.dll");
    EXPECT_EQ(stringValue(info, "FileVersion"), DRANVELOR_FILE_VERSION_TEXT);
    EXPECT_EQ(stringValue(info, "ProductVersion"), DRANVELOR_FILE_VERSION_TEXT);

    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", &value, &length));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(DRANVELOR_VERSION_MINOR, DRANVELOR_VERSION_MAJOR));
    EXPECT_EQ(fixed->dwFileVersionLS, DWORD(MAKELONG(0, DRANVELOR_VERSION_PATCH)));
    EXPECT_EQ(fixed->dwProductVersionMS,
              MAKELONG(DRANVELOR_VERSION_MINOR, DRANVELOR_VERSION_MAJOR));
    EXPECT_EQ(fixed->dwFileType, DWORD(VFT_DLL));
}

} // namespace
