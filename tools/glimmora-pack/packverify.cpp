// verify: every stream a package names must inflate to its end, using
// exactly the bytes the index says it has. zlib is used directly, so that
// a damaged stream is described by zlib's own words.
#include <zlib.h>

#include <iomanip>
#include <vector>

#include "build/indexstream.h"
#include "build/packageformat.h"
#include "install/projectloader.h"
#include "packcheck.h"
#include "packconsole.h"
#include "packinspect.h"
#include "packroot.h"
#include "platform/file.h"
#include "platform/text.h"

namespace glimmora_pack {
namespace {

namespace fs = std::filesystem;

constexpr size_t kChunk = 65536;

// Reads the stream at `offset` and inflates it. Empty when sound, else what
// is wrong. With `inflated`, the stream may inflate to no more than `limit`
// bytes, and `inflated` tells how many it did; with `keep` as well, they
// are kept.
std::string CheckStream(platform::File& file, int64_t file_size, int64_t offset, int64_t packed,
                        uint64_t* inflated = nullptr, uint64_t limit = 0, std::vector<uint8_t>* keep = nullptr) {
  if (inflated != nullptr) *inflated = 0;
  if (offset < 0) return "has no stream (offset " + std::to_string(offset) + ")";
  if (offset >= file_size) {
    return "offset " + std::to_string(offset) + " lies beyond the end of the file (" + std::to_string(file_size) +
           " bytes)";
  }
  if (packed <= 0) return "packed size " + std::to_string(packed) + " cannot hold a stream";
  if (packed > file_size - offset) {
    return "its " + std::to_string(packed) + " packed bytes reach past the end of the file";
  }
  if (file.Seek(offset, platform::SeekOrigin::kBegin) != offset) return "cannot seek to it";

  z_stream z{};
  if (inflateInit(&z) != Z_OK) return "zlib cannot start";
  std::vector<uint8_t> in(kChunk), out(kChunk);
  int64_t left = packed;
  int rc = Z_OK;
  std::string problem;
  while (rc != Z_STREAM_END) {
    if (z.avail_in == 0) {
      if (left == 0) break;
      const int64_t n = file.Read(in.data(), static_cast<size_t>(std::min<int64_t>(left, kChunk)));
      if (n <= 0) {
        problem = "cannot be read";
        break;
      }
      left -= n;
      z.next_in = in.data();
      z.avail_in = static_cast<uInt>(n);
    }
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    rc = inflate(&z, Z_NO_FLUSH);
    if (rc == Z_DATA_ERROR || rc == Z_NEED_DICT || rc == Z_MEM_ERROR || rc == Z_STREAM_ERROR) {
      problem = z.msg != nullptr ? z.msg : "zlib error " + std::to_string(rc);
      break;
    }
    if (inflated != nullptr) {
      const size_t produced = out.size() - z.avail_out;
      *inflated += produced;
      if (*inflated > limit) {
        problem = "inflates to more than its " + std::to_string(limit) + " bytes";
        break;
      }
      if (keep != nullptr) keep->insert(keep->end(), out.data(), out.data() + produced);
    }
  }
  if (problem.empty() && rc != Z_STREAM_END) {
    problem = "does not reach its end within its " + std::to_string(packed) + " packed bytes";
  }
  if (problem.empty() && static_cast<int64_t>(z.total_in) != packed) {
    problem = "ends after " + std::to_string(z.total_in) + " of its " + std::to_string(packed) + " packed bytes";
  }
  inflateEnd(&z);
  return problem;
}

struct StreamRow {
  std::string list;
  std::string path;
  int64_t offset = 0;
  int64_t packed = 0;
  std::string problem;
};

void CollectStreams(const CNode& node, const std::string& list, std::vector<StreamRow>& rows) {
  const auto* entry = dynamic_cast<const CZipFileIndexObject*>(node.GetData());
  if (entry != nullptr && !entry->IsFolder() && !entry->IsPredefined()) {
    rows.push_back({list, Printable(TreePath(node)), entry->GetOffset(), entry->GetPackedSize(), {}});
  }
  for (size_t i = 0; i < node.GetChildCount(); ++i) CollectStreams(*node.GetChild(i), list, rows);
}

// Every entry `extract` would refuse, with any install folder: the one the
// package offers stands for them all.
int ReportUnsafeEntries(const CInstallProject& project, const std::string& shown, std::ostream& out,
                        std::ostream& err) {
  std::u16string folder = DefaultInstallFolder(project.GetProductInfo().GetName());
  if (!WhyNoDrivePlace(folder).empty()) folder = u"C:\\Program Files\\";
  int unsafe = 0;
  for (const auto& list : project.GetExtractLists()) {
    for (const EntryProblem& problem : CheckListEntries(*list, folder)) {
      ++unsafe;
      err << "glimmora-pack: " << shown << ": unsafe entry " << EntryLabel(list->GetName(), problem.path) << ": "
          << problem.what << "\n";
    }
  }
  if (unsafe != 0) out << unsafe << (unsafe == 1 ? " unsafe entry" : " unsafe entries") << "\n";
  return unsafe;
}

}  // namespace

int VerifyPackage(const fs::path& package, std::ostream& out, std::ostream& err) {
  const std::string shown = Printable(package.string());
  std::error_code ec;
  if (!fs::is_regular_file(package, ec)) {
    err << "glimmora-pack: " << shown << ": no such file\n";
    return 1;
  }
  platform::File file = platform::File::Open(platform::FromUtf8(fs::absolute(package).string()),
                                             platform::OpenMode::kReadShared);
  if (!file.IsOpen()) {
    err << "glimmora-pack: " << shown << ": cannot be opened\n";
    return 1;
  }
  const int64_t size = file.Size();
  PackageTable table;
  const int32_t read = ReadPackageTrailer(file, &table, nullptr);
  if (read != EXTRACT_OK) {
    err << "glimmora-pack: " << shown << ": damaged trailer: " << ResultCodeName(read) << ", "
        << ResultCodeMeaning(read) << "\n";
    return 1;
  }

  // Row 0 is the index; any further rows are checked as streams too. Only
  // the index is kept, and never more of it than any reader would take.
  int damaged = 0;
  std::vector<uint8_t> index;
  out << "table:\n";
  for (uint32_t i = 0; i < table.count; ++i) {
    const PackageTableEntry& row = table.rows[i];
    std::string problem;
    uint64_t inflated = 0;
    if (i == 0 && row.unpackedSize > kMaxIndexBytes) {
      problem = "the table gives the index " + std::to_string(row.unpackedSize) + " bytes, more than the " +
                std::to_string(kMaxIndexBytes) + " an index may have";
    } else {
      problem = CheckStream(file, size, row.offset, row.packedSize, &inflated, row.unpackedSize,
                            i == 0 ? &index : nullptr);
    }
    if (problem.empty() && inflated != row.unpackedSize) {
      problem = "inflates to " + std::to_string(inflated) + " bytes, the table says " +
                std::to_string(row.unpackedSize);
    }
    out << "  row " << i << " " << Printable(row.name) << ": offset " << row.offset << ", packed "
        << row.packedSize << ", unpacked " << row.unpackedSize << ": " << (problem.empty() ? "sound" : "DAMAGED")
        << "\n";
    if (!problem.empty()) {
      err << "glimmora-pack: " << shown << ": damaged " << (i == 0 ? "index" : "table row " + std::to_string(i))
          << " stream (offset " << row.offset << ", packed " << row.packedSize << "): " << problem << "\n";
      if (i == 0) return 1;  // without the index nothing else can be found
      ++damaged;
    }
    if (i == 0 && !IsSafeEntryName(row.name)) {
      // The setup program inflates the index into a file of this name.
      err << "glimmora-pack: " << shown << ": damaged index: its name \"" << Printable(row.name)
          << "\" is not a plain file name, which every reader refuses\n";
      ++damaged;
    }
    if (i == 0) {
      CInstallProject project;
      const ProjectLoadResult loaded = LoadProject(index.data(), index.size(), project);
      if (!loaded.ok) {
        err << "glimmora-pack: " << shown << ": the index does not load: " << Printable(loaded.error) << "\n";
        return 1;
      }
      std::vector<StreamRow> rows;
      for (const auto& list : project.GetExtractLists()) {
        CollectStreams(*list->GetTree().GetRoot(), Printable(list->GetName()), rows);
      }
      out << "streams:\n  " << std::right << std::setw(10) << "offset" << std::setw(10) << "packed" << "  "
          << std::left << std::setw(9) << "status" << std::setw(12) << "list" << "file\n";
      for (StreamRow& stream : rows) {
        stream.problem = CheckStream(file, size, stream.offset, stream.packed);
        out << "  " << std::right << std::setw(10) << stream.offset << std::setw(10) << stream.packed << "  "
            << std::left << std::setw(9) << (stream.problem.empty() ? "sound" : "DAMAGED") << std::setw(12)
            << stream.list << stream.path << "\n";
        if (stream.problem.empty()) continue;
        ++damaged;
        err << "glimmora-pack: " << shown << ": damaged stream of " << stream.list << ":" << stream.path
            << " (offset " << stream.offset << ", packed " << stream.packed << "): " << stream.problem << "\n";
      }
      out << rows.size() << (rows.size() == 1 ? " file stream" : " file streams") << "\n";
      damaged += ReportUnsafeEntries(project, shown, out, err);
    }
    index.clear();
  }
  if (damaged != 0) {
    out << damaged << " damaged\n";
    return 1;
  }
  out << "all sound\n";
  return 0;
}

}  // namespace glimmora_pack
