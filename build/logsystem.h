// The log system: appends lines to a UTF-16LE log file (no byte-order mark,
// each line ending in CR LF) and hands each line to a window first, when one
// is given. Every failure is silent.
#pragma once

#include <cstdint>
#include <string>

class CAbstractLogSystem {
 public:
  virtual ~CAbstractLogSystem() = default;
  // The operations in their fixed order.
  virtual void SetLogFile(const std::u16string& path) = 0;
  virtual std::u16string GetLogFile() = 0;
  virtual void WriteLine(const std::u16string& text) = 0;
  virtual void WriteFormatInt(const std::u16string& format, int32_t value) = 0;
  virtual void WriteFormatText(const std::u16string& format, const std::u16string& text) = 0;
  virtual void WriteFormatReserved1(const std::u16string& format) = 0;
  virtual void WriteFormatReserved2(const std::u16string& format) = 0;
  virtual void WriteLastError(const std::u16string& format) = 0;
  virtual void SetLogWindow(void* window) = 0;
  virtual void* GetLogWindow() = 0;
  virtual void SendToWindow(const std::u16string& text) = 0;
};

class CMyLogSystem : public CAbstractLogSystem {
 public:
  CMyLogSystem() = default;

  void SetLogFile(const std::u16string& path) override { path_ = path; }
  std::u16string GetLogFile() override { return path_; }
  void WriteLine(const std::u16string& text) override;
  void WriteFormatInt(const std::u16string& format, int32_t value) override;
  void WriteFormatText(const std::u16string& format, const std::u16string& text) override;
  // Variable-argument writes that were never given a meaning: they do nothing.
  void WriteFormatReserved1(const std::u16string&) override {}
  void WriteFormatReserved2(const std::u16string&) override {}
  void WriteLastError(const std::u16string& format) override;
  void SetLogWindow(void* window) override { window_ = window; }
  void* GetLogWindow() override { return window_; }
  void SendToWindow(const std::u16string& text) override;

 private:
  std::u16string path_;
  void* window_ = nullptr;  // not owned
};

// printf-style formatting of one argument: "%s" takes the text, "%d" (or
// "%D") the number, "%%" is a percent sign; other characters are copied.
std::u16string FormatText(const std::u16string& format, const std::u16string& text);
std::u16string FormatInt(const std::u16string& format, int32_t value);
