#pragma once
// SkinImageButton: a push button drawn entirely from four faces of an image
// list (normal, pressed, hover, disabled), with hover tracking and mouse
// capture. A click released inside reaches the parent as BN_CLICKED; the
// space key never clicks it.
#include <windows.h>
#include <commctrl.h>

#include "ui/window_object.h"

namespace zx {

class SkinImageButton : public WindowObject {
 public:
  // Extended style bits.
  static constexpr DWORD kHoverMode = 0x1;    // show the hover face, track the pointer
  static constexpr DWORD kSizeToImage = 0x8;  // size the button to its images

  struct FaceIndices {
    int normal;
    int pressed;
    int hover;
    int disabled;
  };

  explicit SkinImageButton(DWORD extendedStyle = kSizeToImage, HIMAGELIST images = nullptr)
      : m_extendedStyle(extendedStyle), m_images(images) {}
  ~SkinImageButton() override;

  // Takes ownership of images; with kSizeToImage the attached button takes
  // their size at once.
  void SetImageList(HIMAGELIST images);
  // -1 for a face means that the normal face is shown instead.
  void SetFaceIndices(const FaceIndices& faces) { m_faces = faces; }
  void SetExtendedStyle(DWORD extendedStyle) { m_extendedStyle = extendedStyle; }

  // Subclasses an existing button and makes it owner-drawn.
  BOOL Attach(HWND button);

  // The image index painted in the button's present state.
  int CurrentFaceIndex() const;

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void SizeToImage();
  void Paint(HDC dc) const;
  void Repaint() const;
  void OnLButtonDown();
  void OnLButtonDblClk();
  void OnLButtonUp();
  void OnMouseMove(LPARAM lParam);
  void SetPressed(bool pressed);
  bool HoldsCapture() const { return GetCapture() == Handle(); }

  DWORD m_extendedStyle;
  HIMAGELIST m_images;
  FaceIndices m_faces{-1, -1, -1, -1};
  HWND m_tooltip = nullptr;
  bool m_pointerOver = false;
  bool m_pressed = false;
};

}  // namespace zx
