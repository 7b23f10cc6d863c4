// glimmora-skingen: paints the skin pictures of the setup program.
//
//   glimmora-skingen OUTDIR   writes every picture into OUTDIR, naming those it wrote
//   glimmora-skingen --list   lists every picture: resource id, file, size, format, look
//
// A file whose bytes are already right is left alone, so running it again
// changes no time stamp and rebuilds nothing that depends on the pictures.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "skin_pictures.h"

namespace {

namespace fs = std::filesystem;
using skingen::Format;
using skingen::SkinPicture;

std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writes beside the target and renames, so a reader never sees half a picture.
bool WriteAll(const fs::path& path, const std::vector<uint8_t>& bytes, std::string& error) {
  fs::path part = path;
  part += ".part";
  {
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      error = "cannot write " + part.string();
      return false;
    }
  }
  std::error_code ec;
  fs::rename(part, path, ec);
  if (ec) {
    error = "cannot rename " + part.string() + ": " + ec.message();
    return false;
  }
  return true;
}

void ListLine(const SkinPicture& picture, const char* state) {
  std::string size = std::to_string(picture.width) + " x " + std::to_string(picture.height);
  std::ostringstream line;
  line << std::setw(6) << picture.resource_id << "  " << std::left << std::setw(26) << picture.file << std::setw(11)
       << size << std::setw(5) << (picture.format == Format::kBitmap ? "bmp" : "png") << std::setw(40) << picture.shows
       << state;
  std::string text = line.str();
  text.erase(text.find_last_not_of(' ') + 1);
  std::cout << text << "\n";
}

int Usage() {
  std::cerr << "usage: glimmora-skingen OUTDIR | --list\n";
  return 2;
}

int Run(const std::vector<std::string>& args) {
  if (args.size() != 1 || args[0].empty()) return Usage();
  const auto& pictures = skingen::SkinPictures();
  if (args[0] == "--list") {
    for (const SkinPicture& picture : pictures) ListLine(picture, "");
    return 0;
  }
  if (args[0][0] == '-') return Usage();

  fs::path folder = args[0];
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) {
    std::cerr << "glimmora-skingen: cannot create " << folder.string() << ": " << ec.message() << "\n";
    return 1;
  }
  int written = 0;
  for (const SkinPicture& picture : pictures) {
    fs::path path = folder / picture.file;
    std::vector<uint8_t> bytes = skingen::Encode(picture);
    if (ReadAll(path) == bytes) continue;
    std::string error;
    if (!WriteAll(path, bytes, error)) {
      std::cerr << "glimmora-skingen: " << error << "\n";
      return 1;
    }
    ListLine(picture, "written");
    ++written;
  }
  {
    const fs::path icon = folder / skingen::kProgramIconFile;
    const std::vector<uint8_t> bytes = skingen::EncodeProgramIcon();
    std::string error;
    if (ReadAll(icon) != bytes && !WriteAll(icon, bytes, error)) {
      std::cerr << "glimmora-skingen: " << error << "\n";
      return 1;
    }
  }
  std::cout << "glimmora-skingen: " << pictures.size() << " skin pictures in " << folder.string() << ", " << written
            << " written\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& e) {
    std::cerr << "glimmora-skingen: " << e.what() << "\n";
    return 1;
  }
}
