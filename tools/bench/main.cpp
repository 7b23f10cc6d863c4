// glimmora_bench: how fast the package layer builds and extracts a payload
// of about 100 MB compared with bare zlib loops over the same bytes, and
// whether the extraction engine's peak memory stays flat as the payload
// grows. A benchmark, not a test: it reports and exits 0 whether or not the
// targets are met; only a failure to build or extract is an error.
//
//   glimmora_bench [--dir FOLDER] [--size MB] [--small MB] [--runs N]
//                  [--extract-runs N] [--keep]
//
// Each side runs N times (extraction, being much quicker, --extract-runs
// times), the two sides alternating, and the best wall time counts. Shown
// beside it, to read the verdict on a shared machine: the processor time of
// the best runs (a real difference shows there too; one made by waiting for
// the disk or the scheduler does not) and the median ratio of neighbouring
// runs.
//
// Everything it writes goes below FOLDER (default out/bench in the source
// tree), which is emptied first (only when it is empty or an earlier run's)
// and removed at the end unless --keep is given. The engine's Windows paths
// map below FOLDER/root.
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bare.h"
#include "build/extract.h"
#include "build/mybuild.h"
#include "install/extractfilelist.h"
#include "install/zipfileindexobject.h"
#include "payload.h"
#include "platform/file.h"
#include "platform/text.h"

#ifndef GLIMMORA_BENCH_DIR
#define GLIMMORA_BENCH_DIR "out/bench"
#endif

namespace fs = std::filesystem;
using bench::Payload;

