#include "bare.h"

#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace bench {
namespace {

constexpr size_t kBlock = 40960;  // the package layer's block size

// Reads until `size` bytes or the end of the file; -1 on error.
ssize_t ReadFull(int fd, uint8_t* buffer, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(fd, buffer + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return static_cast<ssize_t>(done);
}

bool WriteFull(int fd, const uint8_t* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

std::string Errno(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

bool BareDeflate(const std::vector<std::string>& sources, const std::string& output, uint64_t* bytes_in,
                 uint64_t* bytes_out, std::string* error) {
  std::unique_ptr<uint8_t[]> in(new uint8_t[kBlock]);
  std::unique_ptr<uint8_t[]> out(new uint8_t[kBlock]);
  Fd dst(::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (dst.get() < 0) {
    *error = Errno("cannot create", output);
    return false;
  }
  *bytes_in = 0;
  *bytes_out = 0;
  for (const std::string& path : sources) {
    Fd src(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (src.get() < 0) {
      *error = Errno("cannot open", path);
      return false;
    }
    z_stream zs{};
    if (deflateInit(&zs, 6) != Z_OK) {
      *error = "deflateInit failed";
      return false;
    }
    zs.next_out = out.get();
    zs.avail_out = kBlock;
    int flush = Z_NO_FLUSH;
    int z = Z_OK;
    while (z != Z_STREAM_END) {
      if (zs.avail_in == 0 && flush == Z_NO_FLUSH) {
        const ssize_t n = ReadFull(src.get(), in.get(), kBlock);
        if (n < 0) {
          *error = Errno("cannot read", path);
          deflateEnd(&zs);
          return false;
        }
        if (n == 0) flush = Z_FINISH;
        zs.next_in = in.get();
        zs.avail_in = static_cast<uInt>(n);
        *bytes_in += static_cast<uint64_t>(n);
      }
      z = deflate(&zs, flush);
      if (z != Z_OK && z != Z_STREAM_END && z != Z_BUF_ERROR) break;
      const size_t produced = kBlock - zs.avail_out;
      if (produced != 0) {
        if (!WriteFull(dst.get(), out.get(), produced)) {
          *error = Errno("cannot write", output);
          deflateEnd(&zs);
          return false;
        }
        *bytes_out += produced;
        zs.next_out = out.get();
        zs.avail_out = kBlock;
      }
    }
    deflateEnd(&zs);
    if (z != Z_STREAM_END) {
      *error = "deflate failed on " + path;
      return false;
    }
  }
  return true;
}

bool BareInflate(const std::string& package, const std::vector<std::string>& folders,
                 const std::vector<BareStream>& streams, uint64_t* bytes_out, std::string* error) {
  for (const std::string& folder : folders) {
    if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
      *error = Errno("cannot create", folder);
      return false;
    }
  }
  std::unique_ptr<uint8_t[]> in(new uint8_t[kBlock]);
  std::unique_ptr<uint8_t[]> out(new uint8_t[kBlock]);
  Fd src(::open(package.c_str(), O_RDONLY | O_CLOEXEC));
  if (src.get() < 0) {
    *error = Errno("cannot open", package);
    return false;
  }
  *bytes_out = 0;
  for (const BareStream& s : streams) {
    Fd dst(::open(s.output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (dst.get() < 0) {
      *error = Errno("cannot create", s.output);
      return false;
    }
    if (::lseek(src.get(), s.offset, SEEK_SET) != static_cast<off_t>(s.offset)) {
      *error = Errno("cannot seek in", package);
      return false;
    }
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) {
      *error = "inflateInit failed";
      return false;
    }
    uint32_t left = s.packed_size;
    int z = Z_OK;
    while (z != Z_STREAM_END) {
      if (zs.avail_in == 0) {
        const ssize_t n = left == 0 ? 0 : ReadFull(src.get(), in.get(), left < kBlock ? left : kBlock);
        if (n <= 0) break;  // the stream ends before zlib does
        left -= static_cast<uint32_t>(n);
        zs.next_in = in.get();
        zs.avail_in = static_cast<uInt>(n);
      }
      zs.next_out = out.get();
      zs.avail_out = kBlock;
      z = inflate(&zs, Z_NO_FLUSH);
      if (z != Z_OK && z != Z_STREAM_END) break;
      const size_t produced = kBlock - zs.avail_out;
      if (produced != 0 && !WriteFull(dst.get(), out.get(), produced)) {
        *error = Errno("cannot write", s.output);
        inflateEnd(&zs);
        return false;
      }
      *bytes_out += produced;
    }
    inflateEnd(&zs);
    if (z != Z_STREAM_END) {
      *error = "stream at offset " + std::to_string(s.offset) + " does not inflate to its end";
      return false;
    }
  }
  return true;
}

}  // namespace bench
