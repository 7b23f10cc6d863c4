#include "payload.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

#include "install/extractfilelist.h"
#include "install/zipfileindexobject.h"
#include "platform/diag.h"
#include "platform/file.h"
#include "platform/text.h"

namespace bench {
namespace {

constexpr uint64_t kSeed = 0x6A09E667F3BCC908ull;
constexpr uint64_t kMinFileBytes = 4 * 1024;
constexpr uint64_t kMaxFileBytes = 2 * 1024 * 1024;
constexpr size_t kChunkBytes = 1 << 20;  // files are generated and written a chunk at a time

class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint64_t Next() {  // splitmix64
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
  uint32_t Below(uint32_t n) { return static_cast<uint32_t>(Next() % n); }

 private:
  uint64_t state_;
};

void AppendU16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void AppendU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Text: prose and settings-like lines drawn from a fixed vocabulary with a
// skewed word frequency, so it compresses about as well as documentation.
class TextSource {
 public:
  explicit TextSource(uint64_t seed) : rng_(seed) {
    static const char* const kSyllables[] = {"ka", "lo", "mi", "ra", "ten", "vo", "shi", "gle", "mor", "an",
                                             "ex", "pro", "dat", "ion", "ure", "cap", "tor", "win", "sel", "ver"};
    Rng vocab_rng(kSeed ^ 0x1234);  // one vocabulary for every file
    for (int i = 0; i < 2000; ++i) {
      std::string word;
      const uint32_t parts = 1 + vocab_rng.Below(4);
      for (uint32_t p = 0; p < parts; ++p) word += kSyllables[vocab_rng.Below(20)];
      words_.push_back(word);
    }
  }
  void Fill(std::vector<uint8_t>& out, size_t bytes) {
    while (out.size() < bytes) {
      std::string line;
      if (rng_.Below(5) == 0) {
        line = Word() + "." + Word() + " = " + std::to_string(rng_.Below(100000)) + "\r\n";
      } else {
        const uint32_t count = 5 + rng_.Below(12);
        for (uint32_t i = 0; i < count; ++i) {
          if (i) line += ' ';
          line += Word();
        }
        line += rng_.Below(3) == 0 ? ",\r\n" : ".\r\n";
      }
      out.insert(out.end(), line.begin(), line.end());
    }
    out.resize(bytes);
  }

 private:
  const std::string& Word() {
    const double u = rng_.Unit();
    return words_[static_cast<size_t>(static_cast<double>(words_.size()) * u * u * u)];
  }
  Rng rng_;
  std::vector<std::string> words_;
};

// Tables of 40-byte records: an increasing id and time stamp, coordinates on
// a random walk, a measured value, flags from a small set and a name from a
// short list, as a product's data files hold them.
class RecordSource {
 public:
  explicit RecordSource(uint64_t seed) : rng_(seed) {}
  void Fill(std::vector<uint8_t>& out, size_t bytes) {
    static const char* const kNames[] = {"capture", "region", "window", "monitor", "cursor", "overlay",
                                         "timer", "hotkey", "encoder", "frame", "palette", "layer"};
    while (out.size() < bytes) {
      ++id_;
      time_ += 1 + rng_.Below(40);
      x_ += static_cast<int32_t>(rng_.Below(21)) - 10;
      y_ += static_cast<int32_t>(rng_.Below(21)) - 10;
      const float value = static_cast<float>(std::sin(id_ * 0.01) * 1000.0 + rng_.Below(100) * 0.01);
      uint32_t value_bits;
      std::memcpy(&value_bits, &value, 4);
      AppendU32(out, id_);
      AppendU32(out, time_);
      AppendU32(out, static_cast<uint32_t>(x_));
      AppendU32(out, static_cast<uint32_t>(y_));
      AppendU32(out, value_bits);
      AppendU16(out, static_cast<uint16_t>(1u << rng_.Below(6)));
      char name[18] = {};
      std::strncpy(name, kNames[rng_.Below(12)], sizeof name - 1);
      out.insert(out.end(), name, name + sizeof name);
    }
    out.resize(bytes);
  }

 private:
  Rng rng_;
  uint32_t id_ = 0, time_ = 0;
  int32_t x_ = 0, y_ = 0;
};

class RandomSource {
 public:
  explicit RandomSource(uint64_t seed) : rng_(seed) {}
  void Fill(std::vector<uint8_t>& out, size_t bytes) {
    while (out.size() < bytes) AppendU32(out, static_cast<uint32_t>(rng_.Next()));
    out.resize(bytes);
  }

 private:
  Rng rng_;
};

template <typename Source>
bool WriteGenerated(platform::File& file, Source& source, uint64_t size) {
  std::vector<uint8_t> chunk;
  chunk.reserve(kChunkBytes + 64);
  for (uint64_t done = 0; done < size;) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(kChunkBytes, size - done));
    chunk.clear();
    source.Fill(chunk, n);
    if (!file.Write(chunk.data(), chunk.size())) return false;
    done += n;
  }
  return true;
}

std::shared_ptr<CZipFileIndexObject> FolderEntry(const std::u16string& name, bool destination_root) {
  auto e = std::make_shared<CZipFileIndexObject>();
  e->SetName(name);
  e->SetFolder(true);
  e->SetDestinationRoot(destination_root);
  return e;
}

std::u16string Digits(uint32_t n) {
  char text[16];
  std::snprintf(text, sizeof text, "%03u", n);
  return platform::FromUtf8(text);
}

}  // namespace

uint64_t Payload::TotalBytes() const {
  uint64_t total = 0;
  for (const auto& f : files) total += f.size;
  return total;
}

uint64_t Payload::BytesOf(FileKind kind) const {
  uint64_t total = 0;
  for (const auto& f : files) {
    if (f.kind == kind) total += f.size;
  }
  return total;
}

