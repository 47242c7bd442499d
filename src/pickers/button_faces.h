#pragma once
// The face images of the scan-path dialog's OK and Cancel buttons.
#include <windows.h>
#include <commctrl.h>

#include <array>

#include "res/resource_ids.h"
#include "ui/skin_image_button.h"

namespace zx {

// Bitmap ids in image-list order: normal, pressed, hover, disabled.
using FaceBitmaps = std::array<int, 4>;
constexpr FaceBitmaps kOkFaceBitmaps = {IDB_OK_NORMAL, IDB_OK_PRESSED, IDB_OK_HOVER,
                                        IDB_OK_DISABLED};
constexpr FaceBitmaps kCancelFaceBitmaps = {IDB_CANCEL_NORMAL, IDB_CANCEL_PRESSED, IDB_CANCEL_HOVER,
                                            IDB_CANCEL_DISABLED};
// The image indices of a list made by CreateButtonFaceList.
constexpr SkinImageButton::FaceIndices kButtonFaceIndices = {0, 1, 2, 3};

// A 78 x 23, 16-bit image list holding the four faces loaded from instance;
// null if the list or any face cannot be made. The caller owns the list
// (usually by handing it to a SkinImageButton).
HIMAGELIST CreateButtonFaceList(HINSTANCE instance, const FaceBitmaps& bitmaps);

}  // namespace zx