namespace {

constexpr double kMB = 1024.0 * 1024.0;
constexpr double kRatioTarget = 0.95;
constexpr double kRssGrowthTargetMB = 2.0;
constexpr uint64_t kEngineImageBytes = 1024 * 1024;
const char16_t kBase[] = u"C:\\bench\\";
const char kScratchMarker[] = "glimmora-bench.scratch";

struct Options {
  std::string dir = GLIMMORA_BENCH_DIR;
  double size_mb = 100;
  double small_mb = 25;
  int runs = 3;
  int extract_runs = 7;
  bool keep = false;
};

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "glimmora_bench: %s\n", message.c_str());
  std::exit(1);
}

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double CpuNow() {
  struct rusage usage {};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// One timed run: wall and processor seconds (user and system).
struct Sample {
  double wall = 0;
  double cpu = 0;
};

template <typename Fn>
Sample Measure(Fn&& fn) {
  const double wall = Now(), cpu = CpuNow();
  fn();
  return {Now() - wall, CpuNow() - cpu};
}

// The median over the alternating pairs of runs of the package layer's speed
// relative to the bare loop (bare time / package layer time). Neighbouring
// runs see much the same load from other work, so this is steadier than
// the ratio of the two best runs when the machine is shared.
double PairedMedian(const std::vector<Sample>& layer, const std::vector<Sample>& bare) {
  std::vector<double> ratios;
  for (size_t i = 0; i < layer.size() && i < bare.size(); ++i) ratios.push_back(bare[i].wall / layer[i].wall);
  std::sort(ratios.begin(), ratios.end());
  const size_t n = ratios.size();
  return n % 2 ? ratios[n / 2] : (ratios[n / 2 - 1] + ratios[n / 2]) / 2;
}

// The run with the shortest wall time.
Sample Best(const std::vector<Sample>& samples) {
  return *std::min_element(samples.begin(), samples.end(),
                           [](const Sample& a, const Sample& b) { return a.wall < b.wall; });
}

std::string Host(const std::u16string& path) { return platform::HostPath(path); }

std::string Utf8(const std::u16string& text) { return platform::ToUtf8(text); }

// Peak resident set of this process, from the kernel's high-water mark.
long VmHwmKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

// Nothing dirty from an earlier step may be written back while a timed step
// runs, so every timed run starts after a sync.
void Settle() { ::sync(); }

void RemoveHost(const std::string& path) {
  std::error_code ignored;
  fs::remove_all(path, ignored);
}

struct ProgressCount {
  uint64_t begins = 0, ends = 0, steps = 0;
  static void Count(int32_t code, int32_t*, void* user) {
    auto* self = static_cast<ProgressCount*>(user);
    if (code == PROGRESS_FILE_BEGIN) ++self->begins;
    if (code == PROGRESS_FILE_END) ++self->ends;
    if (code == PROGRESS_STEP) ++self->steps;
  }
  uint64_t Calls() const { return begins + ends + steps; }
};

// What the engine does in a setup program: open the package, load its index,
// extract the common list. The result code, with the index error if any.
int32_t EngineExtract(const std::u16string& package, const std::u16string& dest, ProgressCount* progress,
                      std::string* why) {
  CMyExtract engine;
  engine.SetPackagePath(package);
  int32_t r = engine.OpenPackage(package);
  if (r != EXTRACT_OK) {
    *why = "OpenPackage returned " + std::to_string(r) + " (" + engine.GetIndexError() + ")";
    return r;
  }
  engine.SetDestDir(dest);
  r = engine.ExtractListTo(dest, u"Common", &ProgressCount::Count, progress);
  if (r != EXTRACT_OK) *why = "ExtractListTo returned " + std::to_string(r);
  return r;
}

// The child side of the memory measurement: nothing but load and extract,
// then the peak resident set on stdout.
int ExtractChild(const std::string& root, const std::string& package, const std::string& dest) {
  platform::SetPosixRoot(root);
  ProgressCount progress;
  std::string why;
  if (EngineExtract(platform::FromUtf8(package), platform::FromUtf8(dest), &progress, &why) != EXTRACT_OK) {
    std::fprintf(stderr, "glimmora_bench (child): %s\n", why.c_str());
    return 1;
  }
  std::printf("vmhwm_kb=%ld files=%" PRIu64 "\n", VmHwmKb(), progress.ends);
  return 0;
}

struct ChildPeak {
  long vmhwm_kb = -1;   // read by the child itself: the extraction alone
  long maxrss_kb = -1;  // the kernel's account at exit (includes the pre-exec fork copy)
  uint64_t files = 0;
};

ChildPeak RunExtractChild(const std::string& root, const std::u16string& package, const std::u16string& dest) {
  int pipe_fds[2];
  if (::pipe(pipe_fds) != 0) Fail("pipe failed");
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid < 0) Fail("fork failed");
  if (pid == 0) {
    ::dup2(pipe_fds[1], STDOUT_FILENO);
    ::close(pipe_fds[0]);
    ::close(pipe_fds[1]);
    const std::string p = Utf8(package), d = Utf8(dest);
    const char* argv[] = {"glimmora_bench", "--extract-child", root.c_str(), p.c_str(), d.c_str(), nullptr};
    ::execv("/proc/self/exe", const_cast<char* const*>(argv));
    std::_Exit(127);
  }
  ::close(pipe_fds[1]);
  std::string out;
  char buffer[256];
  for (ssize_t n; (n = ::read(pipe_fds[0], buffer, sizeof buffer)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    out.append(buffer, static_cast<size_t>(n));
  }
  ::close(pipe_fds[0]);
  int status = 0;
  struct rusage usage {};
  if (::wait4(pid, &status, 0, &usage) != pid) Fail("wait4 failed");
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) Fail("the extraction child failed for " + Utf8(package));
  ChildPeak peak;
  peak.maxrss_kb = usage.ru_maxrss;
  unsigned long long files = 0;
  if (std::sscanf(out.c_str(), "vmhwm_kb=%ld files=%llu", &peak.vmhwm_kb, &files) != 2) {
    Fail("unexpected output from the extraction child: " + out);
  }
  peak.files = files;
  return peak;
}

bool SameContents(const std::string& a, const std::string& b) {
  std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
  if (!fa || !fb) return false;
  std::vector<char> ba(1 << 20), bb(1 << 20);
  for (;;) {
    fa.read(ba.data(), static_cast<std::streamsize>(ba.size()));
    fb.read(bb.data(), static_cast<std::streamsize>(bb.size()));
    if (fa.gcount() != fb.gcount()) return false;
    if (std::memcmp(ba.data(), bb.data(), static_cast<size_t>(fa.gcount())) != 0) return false;
    if (fa.gcount() == 0) return true;
  }
}

// Every payload file below `dest` is byte-identical to its source.
void VerifyExtracted(const Payload& payload, const std::u16string& dest, const char* who) {
  for (const auto& f : payload.files) {
    if (!SameContents(Host(payload.folder + f.relative), Host(dest + f.relative))) {
      Fail(std::string(who) + " wrote a different " + Utf8(dest + f.relative));
    }
  }
}

uint64_t HostFileSize(const std::string& path) {
  std::error_code ec;
  const auto size = fs::file_size(path, ec);
  return ec ? 0 : static_cast<uint64_t>(size);
}

