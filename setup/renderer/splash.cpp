#include "setup/renderer/splash.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "setup/renderer/splash_resources.h"
#include "setup/renderer/window3drotator.h"

namespace splash {
namespace {

constexpr DWORD kDurationMs = 2000;  // one full turn
constexpr DWORD kFadeMs = 250;       // fade in and out at either end
constexpr DWORD kFrameMs = 30;
constexpr uint32_t kLogoSide = 128;    // the logo on screen, facing the viewer
constexpr uint32_t kCanvasSide = 192;  // room for the near edge growing in perspective
constexpr float kEyeDistance = 4.0f;   // the logo spans -1..1 on its plane
// At this field of view the facing logo fills kLogoSide of kCanvasSide:
// tan(fov / 2) = kCanvasSide / kLogoSide / kEyeDistance.
const float kFieldOfView = 2.0f * std::atan(static_cast<float>(kCanvasSide) / kLogoSide / kEyeDistance);
constexpr float kPi = 3.14159265f;

struct Resource {
  const void* data = nullptr;
  DWORD size = 0;
};

Resource FindLogo(HMODULE module) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(IDR_SPLASH_LOGO), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (found == nullptr) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) return {};
  return {data, SizeofResource(module, found)};
}

// The logo at display size and the canvas the turning logo is drawn into.
class Scene {
 public:
  explicit Scene(const Companions& c) : c_(c) {}

  bool Prepare(HMODULE resources) {
    const Resource logo = FindLogo(resources);
    uint32_t width = 0;
    uint32_t height = 0;
    if (logo.data == nullptr || !c_.image_info(logo.data, logo.size, &width, &height)) return false;
    std::vector<uint32_t> decoded(size_t{width} * height);
    const GlimmoraImage original{width, height, width, decoded.data()};
    if (!c_.image_decode(logo.data, logo.size, &original)) return false;

    logo_pixels_.resize(size_t{kLogoSide} * kLogoSide);
    logo_ = GlimmoraImage{kLogoSide, kLogoSide, kLogoSide, logo_pixels_.data()};
    if (!c_.image_scale(&original, &logo_)) return false;

    const GlimmoraImage blank{kCanvasSide, kCanvasSide, kCanvasSide, nullptr};
    canvas_bitmap_.reset(c_.bitmap_from_image(&blank, &canvas_));
    if (!canvas_bitmap_) return false;

    // Logo pixels to its plane (-1..1, y up), then eye space, projection and
    // the canvas's pixels: everything but the turn, which changes per frame.
    GlimmoraMatrix step;
    c_.matrix_scaling(&to_plane_, 2.0f / kLogoSide, -2.0f / kLogoSide, 1.0f);
    c_.matrix_translation(&step, -1.0f, 1.0f, 0.0f);
    c_.matrix_multiply(&to_plane_, &to_plane_, &step);

    c_.matrix_translation(&to_canvas_, 0.0f, 0.0f, kEyeDistance);
    if (!c_.matrix_perspective_fov(&step, kFieldOfView, 1.0f, 0.5f, 10.0f)) return false;
    c_.matrix_multiply(&to_canvas_, &to_canvas_, &step);
    c_.matrix_scaling(&step, kCanvasSide / 2.0f, -(kCanvasSide / 2.0f), 1.0f);
    c_.matrix_multiply(&to_canvas_, &to_canvas_, &step);
    c_.matrix_translation(&step, kCanvasSide / 2.0f, kCanvasSide / 2.0f, 0.0f);
    c_.matrix_multiply(&to_canvas_, &to_canvas_, &step);
    return true;
  }

  void Draw(float radians) {
    GlimmoraMatrix whole;
    c_.matrix_rotation_y(&whole, radians);
    c_.matrix_multiply(&whole, &to_plane_, &whole);
    c_.matrix_multiply(&whole, &whole, &to_canvas_);
    GlimmoraMatrix3 logo_to_canvas;
    GlimmoraMatrix3 canvas_to_logo;
    c_.matrix_plane_homography(&logo_to_canvas, &whole);
    // Lit from the front: darker as the logo turns away.
    const auto shade = static_cast<uint32_t>(256.0f * (0.55f + 0.45f * std::fabs(std::cos(radians))));
    if (c_.matrix3_inverse(&canvas_to_logo, &logo_to_canvas)) {
      c_.image_warp(&logo_, &canvas_, &canvas_to_logo, shade);
    } else {  // edge-on: nothing to see
      std::memset(canvas_.pixels, 0, size_t{canvas_.stride} * canvas_.height * sizeof(uint32_t));
    }
    GdiFlush();
  }

