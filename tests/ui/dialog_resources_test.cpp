// The dialog template and bitmaps as the module carries them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/win_resources.h"
#include "res/resource_ids.h"
#include "ui/gdi_tools.h"
#include "ui/module_state.h"

namespace zx {
namespace {

// Reads the fields of an extended dialog template in order.
class TemplateReader {
 public:
  explicit TemplateReader(const BYTE* data) : m_data(data) {}

  WORD Word() { return Take<WORD>(); }
  DWORD Dword() { return Take<DWORD>(); }
  short Short() { return Take<short>(); }
  BYTE Byte() { return Take<BYTE>(); }
  // A string, or an ordinal (0xFFFF then a number) rendered as "#number".
  std::wstring StringOrOrdinal() {
    if (Peek() == 0xFFFF) {
      Word();
      return L"#" + std::to_wstring(Word());
    }
    std::wstring text;
    while (const WORD c = Word()) text += static_cast<wchar_t>(c);
    return text;
  }
  void AlignToDword() { m_offset = (m_offset + 3) & ~3u; }

 private:
  template <class T>
  T Take() {
    T value;
    std::memcpy(&value, m_data + m_offset, sizeof(T));
    m_offset += sizeof(T);
    return value;
  }
  WORD Peek() const {
    WORD value;
    std::memcpy(&value, m_data + m_offset, sizeof(WORD));
    return value;
  }

