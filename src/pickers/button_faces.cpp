#include "pickers/button_faces.h"

#include "common/win_resources.h"

namespace zx {
namespace {

constexpr int kFaceWidth = 78;
constexpr int kFaceHeight = 23;

}  // namespace

HIMAGELIST CreateButtonFaceList(HINSTANCE instance, const FaceBitmaps& bitmaps) {
  HIMAGELIST list = ImageList_Create(kFaceWidth, kFaceHeight, ILC_COLOR16, 3, 1);
  if (!list) return nullptr;
  for (int id : bitmaps) {
    UniqueGdiObject<HBITMAP> face(LoadBitmapW(instance, MAKEINTRESOURCEW(id)));
    if (!face || ImageList_Add(list, face.Get(), nullptr) < 0) {
      ImageList_Destroy(list);
      return nullptr;
    }
  }
  return list;
}

}  // namespace zx
