// Reads the resource section of the module under test back through the platform's own resource
// calls and compares every field with the agreed design of the two dialogs, the icon and the
// version record.
#include "tests/ui/DialogTemplate.h"
#include "tests/ui/ModuleUnderTest.h"
#include "tests/ui/ResourceReader.h"
#include "tests/ui/VersionBlock.h"
#include "ui/resources/Resource.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

namespace {

constexpr WORD polish = MAKELANGID(LANG_POLISH, SUBLANG_POLISH_POLAND);
constexpr uint32_t unaddressed = 0xFFFFFFFF; // identifier -1
constexpr uint16_t buttonAtom = 0x0080;
constexpr uint16_t editAtom = 0x0081;
constexpr uint16_t staticAtom = 0x0082;
// WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT | DS_FIXEDSYS
constexpr uint32_t dialogStyle = 0x80C808C8;

constexpr uint32_t staticStyle = 0x50020000;        // WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT
// staticStyle | SS_NOPREFIX | SS_PATHELLIPSIS: a path shown with its "&" and its file name
constexpr uint32_t pathStyle = 0x50028080;
constexpr uint32_t buttonStyle = 0x50010000;        // WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON
constexpr uint32_t defaultButtonStyle = 0x50010001; // WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON
// WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL
constexpr uint32_t editStyle = 0x50810080;

struct ExpectedControl {
    uint32_t id;
    uint16_t classAtom;         // a predefined class, or 0 for a class given by name
    const wchar_t* className;   // compared without regard to case, as the platform does
    const wchar_t* text;
    uint32_t style;
    int16_t x, y, cx, cy;
};

const std::vector<ExpectedControl> progressControls = {
    {IDC_STATUS_TEXT, staticAtom, L"", L"Copying:", staticStyle, 8, 8, 344, 8},
    {IDC_FROM_LABEL, staticAtom, L"", L"From:", staticStyle, 8, 20, 20, 8},
    {IDC_FROM_TEXT, staticAtom, L"", L"", pathStyle, 32, 20, 320, 8},
    {IDC_TO_LABEL, staticAtom, L"", L"To:", staticStyle, 8, 32, 12, 8},
    {IDC_TO_TEXT, staticAtom, L"", L"", pathStyle, 32, 32, 320, 8},
    {IDC_PROGRESS_BAR, 0, L"msctls_progress32", L"", 0x50800000, 8, 48, 344, 14},
    {IDCANCEL, buttonAtom, L"", L"&Cancel", defaultButtonStyle, 154, 73, 50, 14},
};

const std::vector<ExpectedControl> mainControls = {
    {IDOK, buttonAtom, L"", L"OK", defaultButtonStyle, 50, 85, 50, 14},
    {IDCANCEL, buttonAtom, L"", L"Cancel", buttonStyle, 107, 85, 50, 14},
    {unaddressed, staticAtom, L"", L"Source:", staticStyle, 7, 10, 42, 8},
    {IDC_SOURCE_EDIT, editAtom, L"", L"", editStyle, 50, 7, 230, 14},
    {IDC_BROWSE_SOURCE, buttonAtom, L"", L"...", buttonStyle, 282, 7, 16, 14},
    {unaddressed, staticAtom, L"", L"Destination:", staticStyle, 7, 27, 42, 8},
    {IDC_DESTINATION_EDIT, editAtom, L"", L"", editStyle, 50, 25, 230, 14},
    {IDC_BROWSE_DESTINATION, buttonAtom, L"", L"...", buttonStyle, 282, 25, 16, 14},
    {unaddressed, staticAtom, L"", L"File mask:", staticStyle, 7, 45, 42, 8},
    {IDC_MASK_EDIT, editAtom, L"", L"", editStyle, 50, 43, 140, 14},
    {unaddressed, staticAtom, L"", L"Separator:", staticStyle, 7, 63, 42, 8},
    {IDC_SEPARATOR_EDIT, editAtom, L"", L"", editStyle, 50, 61, 140, 14},
    // WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX
    {IDC_DELETE_CHECK, buttonAtom, L"", L"Delete source files", 0x50010003, 208, 45, 75, 10},
    // WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_GROUP | SS_NOTIFY | SS_LEFT
    {unaddressed, staticAtom, L"", L"ferrix.example   ", 0x58020100, 239, 95, 66, 8},
};

std::wstring ResourceName(const wchar_t* name)
{
    return IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name)) : name;
}