  const BYTE* m_data;
  size_t m_offset = 0;
};

struct Item {
  DWORD style;
  DWORD exStyle;
  short x, y, cx, cy;
  DWORD id;
  std::wstring windowClass;
  std::wstring text;
};

const BYTE* LoadResourceBytes(LPCWSTR type, int id, WORD language) {
  const HINSTANCE module = ResourceInstance();
  const HRSRC found = FindResourceExW(module, type, MAKEINTRESOURCEW(id), language);
  return found ? static_cast<const BYTE*>(LockResource(LoadResource(module, found))) : nullptr;
}

// A control class by name, whether the template names it or gives the
// predefined ordinal.
std::wstring ClassName(std::wstring text) {
  if (text == L"#128") return L"button";
  if (text == L"#130") return L"static";
  for (wchar_t& c : text) c = towlower(c);
  return text;
}

TEST(DialogResources, ScanPathTemplateHasItsStyleTitleFontAndGeometry) {
  const BYTE* data = LoadResourceBytes(
      RT_DIALOG, IDD_SCAN_PATH, MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
  ASSERT_NE(data, nullptr) << "template 105 in language 2052";
  TemplateReader reader(data);
  EXPECT_EQ(reader.Word(), 1);       // version
  EXPECT_EQ(reader.Word(), 0xFFFF);  // extended template
  reader.Dword();                    // help id
  EXPECT_EQ(reader.Dword(), 0u);     // extended style
  EXPECT_EQ(reader.Dword(), 0x80C800C9u);
  EXPECT_EQ(reader.Word(), 4);  // items
  EXPECT_EQ(reader.Short(), 0);
  EXPECT_EQ(reader.Short(), 0);
  EXPECT_EQ(reader.Short(), 226);
  EXPECT_EQ(reader.Short(), 210);
  EXPECT_EQ(reader.StringOrOrdinal(), L"");  // menu
  EXPECT_EQ(reader.StringOrOrdinal(), L"");  // class
  EXPECT_EQ(reader.StringOrOrdinal(), L"选择扫描路径");
  EXPECT_EQ(reader.Word(), 8);    // points
  EXPECT_EQ(reader.Word(), 400);  // weight
  EXPECT_EQ(reader.Byte(), 0);    // italic
  reader.Byte();                  // character set
  EXPECT_EQ(reader.StringOrOrdinal(), L"MS Shell Dlg");
}

TEST(DialogResources, ScanPathTemplateHasItsItemsIdsTextsStylesAndGeometry) {
  const BYTE* data = LoadResourceBytes(
      RT_DIALOG, IDD_SCAN_PATH, MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
  ASSERT_NE(data, nullptr);
  TemplateReader reader(data);
  for (int i = 0; i < 13; ++i) reader.Word();  // header up to the menu
  reader.StringOrOrdinal();
  reader.StringOrOrdinal();
  reader.StringOrOrdinal();
  reader.Word();
  reader.Word();
  reader.Byte();
  reader.Byte();
  reader.StringOrOrdinal();

  const Item expected[] = {
      {0x50010001, 0, 99, 188, 50, 14, IDOK, L"button", L"确    定"},
      {0x50010000, 0, 163, 188, 50, 14, IDCANCEL, L"button", L"取    消"},
      {0x50810007, 0, 7, 20, 211, 160, IDC_SCAN_TREE, L"systreeview32", L""},
      {0x50020000, 0, 8, 8, 209, 8, IDC_SCAN_PROMPT, L"static", L"请选择扫描路径:"},
  };
  for (const Item& want : expected) {
    reader.AlignToDword();
    Item item;
    reader.Dword();  // help id
    item.exStyle = reader.Dword();
    item.style = reader.Dword();
    item.x = reader.Short();
    item.y = reader.Short();
    item.cx = reader.Short();
    item.cy = reader.Short();
    item.id = reader.Dword();
    item.windowClass = ClassName(reader.StringOrOrdinal());
    item.text = reader.StringOrOrdinal();
    const WORD extra = reader.Word();
    for (WORD b = 0; b < extra; ++b) reader.Byte();
    SCOPED_TRACE(want.id);
    EXPECT_EQ(item.style, want.style);
    EXPECT_EQ(item.exStyle, want.exStyle);
    EXPECT_EQ(item.x, want.x);
    EXPECT_EQ(item.y, want.y);
    EXPECT_EQ(item.cx, want.cx);
    EXPECT_EQ(item.cy, want.cy);
    EXPECT_EQ(item.id, want.id);
    EXPECT_EQ(item.windowClass, want.windowClass);
    EXPECT_EQ(item.text, want.text);
  }
}

TEST(DialogResources, BitmapsAreEightBitPaletteImagesOfTheirSizes) {
  struct Expected {
    int id, width, height;
  };
  std::vector<Expected> bitmaps = {{IDB_CHECK_BOXES, 64, 13}};
  for (int id = IDB_OK_DISABLED; id <= IDB_CANCEL_NORMAL; ++id) bitmaps.push_back({id, 78, 23});
  for (const Expected& want : bitmaps) {
    const HRSRC found = FindResourceW(ResourceInstance(), MAKEINTRESOURCEW(want.id), RT_BITMAP);
    ASSERT_NE(found, nullptr) << want.id;
    const auto* header = static_cast<const BITMAPINFOHEADER*>(
        LockResource(LoadResource(ResourceInstance(), found)));
    EXPECT_EQ(header->biWidth, want.width) << want.id;
    EXPECT_EQ(header->biHeight, want.height) << want.id;
    EXPECT_EQ(header->biBitCount, 8) << want.id;
    EXPECT_EQ(header->biCompression, static_cast<DWORD>(BI_RGB)) << want.id;
  }
}

TEST(DialogResources, CheckBoxStripHasFourBoxesOnMagenta) {
  UniqueGdiObject<HBITMAP> strip(static_cast<HBITMAP>(
      LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(IDB_CHECK_BOXES), IMAGE_BITMAP, 0, 0,
                 LR_CREATEDIBSECTION)));
  ASSERT_TRUE(strip);
  UniqueMemoryDc memory(CreateCompatibleDC(nullptr));
  SelectedObject selection(memory.Get(), strip.Get());
  const HDC dc = memory.Get();
  const COLORREF magenta = RGB(255, 0, 255);
  for (int cell = 0; cell < 4; ++cell) {
    const int left = cell * 16;
    EXPECT_EQ(GetPixel(dc, left, 0), magenta) << cell;
    EXPECT_EQ(GetPixel(dc, left + 15, 12), magenta) << cell;
    EXPECT_NE(GetPixel(dc, left + 7, 6), magenta) << cell;
  }
  // Grey boxes are images 0 and 2, white ones 1 and 3; 2 and 3 carry a tick
  // where 0 and 1 have plain fill.
  const COLORREF greyFill = GetPixel(dc, 0 * 16 + 7, 3);
  const COLORREF whiteFill = GetPixel(dc, 1 * 16 + 7, 3);
  EXPECT_EQ(whiteFill, RGB(255, 255, 255));
  EXPECT_NE(greyFill, whiteFill);
  EXPECT_EQ(GetPixel(dc, 2 * 16 + 7, 3), greyFill);
  EXPECT_EQ(GetPixel(dc, 3 * 16 + 7, 3), whiteFill);
  EXPECT_NE(GetPixel(dc, 2 * 16 + 1 + 5, 8), greyFill);
  EXPECT_NE(GetPixel(dc, 3 * 16 + 1 + 5, 8), whiteFill);
  EXPECT_EQ(GetPixel(dc, 0 * 16 + 1 + 5, 8), greyFill);
  EXPECT_EQ(GetPixel(dc, 1 * 16 + 1 + 5, 8), whiteFill);
}

}  // namespace
}  // namespace zx
