/* The yardstick for Wine's own start time in `./run bench --compare-nsis`:
 * a 32-bit windowed program that, like both installers, loads the window
 * system (which brings up the prefix's desktop) and then does nothing. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
  (void)instance;
  (void)previous;
  (void)command_line;
  (void)show;
  return GetSystemMetrics(SM_CXSCREEN) < 0;
}