const std::vector<std::u16string>& PayloadSubfolders() {
  static const std::vector<std::u16string> folders = {u"bin", u"data", u"data\\tables", u"docs", u"docs\\help",
                                                      u"media"};
  return folders;
}

std::vector<PayloadFile> PlanPayload(uint64_t target_bytes) {
  Rng rng(kSeed);
  std::vector<PayloadFile> files;
  uint64_t total = 0;
  for (uint32_t i = 0; total < target_bytes; ++i) {
    // Sizes spread evenly over the orders of magnitude between 4 KB and 2 MB,
    // with a small file now and then (and one empty one) as products have.
    uint64_t size;
    if (i == 5) {
      size = 0;
    } else if (i % 16 == 3) {
      size = rng.Below(2000);
    } else {
      size = static_cast<uint64_t>(
          std::exp(std::log(double(kMinFileBytes)) + rng.Unit() * std::log(double(kMaxFileBytes) / kMinFileBytes)));
    }
    const double pick = rng.Unit();
    const bool second = rng.Below(2) == 0;
    PayloadFile file;
    file.size = size;
    if (pick < 0.45) {
      file.kind = FileKind::kText;
      file.relative = (second ? u"docs\\help\\notes" : u"docs\\readme") + Digits(i) + u".txt";
    } else if (pick < 0.80) {
      file.kind = FileKind::kRecords;
      file.relative = (second ? u"data\\tables\\table" : u"data\\set") + Digits(i) + u".dat";
    } else {
      file.kind = FileKind::kRandom;
      file.relative = (second ? u"media\\asset" : u"bin\\module") + Digits(i) + u".bin";
    }
    if (i % 23 == 7) {  // a few files right in the product folder
      file.relative = file.relative.substr(file.relative.find_last_of(u'\\') + 1);
    }
    total += size;
    files.push_back(std::move(file));
  }
  return files;
}

bool WritePayload(const std::u16string& folder, const std::vector<PayloadFile>& files, std::string* error) {
  for (size_t i = 0; i < files.size(); ++i) {
    const PayloadFile& f = files[i];
    const std::u16string path = folder + f.relative;
    platform::File file = platform::File::Open(path, platform::OpenMode::kCreateTruncate);
    if (!file.IsOpen()) {
      *error = "cannot create " + platform::HostPath(path) + ": " + platform::ToUtf8(platform::ErrorText(platform::LastError()));
      return false;
    }
    const uint64_t seed = kSeed + 0x100000001B3ull * (i + 1);
    bool ok = false;
    switch (f.kind) {
      case FileKind::kText: {
        TextSource source(seed);
        ok = WriteGenerated(file, source, f.size);
        break;
      }
      case FileKind::kRecords: {
        RecordSource source(seed);
        ok = WriteGenerated(file, source, f.size);
        break;
      }
      case FileKind::kRandom: {
        RandomSource source(seed);
        ok = WriteGenerated(file, source, f.size);
        break;
      }
    }
    if (!ok) {
      *error = "cannot write " + platform::HostPath(path);
      return false;
    }
  }
  return true;
}

bool WriteEngineImage(const std::u16string& path, uint64_t size, std::string* error) {
  platform::File file = platform::File::Open(path, platform::OpenMode::kCreateTruncate);
  if (!file.IsOpen()) {
    *error = "cannot create " + platform::HostPath(path);
    return false;
  }
  // Code-like bytes: mostly structured, partly random, behind an "MZ" header.
  std::vector<uint8_t> image;
  RecordSource records(kSeed ^ 0xE9);
  RandomSource random(kSeed ^ 0xEA);
  while (image.size() < size) {
    records.Fill(image, std::min<size_t>(size, image.size() + 3000));
    random.Fill(image, std::min<size_t>(size, image.size() + 1000));
  }
  if (size >= 2) {
    image[0] = 'M';
    image[1] = 'Z';
  }
  if (!file.Write(image.data(), image.size())) {
    *error = "cannot write " + platform::HostPath(path);
    return false;
  }
  return true;
}

std::unique_ptr<CInstallProject> MakeProject(const Payload& payload, const std::u16string& engine_path,
                                             const std::u16string& build_log) {
  auto project = std::make_unique<CInstallProject>();
  project->GetProductInfo().SetVersion(u"1.0");
  project->GetProductInfo().SetEngineFile(engine_path);
  project->GetProjectInfo().SetBuildLogFile(build_log);

  auto common = std::make_shared<CExtractFileList>(u"Common");
  CNode* root = common->GetTree().GetRoot();
  root->SetData(MakeDestinationComputerEntry());
  CNode* product = root->AddChild(FolderEntry(u"Glimmora", true));

  std::map<std::u16string, CNode*> folders{{u"", product}};
  for (const std::u16string& sub : PayloadSubfolders()) {
    const size_t slash = sub.find_last_of(u'\\');
    CNode* parent = folders.at(slash == std::u16string::npos ? u"" : sub.substr(0, slash));
    folders[sub] = parent->AddChild(FolderEntry(slash == std::u16string::npos ? sub : sub.substr(slash + 1), false));
  }
  for (const PayloadFile& f : payload.files) {
    const size_t slash = f.relative.find_last_of(u'\\');
    CNode* parent = folders.at(slash == std::u16string::npos ? u"" : f.relative.substr(0, slash));
    auto e = std::make_shared<CZipFileIndexObject>();
    e->SetSourcePath(payload.folder + f.relative);
    e->SetName(slash == std::u16string::npos ? f.relative : f.relative.substr(slash + 1));
    parent->AddChild(e);
  }
  project->GetExtractLists().push_back(common);
  return project;
}

}  // namespace bench