// Every resource of the module: type -> name -> languages, names written "#number" for integers.
using ResourceDirectory = std::map<std::wstring, std::map<std::wstring, std::set<WORD>>>;

ResourceDirectory ListResources(HMODULE module)
{
    struct Walk {
        HMODULE module;
        ResourceDirectory directory;
    } walk{module, {}};
    EnumResourceTypesW(
        module,
        [](HMODULE, LPWSTR type, LONG_PTR context) -> BOOL {
            Walk& walk = *reinterpret_cast<Walk*>(context);
            walk.directory[ResourceName(type)];
            return EnumResourceNamesW(
                walk.module, type,
                [](HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR context) -> BOOL {
                    Walk& walk = *reinterpret_cast<Walk*>(context);
                    walk.directory[ResourceName(type)][ResourceName(name)];
                    return EnumResourceLanguagesW(
                        module, type, name,
                        [](HMODULE, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR context) -> BOOL {
                            Walk& walk = *reinterpret_cast<Walk*>(context);
                            walk.directory[ResourceName(type)][ResourceName(name)].insert(language);
                            return TRUE;
                        },
                        context);
                },
                context);
        },
        reinterpret_cast<LONG_PTR>(&walk));
    return walk.directory;
}

TEST(ResourceSectionTest, HoldsTheTwoDialogsTheIconAndTheVersionRecordOnlyAllInPolish)
{
    const ResourceDirectory expected = {
        {L"#3", {{L"#1", {polish}}, {L"#2", {polish}}}},        // RT_ICON
        {L"#5", {{L"#106", {polish}}, {L"#108", {polish}}}},    // RT_DIALOG
        {L"#14", {{L"#102", {polish}}}},                        // RT_GROUP_ICON
        {L"#16", {{L"#1", {polish}}}},                          // RT_VERSION
    };
    EXPECT_EQ(ListResources(ModuleUnderTest::Get().Handle()), expected);
}

// Some MinGW toolchains link a default manifest into every executable; this one must not, or
// the program would ask for other common controls than the ones it is designed for.
TEST(ResourceSectionTest, CarriesNoManifest)
{
    const HMODULE module = ModuleUnderTest::Get().Handle();
    int manifests = 0;
    EnumResourceNamesW(
        module, RT_MANIFEST,
        [](HMODULE, LPCWSTR, LPWSTR, LONG_PTR context) -> BOOL {
            ++*reinterpret_cast<int*>(context);
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&manifests));
    EXPECT_EQ(manifests, 0) << "the linker added an RT_MANIFEST resource";
    EXPECT_EQ(FindResourceW(module, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST), nullptr);
}

// The values are a contract with drivers that find the controls from outside the process.
struct AgreedIdentifier {
    const char* name;
    int value;
    int agreed;
};
#define AGREED(name, agreed) AgreedIdentifier{#name, name, agreed}

TEST(ResourceSectionTest, IdentifiersHaveTheAgreedValuesAndNoTwoAreEqual)
{
    const AgreedIdentifier identifiers[] = {
        AGREED(IDI_APP, 102), AGREED(IDD_PROGRESS, 106), AGREED(IDD_MAIN, 108),
        AGREED(IDC_PROGRESS_BAR, 1029), AGREED(IDC_STATUS_TEXT, 1031), AGREED(IDC_FROM_TEXT, 1033),
        AGREED(IDC_TO_TEXT, 1034), AGREED(IDC_FROM_LABEL, 1035), AGREED(IDC_TO_LABEL, 1036),
        AGREED(IDC_DELETE_CHECK, 1037), AGREED(IDC_SOURCE_EDIT, 1038), AGREED(IDC_DESTINATION_EDIT, 1039),
        AGREED(IDC_MASK_EDIT, 1040), AGREED(IDC_SEPARATOR_EDIT, 1041), AGREED(IDC_BROWSE_SOURCE, 1042),
        AGREED(IDC_BROWSE_DESTINATION, 1043),
    };
    std::set<int> values = {IDOK, IDCANCEL};
    for (const AgreedIdentifier& identifier : identifiers) {
        EXPECT_EQ(identifier.value, identifier.agreed) << identifier.name;
        EXPECT_TRUE(values.insert(identifier.value).second)
            << identifier.name << " repeats the value " << identifier.value;
    }
}