// The streams of the loaded project's common list and the folders they go
// to, as the bare inflate loop needs them: the same offsets and packed sizes
// the engine uses, and the same target paths below `dest`.
void CollectStreams(const CNode* node, const std::u16string& dest, std::vector<std::string>* folders,
                    std::vector<bench::BareStream>* streams) {
  if (const auto* e = dynamic_cast<const CZipFileIndexObject*>(node->GetData())) {
    const std::u16string folder = TargetFolder(*node, dest);
    if (!e->IsPredefined() && !folder.empty()) {
      const std::u16string path = folder + e->GetName();
      if (e->IsFolder()) {
        folders->push_back(Host(path));
      } else {
        streams->push_back({static_cast<uint32_t>(e->GetOffset()), static_cast<uint32_t>(e->GetPackedSize()),
                            Host(path)});
      }
    }
  }
  for (size_t i = 0; i < node->GetChildCount(); ++i) CollectStreams(node->GetChild(i), dest, folders, streams);
}

std::string RunsText(const std::vector<Sample>& samples) {
  std::string text;
  char buffer[32];
  for (const Sample& s : samples) {
    std::snprintf(buffer, sizeof buffer, "%s%.3f", text.empty() ? "" : " ", s.wall);
    text += buffer;
  }
  return text + " s";
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

Options ParseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) Fail("missing value after " + a);
      return argv[++i];
    };
    if (a == "--dir") {
      o.dir = value();
    } else if (a == "--size") {
      o.size_mb = std::atof(value().c_str());
    } else if (a == "--small") {
      o.small_mb = std::atof(value().c_str());
    } else if (a == "--runs") {
      o.runs = std::atoi(value().c_str());
    } else if (a == "--extract-runs") {
      o.extract_runs = std::atoi(value().c_str());
    } else if (a == "--keep") {
      o.keep = true;
    } else {
      Fail("unknown argument " + a + " (usage: glimmora_bench [--dir FOLDER] [--size MB] [--small MB] [--runs N] [--extract-runs N] [--keep])");
    }
  }
  if (o.size_mb <= 0 || o.small_mb <= 0 || o.small_mb >= o.size_mb) Fail("need 0 < --small < --size");
  if (o.runs < 1 || o.extract_runs < 1) Fail("--runs and --extract-runs must be at least 1");
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "--extract-child") == 0) return ExtractChild(argv[2], argv[3], argv[4]);
  const Options opt = ParseOptions(argc, argv);

#if !defined(__OPTIMIZE__) || defined(__SANITIZE_ADDRESS__)
  std::fprintf(stderr, "glimmora_bench: warning: not an optimised build; use the host-release preset\n");
