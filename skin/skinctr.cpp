#include "skin/skinctr.h"

#include <algorithm>
#include <vector>

#include "framework/gdi.h"
#include "skin/core/controlmath.h"
#include "skin/core/maskruns.h"

HBITMAP CopyToDib32(HBITMAP bitmap, int width, int height, void** pixels) {
  BITMAP source{};
  if (!bitmap || !::GetObjectW(bitmap, sizeof(source), &source) || width <= 0 || height <= 0) return nullptr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down: row 0 is the top row
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  fw::ScopedMemoryDC target(::CreateCompatibleDC(nullptr));
  fw::ScopedMemoryDC from(::CreateCompatibleDC(nullptr));
  if (!target.IsValid() || !from.IsValid()) return nullptr;
  fw::ScopedBitmap dib(::CreateDIBSection(target.Get(), &info, DIB_RGB_COLORS, pixels, nullptr, 0));
  if (!dib.IsValid() || !*pixels) return nullptr;
  {
    fw::ScopedSelect select_target(target.Get(), dib.Get());
    fw::ScopedSelect select_from(from.Get(), bitmap);
    if (width == source.bmWidth && height == source.bmHeight) {
      ::BitBlt(target.Get(), 0, 0, width, height, from.Get(), 0, 0, SRCCOPY);
    } else {
      ::SetStretchBltMode(target.Get(), HALFTONE);
      ::SetBrushOrgEx(target.Get(), 0, 0, nullptr);
      ::StretchBlt(target.Get(), 0, 0, width, height, from.Get(), 0, 0, source.bmWidth, source.bmHeight, SRCCOPY);
    }
  }
  ::GdiFlush();
  return dib.Release();
}

HRGN RegionFromPixels(const void* pixels, int width, int height, COLORREF transparent, COLORREF tolerance) {
  const auto batches = skin::MaskRuns(static_cast<const uint32_t*>(pixels), width, height, width, transparent,
                                      tolerance);
  fw::ScopedRegion result;
  for (const auto& batch : batches) {
    // RGNDATA: the header, then the rectangles.
    std::vector<char> block(sizeof(RGNDATAHEADER) + batch.size() * sizeof(RECT));
    auto* data = reinterpret_cast<RGNDATA*>(block.data());
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = static_cast<DWORD>(batch.size());
    data->rdh.nRgnSize = static_cast<DWORD>(batch.size() * sizeof(RECT));
    RECT bounds{MAXLONG, MAXLONG, 0, 0};
    auto* rects = reinterpret_cast<RECT*>(data->Buffer);
    for (size_t i = 0; i < batch.size(); ++i) {
      rects[i] = {batch[i].left, batch[i].top, batch[i].right, batch[i].bottom};
      bounds.left = std::min(bounds.left, rects[i].left);
      bounds.top = std::min(bounds.top, rects[i].top);
      bounds.right = std::max(bounds.right, rects[i].right);
      bounds.bottom = std::max(bounds.bottom, rects[i].bottom);
    }
    if (batch.empty()) bounds = {0, 0, 0, 0};
    data->rdh.rcBound = bounds;
    fw::ScopedRegion part(::ExtCreateRegion(nullptr, static_cast<DWORD>(block.size()), data));
    if (!part.IsValid()) part.Reset(::CreateRectRgn(0, 0, 0, 0));
    if (!result.IsValid()) {
      result = std::move(part);
    } else {
      ::CombineRgn(result.Get(), result.Get(), part.Get(), RGN_OR);
    }
  }
  return result.Release();
}

HRGN CSkinCtr::BitmapToRegion(HBITMAP bitmap, COLORREF transparent, COLORREF tolerance) {
  BITMAP header{};
  if (!bitmap || !::GetObjectW(bitmap, sizeof(header), &header)) return nullptr;
  void* pixels = nullptr;
  fw::ScopedBitmap dib(CopyToDib32(bitmap, header.bmWidth, header.bmHeight, &pixels));
  if (!dib.IsValid()) return nullptr;
  return RegionFromPixels(pixels, header.bmWidth, header.bmHeight, transparent, tolerance);
}

void CSkinCtr::TileBitmap(HDC dc, HBITMAP bitmap, int left, int top, int right, int bottom) {
  if (!bitmap) return;
  const auto copies = skin::TileLayout(GetBitmapWidth(bitmap), GetBitmapHeight(bitmap), left, top, right, bottom);
  if (copies.empty()) return;
  fw::ScopedMemoryDC memory(::CreateCompatibleDC(dc));
  fw::ScopedSelect select(memory.Get(), bitmap);
  for (const auto& copy : copies) ::BitBlt(dc, copy.x, copy.y, copy.width, copy.height, memory.Get(), 0, 0, SRCCOPY);
}

int CSkinCtr::GetBitmapWidth(HBITMAP bitmap) {
  BITMAP header{};
  return bitmap && ::GetObjectW(bitmap, sizeof(header), &header) ? header.bmWidth : 0;
}

int CSkinCtr::GetBitmapHeight(HBITMAP bitmap) {
  BITMAP header{};
  return bitmap && ::GetObjectW(bitmap, sizeof(header), &header) ? header.bmHeight : 0;
}