void ExpectDialog(int name, uint32_t exStyle, int16_t cx, int16_t cy, const std::vector<ExpectedControl>& controls)
{
    const std::string_view bytes = ModuleUnderTest::Get().Resource(RT_DIALOG, MAKEINTRESOURCEW(name));
    ASSERT_FALSE(bytes.empty()) << "no dialog " << name << " in language 0x0415";
    const DialogTemplate dialog = DialogTemplate::Read(bytes);

    EXPECT_EQ(dialog.version, 1);
    EXPECT_EQ(dialog.signature, 0xFFFF);
    EXPECT_EQ(dialog.helpId, 0u);
    EXPECT_EQ(dialog.exStyle, exStyle);
    EXPECT_EQ(dialog.style, dialogStyle);
    EXPECT_EQ(dialog.x, 0);
    EXPECT_EQ(dialog.y, 0);
    EXPECT_EQ(dialog.cx, cx);
    EXPECT_EQ(dialog.cy, cy);
    EXPECT_EQ(dialog.menu.ordinal, 0) << "no menu";
    EXPECT_EQ(dialog.menu.name, L"") << "no menu";
    EXPECT_EQ(dialog.windowClass.ordinal, 0) << "the standard dialog class";
    EXPECT_EQ(dialog.windowClass.name, L"") << "the standard dialog class";
    EXPECT_EQ(dialog.title, L"") << "the caption is set at run time";
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.weight, 400);
    EXPECT_EQ(dialog.italic, 0);
    EXPECT_EQ(dialog.charSet, DEFAULT_CHARSET);
    EXPECT_EQ(dialog.typeface, L"MS Shell Dlg");

    ASSERT_EQ(dialog.items.size(), controls.size());
    for (size_t index = 0; index < controls.size(); ++index) {
        const ExpectedControl& expected = controls[index];
        const DialogTemplate::Item& item = dialog.items[index];
        SCOPED_TRACE("control " + std::to_string(index + 1) + " of dialog " + std::to_string(name));
        EXPECT_EQ(item.id, expected.id);
        EXPECT_EQ(item.windowClass.ordinal, expected.classAtom);
        EXPECT_EQ(lstrcmpiW(item.windowClass.name.c_str(), expected.className), 0)
            << "class " << item.windowClass.name.c_str();
        EXPECT_EQ(item.text.ordinal, 0);
        EXPECT_EQ(item.text.name, expected.text);
        EXPECT_EQ(item.style, expected.style);
        EXPECT_EQ(item.exStyle, 0u);
        EXPECT_EQ(item.helpId, 0u);
        EXPECT_EQ(item.creationDataSize, 0);
        EXPECT_EQ(item.x, expected.x);
        EXPECT_EQ(item.y, expected.y);
        EXPECT_EQ(item.cx, expected.cx);
        EXPECT_EQ(item.cy, expected.cy);
    }
}

TEST(DialogTemplateTest, ProgressDialogIsTopmostWithItsSevenControls)
{
    ExpectDialog(IDD_PROGRESS, WS_EX_TOPMOST, 360, 95, progressControls);
}

TEST(DialogTemplateTest, MainDialogHasItsFourteenControlsInTabOrder)
{
    ExpectDialog(IDD_MAIN, 0, 305, 106, mainControls);
}

struct IconImage {
    int size;
    WORD id;
    DWORD bytes; // header 40 + palette 1024 + colour plane + mask
};
const IconImage iconImages[] = {{16, 1, 40 + 1024 + 256 + 64}, {32, 2, 40 + 1024 + 1024 + 128}};