#endif

  // A fresh scratch folder; the engine's drive C: lives below it. A folder
  // is emptied only when it is empty or one of ours, so a mistyped --dir
  // cannot cost anyone their files.
  const std::string scratch = fs::absolute(opt.dir).lexically_normal().string();
  const std::string marker = scratch + "/" + kScratchMarker;
  std::error_code ec;
  if (fs::exists(scratch, ec) && !fs::is_empty(scratch, ec) && !fs::exists(marker, ec)) {
    Fail(scratch + " is not empty and was not made by glimmora_bench; choose another --dir");
  }
  RemoveHost(scratch);
  fs::create_directories(scratch + "/root", ec);
  if (ec) Fail("cannot create " + scratch + "/root: " + ec.message());
  std::ofstream(marker) << "scratch folder of glimmora_bench, removed at its next run\n";
  const std::string root = scratch + "/root";
  platform::SetPosixRoot(root);

  const std::u16string base = kBase;
  Payload payload{base + u"payload\\", {}};
  const std::u16string engine_image = base + u"engine.exe";
  const std::u16string package = base + u"setup.exe";
  const std::u16string small_package = base + u"setup-small.exe";
  const std::u16string build_log = base + u"build.log";
  const std::string bare_deflate_out = Host(base + u"bare-deflate.bin");
  const std::u16string engine_dest = base + u"out-engine\\";
  const std::u16string bare_dest = base + u"out-bare\\";

  platform::CreateFolder(u"C:\\bench");
  platform::CreateFolder(u"C:\\bench\\payload");
  for (const auto& sub : bench::PayloadSubfolders()) platform::CreateFolder(payload.folder + sub);

  // 1. The payload, the engine image and the projects.
  std::printf("glimmora_bench: zlib %s, scratch %s (1 MB = 2^20 bytes)\n", zlibVersion(), scratch.c_str());
  double t = Now();
  payload.files = bench::PlanPayload(static_cast<uint64_t>(opt.size_mb * kMB));
  std::string error;
  if (!bench::WritePayload(payload.folder, payload.files, &error)) Fail(error);
  if (!bench::WriteEngineImage(engine_image, kEngineImageBytes, &error)) Fail(error);
  const double payload_mb = static_cast<double>(payload.TotalBytes()) / kMB;
  const auto share = [&](bench::FileKind k) {
    return 100.0 * static_cast<double>(payload.BytesOf(k)) / static_cast<double>(payload.TotalBytes());
  };
  std::printf("payload: %.1f MB in %zu files (text %.0f%%, records %.0f%%, random %.0f%% of bytes), "
              "engine image %.1f MB, generated in %.1f s\n",
              payload_mb, payload.files.size(), share(bench::FileKind::kText), share(bench::FileKind::kRecords),
              share(bench::FileKind::kRandom), kEngineImageBytes / kMB, Now() - t);

  Payload small{payload.folder, bench::PlanPayload(static_cast<uint64_t>(opt.small_mb * kMB))};
  auto project = bench::MakeProject(payload, engine_image, build_log);
  auto small_project = bench::MakeProject(small, engine_image, build_log);

  std::vector<std::string> sources;
  for (const auto& f : payload.files) sources.push_back(Host(payload.folder + f.relative));

  // 2. Builder against a bare deflate loop, alternating, best of N.
  std::vector<Sample> build_s, deflate_s;
  uint64_t bare_in = 0, bare_out = 0;
  for (int run = 0; run < opt.runs; ++run) {
    RemoveHost(Host(package));
    RemoveHost(Host(build_log));
    Settle();
    build_s.push_back(Measure([&] {
      CMyBuild builder;
      builder.SetProject(project.get());
      const int32_t r = builder.BuildPackage(package, nullptr, nullptr);
      if (r != EXTRACT_OK) Fail("BuildPackage returned " + std::to_string(r) + "; see " + Host(build_log));
    }));

    RemoveHost(bare_deflate_out);
    Settle();
    deflate_s.push_back(Measure([&] {
      if (!bench::BareDeflate(sources, bare_deflate_out, &bare_in, &bare_out, &error)) Fail("bare deflate: " + error);
    }));
  }
  if (bare_in != payload.TotalBytes()) Fail("bare deflate read a different number of bytes than the payload holds");
  const double package_mb = static_cast<double>(HostFileSize(Host(package))) / kMB;
  const Sample build_best = Best(build_s), deflate_best = Best(deflate_s);
  std::printf("build:   package %.1f MB (bare streams %.1f MB); builder runs %s, bare deflate runs %s\n", package_mb,
              static_cast<double>(bare_out) / kMB, RunsText(build_s).c_str(), RunsText(deflate_s).c_str());

  // 3. Engine against a bare inflate loop over the same streams.
  std::vector<std::string> bare_folders{Host(bare_dest.substr(0, bare_dest.size() - 1))};
  std::vector<bench::BareStream> streams;
  {
    CMyExtract loader;
    loader.SetPackagePath(package);
    if (loader.OpenPackage(package) != EXTRACT_OK) Fail("cannot load the package's index: " + loader.GetIndexError());
    CExtractFileList* common = loader.GetProject()->FindExtractList(u"Common");
    if (common == nullptr) Fail("the loaded project has no Common list");
    CollectStreams(common->GetTree().GetRoot(), bare_dest, &bare_folders, &streams);
  }
  if (streams.size() != payload.files.size()) Fail("the loaded project lists a different number of files");

  std::vector<Sample> engine_s, inflate_s;
  ProgressCount progress;
  uint64_t inflated = 0;
  for (int run = 0; run < opt.extract_runs; ++run) {
    RemoveHost(Host(engine_dest));
    Settle();
    progress = ProgressCount{};
    engine_s.push_back(Measure([&] {
      if (EngineExtract(package, engine_dest, &progress, &error) != EXTRACT_OK) Fail("engine: " + error);
    }));
    if (run == 0) VerifyExtracted(payload, engine_dest, "the engine");

    RemoveHost(Host(bare_dest));
    Settle();
    inflate_s.push_back(Measure([&] {
      if (!bench::BareInflate(Host(package), bare_folders, streams, &inflated, &error)) Fail("bare inflate: " + error);
    }));
    if (run == 0) VerifyExtracted(payload, bare_dest, "the bare inflate loop");
  }
  if (inflated != payload.TotalBytes()) Fail("bare inflate wrote a different number of bytes than the payload holds");
  if (progress.begins != payload.files.size() || progress.ends != payload.files.size()) {
    Fail("the progress callback saw " + std::to_string(progress.begins) + " file starts for " +
         std::to_string(payload.files.size()) + " files");
  }
  const Sample engine_best = Best(engine_s), inflate_best = Best(inflate_s);
  std::printf("extract: engine runs %s, bare inflate runs %s\n", RunsText(engine_s).c_str(),
              RunsText(inflate_s).c_str());
  std::printf("         progress callback: %" PRIu64 " calls in a run (%" PRIu64 " file starts, %" PRIu64
              " ends, %" PRIu64 " steps)\n",
              progress.Calls(), progress.begins, progress.ends, progress.steps);
  RemoveHost(Host(engine_dest));
  RemoveHost(Host(bare_dest));

  // 4. Peak memory of extraction for two payload sizes, each in a child
  // process that only loads the package and extracts.
  {
    CMyBuild builder;
    builder.SetProject(small_project.get());
    const int32_t r = builder.BuildPackage(small_package, nullptr, nullptr);
    if (r != EXTRACT_OK) Fail("BuildPackage (small payload) returned " + std::to_string(r));
  }
  const double small_mb = static_cast<double>(small.TotalBytes()) / kMB;
  const ChildPeak peak_small = RunExtractChild(root, small_package, base + u"out-mem-small\\");
  const ChildPeak peak_big = RunExtractChild(root, package, base + u"out-mem-big\\");
  if (peak_small.files != small.files.size() || peak_big.files != payload.files.size()) {
    Fail("an extraction child extracted the wrong number of files");
  }
  std::printf("memory:  children's ru_maxrss %.1f MB and %.1f MB (this counts the fork's copy of the parent before "
              "exec; VmHWM below is the extraction alone)\n",
              peak_small.maxrss_kb / 1024.0, peak_big.maxrss_kb / 1024.0);

  // 5. The table. Rates are of the payload's bytes: input for building,
  // output for extracting.
  const double build_rate = payload_mb / build_best.wall, deflate_rate = payload_mb / deflate_best.wall;
  const double engine_rate = payload_mb / engine_best.wall, inflate_rate = payload_mb / inflate_best.wall;
  const double build_ratio = build_rate / deflate_rate, engine_ratio = engine_rate / inflate_rate;
  const double rss_small = peak_small.vmhwm_kb / 1024.0, rss_big = peak_big.vmhwm_kb / 1024.0;
  const double growth = rss_big - rss_small;
  char small_label[48], big_label[48];
  std::snprintf(small_label, sizeof small_label, "%.1f MB payload", small_mb);
  std::snprintf(big_label, sizeof big_label, "%.1f MB payload", payload_mb);

  std::printf("\n%-38s %15s %15s %7s %8s\n", "throughput (best run)", "package layer", "bare zlib", "ratio",
              "target");
  std::printf("%-38s %10.1f MB/s %10.1f MB/s %7.3f %8s  %s\n", "build    CMyBuild, MB/s of input", build_rate,
              deflate_rate, build_ratio, ">= 0.95", Verdict(build_ratio >= kRatioTarget));
  std::printf("%-38s %13.3f s %13.3f s %7.3f   paired-run median %.3f\n", "         processor time of best runs",
              build_best.cpu, deflate_best.cpu, deflate_best.cpu / build_best.cpu, PairedMedian(build_s, deflate_s));
  std::printf("%-38s %10.1f MB/s %10.1f MB/s %7.3f %8s  %s\n", "extract  CMyExtract, MB/s of output", engine_rate,
              inflate_rate, engine_ratio, ">= 0.95", Verdict(engine_ratio >= kRatioTarget));
  std::printf("%-38s %13.3f s %13.3f s %7.3f   paired-run median %.3f\n", "         processor time of best runs",
              engine_best.cpu, inflate_best.cpu, inflate_best.cpu / engine_best.cpu, PairedMedian(engine_s, inflate_s));
  std::printf("\n%-38s %15s %15s %7s %8s\n", "extraction peak RSS (VmHWM)", small_label, big_label, "growth",
              "target");
  std::printf("%-38s %12.1f MB %12.1f MB %+7.1f %8s  %s\n", "", rss_small, rss_big, growth, "<= 2 MB",
              Verdict(std::fabs(growth) <= kRssGrowthTargetMB));

  if (!opt.keep) RemoveHost(scratch);
  return 0;
}