  HBITMAP bitmap() const { return static_cast<HBITMAP>(canvas_bitmap_.get()); }

 private:
  const Companions& c_;
  std::vector<uint32_t> logo_pixels_;
  GlimmoraImage logo_{};
  UniqueGdiObject canvas_bitmap_;
  GlimmoraImage canvas_{};
  GlimmoraMatrix to_plane_{};
  GlimmoraMatrix to_canvas_{};
};

// The splash window class, registered for as long as the splash runs. The
// window needs nothing but the default procedure: layered, click-through and
// never activated, it only ever shows what UpdateLayeredWindow gives it.
class WindowClass {
 public:
  explicit WindowClass(HMODULE module) : module_(module) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = module;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
    wc.lpszClassName = kSplashWindowClass;
    registered_ = RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }
  ~WindowClass() {
    // Fails harmlessly while another rotator's splash still uses the class.
    if (registered_) UnregisterClassW(kSplashWindowClass, module_);
  }
  WindowClass(const WindowClass&) = delete;
  WindowClass& operator=(const WindowClass&) = delete;
  bool ok() const { return registered_; }

 private:
  HMODULE module_;
  bool registered_ = false;
};

BYTE FadeAlpha(DWORD elapsed) {
  DWORD level = 255;
  if (elapsed < kFadeMs) level = 255 * elapsed / kFadeMs;
  if (elapsed + kFadeMs > kDurationMs) level = 255 * (kDurationMs - elapsed) / kFadeMs;
  return static_cast<BYTE>(level);
}

// Returns with the window destroyed; RunSplash signals `ready` after.
void Animate(SplashJob& job) {
  Scene scene(*job.companions);
  if (!scene.Prepare(job.resources)) return;

  WindowClass window_class(job.resources);
  if (!window_class.ok()) return;
  const int side = static_cast<int>(kCanvasSide);
  POINT position = {(job.around.left + job.around.right - side) / 2, (job.around.top + job.around.bottom - side) / 2};
  UniqueWindow window(CreateWindowExW(
      WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT, kSplashWindowClass,
      L"Glimmora", WS_POPUP, position.x, position.y, side, side, nullptr, nullptr, job.resources, nullptr));
  if (!window) return;

  ScreenDc screen;
  UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
  if (!memory) return;
  SelectedObject selected(memory.get(), scene.bitmap());
  if (!selected.ok()) return;
  SIZE size = {side, side};
  POINT origin = {0, 0};
  const auto present = [&](BYTE alpha) {
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
    UpdateLayeredWindow(window.get(), screen.get(), &position, &size, memory.get(), &origin, 0, &blend, ULW_ALPHA);
  };

  scene.Draw(0.0f);
  present(FadeAlpha(0));
  ShowWindow(window.get(), SW_SHOWNOACTIVATE);
  job.window = window.get();
  job.shown = true;
  SetEvent(job.ready);

  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= kDurationMs) break;
    scene.Draw(2.0f * kPi * static_cast<float>(elapsed) / kDurationMs);
    present(FadeAlpha(elapsed));
    if (MsgWaitForMultipleObjects(1, &job.stop, FALSE, kFrameMs, QS_ALLINPUT) == WAIT_OBJECT_0) break;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        job.window = nullptr;
        return;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  job.window = nullptr;
}

}  // namespace

void RunSplash(SplashJob& job) noexcept {
  try {
    Animate(job);
  } catch (...) {
    // Out of memory while preparing: no splash, and the setup goes on.
  }
  job.window = nullptr;
  SetEvent(job.ready);
}

bool HasLogo(HMODULE resources) {
  return FindLogo(resources).data != nullptr;
}

}  // namespace splash