TEST(IconTest, GroupListsA16AndA32PixelImageAt8BitsPerPixel)
{
    const std::string_view group = ModuleUnderTest::Get().Resource(RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_APP));
    ASSERT_FALSE(group.empty());
    ResourceReader reader(group);
    EXPECT_EQ(reader.Word(), 0) << "reserved";
    EXPECT_EQ(reader.Word(), 1) << "type: icon";
    ASSERT_EQ(reader.Word(), 2) << "entries";
    for (const IconImage& image : iconImages) {
        SCOPED_TRACE(std::to_string(image.size) + " pixels");
        EXPECT_EQ(reader.Byte(), image.size) << "width";
        EXPECT_EQ(reader.Byte(), image.size) << "height";
        EXPECT_EQ(reader.Byte(), 0) << "colour count";
        EXPECT_EQ(reader.Byte(), 0) << "reserved";
        EXPECT_EQ(reader.Word(), 1) << "planes";
        EXPECT_EQ(reader.Word(), 8) << "bits per pixel";
        EXPECT_EQ(reader.Dword(), image.bytes) << "bytes in resource";
        EXPECT_EQ(reader.Word(), image.id) << "icon identifier";

        // The platform's own choice of image for a size must find the same one.
        PBYTE directory = reinterpret_cast<PBYTE>(const_cast<char*>(group.data()));
        EXPECT_EQ(LookupIconIdFromDirectoryEx(directory, TRUE, image.size, image.size, LR_DEFAULTCOLOR), image.id);

        const std::string_view bitmap = ModuleUnderTest::Get().Resource(RT_ICON, MAKEINTRESOURCEW(image.id));
        ASSERT_EQ(bitmap.size(), image.bytes);
        ResourceReader header(bitmap);
        EXPECT_EQ(header.Dword(), 40u) << "header size";
        EXPECT_EQ(header.Dword(), uint32_t(image.size)) << "width";
        EXPECT_EQ(header.Dword(), uint32_t(2 * image.size)) << "height of colour plane and mask";
        EXPECT_EQ(header.Word(), 1) << "planes";
        EXPECT_EQ(header.Word(), 8) << "bits per pixel";
        EXPECT_EQ(header.Dword(), uint32_t(BI_RGB)) << "compression";
        header.Seek(32);
        const uint32_t coloursUsed = header.Dword();
        EXPECT_TRUE(coloursUsed == 0 || coloursUsed == 256) << "a full palette, not " << coloursUsed;
    }
    EXPECT_TRUE(reader.AtEnd());
}

// Draws an icon image onto a uniform background and reads back the pixels.
class IconDrawing {
public:
    IconDrawing(std::string_view image, int size) : size(size)
    {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels), nullptr, 0);
        previous = SelectObject(dc, bitmap);
        for (int index = 0; index < size * size; ++index)
            pixels[index] = background;
        icon = CreateIconFromResourceEx(reinterpret_cast<PBYTE>(const_cast<char*>(image.data())),
                                        static_cast<DWORD>(image.size()), TRUE, 0x00030000, size, size,
                                        LR_DEFAULTCOLOR);
        drawn = icon != nullptr && DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
        GdiFlush();
    }
    ~IconDrawing()
    {
        if (icon)
            DestroyIcon(icon);
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    IconDrawing(const IconDrawing&) = delete;
    IconDrawing& operator=(const IconDrawing&) = delete;

    bool Drawn() const { return drawn; }
    bool ShowsBackground(int x, int y) const { return (pixels[y * size + x] & 0xFFFFFF) == background; }

private:
    static constexpr uint32_t background = 0x00FF00FF;
    int size;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    uint32_t* pixels = nullptr;
    HICON icon = nullptr;
    bool drawn = false;
};

TEST(IconTest, BackgroundShowsThroughTheCornersAndTheFolderCoversTheBottom)
{
    for (const IconImage& image : iconImages) {
        SCOPED_TRACE(std::to_string(image.size) + " pixels");
        IconDrawing drawing(ModuleUnderTest::Get().Resource(RT_ICON, MAKEINTRESOURCEW(image.id)), image.size);
        ASSERT_TRUE(drawing.Drawn());
        const int last = image.size - 1;
        EXPECT_TRUE(drawing.ShowsBackground(0, 0));
        EXPECT_TRUE(drawing.ShowsBackground(last, 0));
        EXPECT_FALSE(drawing.ShowsBackground(image.size / 2, last - 2));
        EXPECT_FALSE(drawing.ShowsBackground(image.size / 4, last - image.size / 4));
    }
}

class VersionTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const std::wstring& path = ModuleUnderTest::Get().Path();
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
        ASSERT_NE(size, 0u) << "no version record, error " << GetLastError();
        information.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, information.data()));
    }
    static void TearDownTestSuite() { information.clear(); }

    // The value at a VerQueryValueW path, or nullptr; `length` as the platform reports it.
    static const void* Query(const std::wstring& subBlock, UINT& length)
    {
        void* value = nullptr;
        length = 0;
        if (!VerQueryValueW(information.data(), subBlock.c_str(), &value, &length))
            return nullptr;
        return value;
    }

    static std::vector<char> information;
};

std::vector<char> VersionTest::information;

TEST_F(VersionTest, FixedPartNames2026_4_21_0ForWindows32)
{
    UINT length = 0;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(Query(L"\\", length));
    ASSERT_NE(fixed, nullptr);
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwStrucVersion, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x07EA0004u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00150000u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x07EA0004u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00150000u);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x17u);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, DWORD(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, DWORD(VFT_UNKNOWN));
    EXPECT_EQ(fixed->dwFileSubtype, 0u);
    EXPECT_EQ(fixed->dwFileDateMS, 0u);
    EXPECT_EQ(fixed->dwFileDateLS, 0u);
}

TEST_F(VersionTest, TranslationIsPolishInUnicode)
{
    UINT length = 0;
    const auto* translation = static_cast<const WORD*>(Query(L"\\VarFileInfo\\Translation", length));
    ASSERT_NE(translation, nullptr);
    ASSERT_EQ(length, 4u) << "exactly one language and code page pair";
    EXPECT_EQ(translation[0], 0x0415);
    EXPECT_EQ(translation[1], 1200);
}

TEST_F(VersionTest, StringTableHoldsTheFiveStringsInOrder)
{
    const std::vector<std::pair<std::wstring, std::wstring>> strings = {
        {L"CompanyName", L"Ferrix developers"},
        {L"FileVersion", L"2026.4.21.0"},
        {L"LegalCopyright", L"Copyright (C) 2026 Ferrix developers"},
        {L"ProductName", L"Ferrix"},
        {L"ProductVersion", L"2026.4.21.0"},
    };
    for (const auto& [key, text] : strings) {
        UINT length = 0;
        const auto* value = static_cast<const wchar_t*>(Query(L"\\StringFileInfo\\041504b0\\" + key, length));
        ASSERT_NE(value, nullptr) << "no " << key.c_str();
        EXPECT_EQ(std::wstring(value), text);
    }

    // VerQueryValueW finds strings by key; the order is only seen in the block itself.
    const VersionBlock root =
        VersionBlock::Read(ModuleUnderTest::Get().Resource(RT_VERSION, MAKEINTRESOURCEW(VS_VERSION_INFO)));
    EXPECT_EQ(root.key, L"VS_VERSION_INFO");
    ASSERT_EQ(root.children.size(), 2u);
    EXPECT_EQ(root.children[0].key, L"StringFileInfo");
    EXPECT_EQ(root.children[1].key, L"VarFileInfo");
    ASSERT_EQ(root.children[0].children.size(), 1u) << "one string table";
    const VersionBlock& table = root.children[0].children[0];
    EXPECT_EQ(table.key, L"041504b0");
    ASSERT_EQ(table.children.size(), strings.size());
    for (size_t index = 0; index < strings.size(); ++index) {
        const VersionBlock& string = table.children[index];
        EXPECT_EQ(string.key, strings[index].first);
        EXPECT_EQ(string.type, 1) << "text";
        EXPECT_EQ(string.Text(), strings[index].second);
        EXPECT_EQ(string.valueLength, strings[index].second.size() + 1) << "characters with the terminator";
    }
}

} // namespace
