// The compression wrapper: one zlib stream at a time, moved between files and
// zlib through two reused 40960-byte buffers, with the stream's input count
// as a percentage for progress reports.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <memory>

#include "platform/file.h"

constexpr uint32_t kZipBlockBytes = 40960;

class CAbstractZip {
 public:
  virtual ~CAbstractZip() = default;
  // The operations in their fixed order; slots 7 and 8 repeat 1 and 2.
  virtual uint32_t GetTotalOut() = 0;
  virtual uint32_t FillInput(platform::File& file) = 0;
  virtual uint32_t FlushOutput(platform::File& file) = 0;
  virtual int32_t InitStream(int32_t deflate) = 0;
  virtual int32_t EndStream(int32_t deflate) = 0;
  virtual int32_t DeflateStep(int32_t flush) = 0;
  virtual int32_t InflateStep(int32_t flush) = 0;
  virtual uint32_t FillInputBlock(platform::File& file) = 0;
  virtual uint32_t FlushOutputBlock(platform::File& file) = 0;
  virtual uint32_t GetPercent() = 0;
  virtual CAbstractZip* SetTotal(uint32_t size) = 0;
};

class CMyZip : public CAbstractZip {
 public:
  CMyZip();
  ~CMyZip() override;
  CMyZip(const CMyZip&) = delete;
  CMyZip& operator=(const CMyZip&) = delete;

  uint32_t GetTotalOut() override { return static_cast<uint32_t>(stream_.total_out); }
  // Reads the next block when no input is pending; the pending byte count
  // after the call, 0 at the end of the file.
  uint32_t FillInput(platform::File& file) override;
  // Writes what the output buffer holds and hands zlib the empty buffer;
  // the bytes written. A failed write writes nothing and returns 0.
  uint32_t FlushOutput(platform::File& file) override;
  int32_t InitStream(int32_t deflate) override;
  int32_t EndStream(int32_t deflate) override;
  int32_t DeflateStep(int32_t flush) override { return deflate(&stream_, flush); }
  int32_t InflateStep(int32_t flush) override { return inflate(&stream_, flush); }
  uint32_t FillInputBlock(platform::File& file) override { return FillInput(file); }
  uint32_t FlushOutputBlock(platform::File& file) override { return FlushOutput(file); }
  uint32_t GetPercent() override;
  CAbstractZip* SetTotal(uint32_t size) override;

  // True when the last flush could not write every byte.
  bool WriteFailed() const { return write_failed_; }
  // Input bytes the current (or last) stream has consumed.
  uint64_t GetTotalIn() const { return stream_.total_in; }

 private:
  void ReleaseStream();

  std::unique_ptr<uint8_t[]> input_;
  std::unique_ptr<uint8_t[]> output_;
  uint32_t total_ = 0;
  z_stream stream_{};
  enum class Mode { kNone, kInflate, kDeflate } mode_ = Mode::kNone;
  bool write_failed_ = false;
};

// Percentage of `total` that `consumed` is, without overflowing 32 bits.
uint32_t StreamPercent(uint32_t consumed, uint32_t total);
