// glimmora-pack: builds, lists, checks and unpacks setup packages on Linux.
#include <unistd.h>

#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "packcommands.h"
#include "packconsole.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  glimmora_pack::Console console{std::cout, std::cerr, ::isatty(STDERR_FILENO) != 0};
  try {
    return glimmora_pack::RunPackTool(args, console);
  } catch (const std::exception& e) {
    // Nothing should get here; if something does, it is a message, not a crash.
    std::cerr << "\nglimmora-pack: internal error: " << glimmora_pack::Printable(e.what()) << "\n";
    return 1;
  }
}
