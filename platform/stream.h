#pragma once

#include <cstddef>
#include <cstdint>

namespace tailmend {

// The operations the repair needs of an open file. Failures raise PlatformError.
class Stream {
public:
  virtual ~Stream() = default;

  // Reads up to count bytes at the current position; fewer only at the end of the file.
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // Writes up to count bytes at the current position and returns how many were stored.
  virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
  virtual void Seek(std::int64_t offset) = 0;
  virtual std::int64_t Size() = 0;
  // Positions the stream at length and makes that the end of the file.
  virtual void SetEnd(std::int64_t length) = 0;
  // A hint that the count bytes from offset on will be read soon: the system may start fetching
  // them from the disk now, while the caller works on others. Asks for nothing when the first of
  // them is in memory already: the bytes around it most likely are too, and the hint would be
  // spent. Never fails. Returns false where the system has no cheap way to do that and the hint does
  // nothing: a caller that would read in small pieces what it asked for had better read it at once,
  // each piece being a request of its own to the disk.
  virtual bool WillRead(std::int64_t /*offset*/, std::int64_t /*count*/) { return false; }
};

}  // namespace tailmend
