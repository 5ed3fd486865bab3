#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace tailmend {

// Explorer starts the window program once per selected file, each with that one file on its command
// line. The programs started for one selection gather into one window: the first opens it, the
// others hand it their files and end.

// Held by a program started with files while it looks for a window that gathers, and until its own
// window gathers, so that programs started together take their turns. Released when it ends.
class GatheringTurn {
public:
  GatheringTurn();
  GatheringTurn(const GatheringTurn&) = delete;
  GatheringTurn& operator=(const GatheringTurn&) = delete;
  ~GatheringTurn();

  void End();

private:
  HANDLE mutex_;
  bool held_ = false;
};

// Hands files to a main window of this desktop that still gathers; true when one has taken them.
bool HandToGatheringWindow(const std::vector<std::string>& paths);

// A main window's side: from Start until Stop or until no files have come for a while, the files
// other programs hand over are its own.
class Gathering {
public:
  void Start(HWND window);
  void Stop();
  // The files a WM_COPYDATA hands over while the window gathers; nothing for any other message
  // or once the window no longer gathers (the sender then opens a window of its own).
  std::optional<std::vector<std::string>> Take(const COPYDATASTRUCT& data);

private:
  HWND window_ = nullptr;
  DWORD lastArrival_ = 0;
};

}  // namespace tailmend
