// Skin pictures through GDI+: loading from the skin folder, drawing
// stretched, painting the dialog's background under a control, and the
// caption font: the dialog's face and size, the family with its fallbacks.
#pragma once

#include <windows.h>
#include <objidl.h>  // before GDI+, which needs its property types
#include <gdiplus.h>

#include <memory>
#include <string>

namespace skin {

using ImagePtr = std::unique_ptr<Gdiplus::Image>;

// An image loaded from a full path without colour management. A missing or
// unreadable file still gives an image, one 0 pixels wide that draws
// nothing; an empty path gives none.
ImagePtr LoadImageFile(const std::wstring& path);
// The cached image of `slot`, loaded from `path` on first use.
Gdiplus::Image* CachedImage(ImagePtr& slot, const std::wstring& path);
int ImageWidth(Gdiplus::Image* image);
int ImageHeight(Gdiplus::Image* image);
// Pixel size of the picture at `path` (0 x 0 when it does not load).
SIZE ImageFileSize(const std::wstring& path);

// Draws `source` of the image (in image pixels) stretched into `target`.
void DrawStretched(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const Gdiplus::RectF& target,
                   const Gdiplus::RectF& source);
// The whole image stretched into `target`.
void DrawWhole(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const Gdiplus::RectF& target);

// Draws into (0, 0, width, height) the part of the dialog's background
// picture that lies under a control at `position` (device pixels in the
// dialog): the background is stretched from its 96-dpi size over the
// dialog, so the source is the position in design pixels.
void DrawBackgroundSlice(Gdiplus::Graphics& graphics, Gdiplus::Image* background, HDC dc, const RECT& position);

// Reads into `face` and `size` (pixels) the font `control`'s parent gives
// its controls, or the system's when the parent has none of its own (as
// also without a window); leaves both as they were when no font can be read.
void ReadParentFont(HWND control, std::wstring* face, int* size);

// A font family for captions: `face` when GDI+ knows it; otherwise the face
// GDI chose for it on `dc`; otherwise a generic sans-serif family. Never
// null while GDI+ runs, so captions never come out blank.
std::unique_ptr<Gdiplus::FontFamily> MakeFontFamily(const std::wstring& face, HDC dc);

}  // namespace skin
