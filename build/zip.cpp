#include "build/zip.h"

namespace {
// The version text handed to zlib's initialisation; zlib checks only that the
// major version matches its own.
constexpr const char kZlibVersionText[] = "1.1.4";
constexpr uint32_t kExactPercentLimit = 10000000;  // n * 100 still fits in 32 bits
}  // namespace

uint32_t StreamPercent(uint32_t consumed, uint32_t total) {
  if (total == 0) return 100;
  if (total <= kExactPercentLimit) return consumed * 100 / total;
  return consumed / (total / 100);
}

CMyZip::CMyZip() : input_(new uint8_t[kZipBlockBytes]()), output_(new uint8_t[kZipBlockBytes]()) {}

CMyZip::~CMyZip() { ReleaseStream(); }

void CMyZip::ReleaseStream() {
  // zlib's state is released once, whichever way the stream was left.
  if (mode_ == Mode::kInflate) inflateEnd(&stream_);
  if (mode_ == Mode::kDeflate) deflateEnd(&stream_);
  mode_ = Mode::kNone;
}

uint32_t CMyZip::FillInput(platform::File& file) {
  if (stream_.avail_in == 0) {
    stream_.next_in = input_.get();
    const int64_t n = file.Read(input_.get(), kZipBlockBytes);
    stream_.avail_in = n > 0 ? static_cast<uInt>(n) : 0;
  }
  return stream_.avail_in;
}

uint32_t CMyZip::FlushOutput(platform::File& file) {
  const uint32_t produced = kZipBlockBytes - stream_.avail_out;
  if (produced != 0) {
    if (!file.Write(output_.get(), produced)) write_failed_ = true;
    stream_.next_out = output_.get();
    stream_.avail_out = kZipBlockBytes;
    if (write_failed_) return 0;
  }
  return produced;
}

int32_t CMyZip::InitStream(int32_t deflate) {
  ReleaseStream();
  // The counters restart with every stream; pending input is dropped.
  stream_ = z_stream{};
  stream_.next_out = output_.get();
  stream_.avail_out = kZipBlockBytes;
  write_failed_ = false;
  if (deflate != 0) {
    if (deflateInit_(&stream_, 6, kZlibVersionText, static_cast<int>(sizeof(z_stream))) == Z_OK) mode_ = Mode::kDeflate;
  } else {
    if (inflateInit_(&stream_, kZlibVersionText, static_cast<int>(sizeof(z_stream))) == Z_OK) mode_ = Mode::kInflate;
  }
  return 0;
}

int32_t CMyZip::EndStream(int32_t) {
  // The counters keep their values, so the percentage still describes the
  // stream just ended.
  const uLong in = stream_.total_in;
  const uLong out = stream_.total_out;
  ReleaseStream();
  stream_.total_in = in;
  stream_.total_out = out;
  return 0;
}

uint32_t CMyZip::GetPercent() { return StreamPercent(static_cast<uint32_t>(stream_.total_in), total_); }

CAbstractZip* CMyZip::SetTotal(uint32_t size) {
  total_ = size;
  return this;
}
