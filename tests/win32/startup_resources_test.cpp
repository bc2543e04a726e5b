// The launcher's resources, read back through the real resource calls.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "resources/resource_ids.h"

namespace
{

const WORD kUsEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

std::vector<uint8_t> Resource(LPCSTR type, LPCSTR name)
{
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceExA(self, type, name, kUsEnglish);
    if (!found)
        return {};
    const uint8_t* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(self, found)));
    return std::vector<uint8_t>(bytes, bytes + SizeofResource(self, found));
}

void Put16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, uint16_t(v));
    Put16(out, uint16_t(v >> 16));
}
void PutText(std::vector<uint8_t>& out, const char* text)
{
    for (; *text; ++text)
        Put16(out, uint8_t(*text));
    Put16(out, 0);
}
void Align4(std::vector<uint8_t>& out)
{
    while (out.size() % 4)
        out.push_back(0);
}

// A button item: style, no extended style, position, id, class ordinal 0x0080, text, no data.
void PutButton(std::vector<uint8_t>& out, uint32_t style, int16_t x, int16_t y, uint16_t id,
               const char* text)
{
    Align4(out);
    Put32(out, style);
    Put32(out, 0);
    for (int16_t v : {x, y, int16_t(40), int16_t(14)})
        Put16(out, uint16_t(v));
    Put16(out, id);
    Put16(out, 0xFFFF);
    Put16(out, 0x0080);
    PutText(out, text);
    Put16(out, 0);
}

// Template 200 byte for byte: a pop-up with a border and nothing else (no DS_SETFONT, no
// font), the class by its exact name, an empty title, Play as default button, then Quit.
TEST(StartupResources, DialogTemplateIsExact)
{
    std::vector<uint8_t> expected;
    Put32(expected, WS_POPUP | WS_VISIBLE | WS_BORDER);
    Put32(expected, 0);
    Put16(expected, 2);
    for (int16_t v : {int16_t(12), int16_t(20), int16_t(160), int16_t(224)})
        Put16(expected, uint16_t(v));
    Put16(expected, 0); // no menu
    PutText(expected, "CorvaneStartupDialogClass");
    PutText(expected, ""); // title
    PutButton(expected, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 20, 206, IDC_PLAY,
              "&Play");
    PutButton(expected, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 100, 206, IDC_QUIT,
              "&Quit");

    std::vector<uint8_t> actual = Resource(RT_DIALOG, MAKEINTRESOURCEA(IDD_STARTUP));
    ASSERT_FALSE(actual.empty());
    while (actual.size() > expected.size() && actual.back() == 0)
        actual.pop_back(); // padding after the last item
    EXPECT_EQ(actual, expected);
}

TEST(StartupResources, StringsInUsEnglish)
{
    // Strings 400..415 form block 26.
    EXPECT_FALSE(Resource(RT_STRING, MAKEINTRESOURCEA(IDS_CAPTION / 16 + 1)).empty());
    char text[149];
    ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), IDS_CAPTION, text, sizeof text), 0);
    EXPECT_STREQ(text, "Corvane");
    ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), IDS_BAD_AUTORUN, text, sizeof text), 0);
    EXPECT_STREQ(text, "Your autorun.inf file is not correct.");
}

// The icon group is named "(100)", a string, and holds one 32 x 32, 16-colour image of 744
// bytes: header (height 64: image and mask), 16 colours, 512 bytes image, 128 bytes mask.
TEST(StartupResources, IconGroupNamed100HoldsOne16ColourIcon)
{
    EXPECT_EQ(FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(100), RT_GROUP_ICON),
              nullptr);
    const std::vector<uint8_t> group = Resource(RT_GROUP_ICON, "(100)");
    ASSERT_EQ(group.size(), 20u);
    const uint8_t header[] = {0, 0, 1, 0, 1, 0, 32, 32, 16, 0, 1, 0, 4, 0};
    EXPECT_EQ(0, memcmp(group.data(), header, sizeof header));
    uint32_t bytes;
    uint16_t id;
    memcpy(&bytes, &group[14], 4);
    memcpy(&id, &group[18], 2);
    EXPECT_EQ(bytes, 744u);
    EXPECT_EQ(id, 1u);

    std::vector<uint8_t> icon = Resource(RT_ICON, MAKEINTRESOURCEA(1));
    ASSERT_EQ(icon.size(), 744u);
    BITMAPINFOHEADER info;
    memcpy(&info, icon.data(), sizeof info);
    EXPECT_EQ(info.biSize, 40u);
    EXPECT_EQ(info.biWidth, 32);
    EXPECT_EQ(info.biHeight, 64);
    EXPECT_EQ(info.biPlanes, 1);
    EXPECT_EQ(info.biBitCount, 4);
    EXPECT_EQ(info.biCompression, DWORD(BI_RGB));

    HICON handle = CreateIconFromResourceEx(icon.data(), DWORD(icon.size()), TRUE, 0x00030000, 32,
                                            32, LR_DEFAULTCOLOR);
    ASSERT_NE(handle, nullptr);
    ICONINFO parts;
    ASSERT_TRUE(GetIconInfo(handle, &parts));
    BITMAP mask;
    GetObjectA(parts.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, 32);
    DeleteObject(parts.hbmMask);
    if (parts.hbmColor)
        DeleteObject(parts.hbmColor);
    DestroyIcon(handle);
}

TEST(StartupResources, VersionOfTheProgramFile)
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileType, DWORD(VFT_APP));
    char* text = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904B0\\OriginalFilename",
                               reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ(text, "launcher.exe");
}

} // namespace
