#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_identity.h"
#include "platform/stream.h"

namespace tailmend {

// What the repair compares right before it cuts: a file that another program rewrote or resized
// since it was examined shows another size or modification time.
struct FileStamp {
  std::int64_t size = 0;
  std::int64_t modified = 0;  // in the system's finest unit

  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// An open file, closed when the object goes away. Paths are UTF-8. The system-specific part lives
// in file_stream_posix.cpp and file_stream_win32.cpp; CMake compiles one of them.
class FileStream final : public Stream {
public:
  // An existing regular file for reading and writing while other programs may read and write it
  // too. Anything else (a folder, a pipe, a device) is refused at once, without waiting for a
  // writer. A name the user gave is followed wherever it leads; with listedAs, the name must still
  // be that very file, and a symbolic link is never followed.
  static FileStream OpenReadWriteShared(const std::string& path, const std::optional<FileIdentity>& listedAs = {});
  // The same for reading, while other programs may only read it.
  static FileStream OpenReadSharedRead(const std::string& path, const std::optional<FileIdentity>& listedAs = {});

  FileStream(FileStream&& other) noexcept;
  FileStream& operator=(FileStream&& other) noexcept;
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;
  ~FileStream() override;

  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  void Seek(std::int64_t offset) override;
  std::int64_t Size() override;
  void SetEnd(std::int64_t length) override;
  bool WillRead(std::int64_t offset, std::int64_t count) override;
  FileStamp Stamp();
  // Copies the first atMost bytes of this file (all of it, when shorter) to the start of target
  // inside the system, without passing them through the program, and returns how many bytes it
  // copied. Nothing, with nothing copied, when the system cannot copy between these two files.
  std::optional<std::int64_t> CopyInSystem(FileStream& target, std::int64_t atMost);
  // Gives copy this file's access rules and times, so that the copy is never readable by more
  // people than this file: on POSIX its group (and, for root, its owner), its access ACL or none
  // at all, and its permission bits, without group and other bits where the group could not be
  // given; on Windows its access-control list. A step the file system cannot keep (FAT keeps no
  // owners, ACLs or permission bits) or the process may not take is skipped.
  void CopyAttributesTo(FileStream& copy);
  // Forces everything written so far onto stable storage.
  void Flush();
  // Releases the handle; the destructor does it too, but only an explicit close reports failure.
  void Close();
  bool IsOpen() const { return handle_ != kNoHandle; }

private:
  // Makes new files in the folder it holds.
  friend class HeldFolder;

  using Handle = std::intptr_t;
  // -1 is no descriptor on POSIX and INVALID_HANDLE_VALUE on Windows.
  static constexpr Handle kNoHandle = -1;

  explicit FileStream(Handle handle);
  static void Release(Handle handle) noexcept;

  Handle handle_;
};

// True when a file (not a folder) of that name exists.
bool FileExists(const std::string& path);

}  // namespace tailmend
