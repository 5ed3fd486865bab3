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

// Tells the files' WM_COPYDATA from any other program's.
inline constexpr ULONG_PTR kHandedFilesMessage = 0x544D4631;

// The window a program hands its files over from, named as the message's sender: the gathering
// window takes files only from such a window of a process that runs the same program file as it.
// A window that only receives messages, shown nowhere; null when it could not be made.
class HandOverWindow {
public:
  HandOverWindow();
  HandOverWindow(const HandOverWindow&) = delete;
  HandOverWindow& operator=(const HandOverWindow&) = delete;
  ~HandOverWindow();

  HWND Handle() const { return handle_; }

private:
  HWND handle_ = nullptr;
};

// Hands files to a main window of this desktop that still gathers, each name made absolute;
// true when one has taken them.
bool HandToGatheringWindow(const std::vector<std::string>& paths);

// A main window's side: from Start until Stop, until no files have come for a few seconds, or a
// minute after Start however often files come, the files other programs hand over are its own.
class Gathering {
public:
  void Start(HWND window, DWORD now);
  void Stop();
  // The files a WM_COPYDATA from sender (its wParam) hands over while the window gathers, at the
  // time now (GetTickCount). Nothing for any other message, from any other program or window, with
  // any name that is not absolute (the sender's current folder is not the window's), or once the
  // window no longer gathers: the sender then opens a window of its own.
  std::optional<std::vector<std::string>> Take(HWND sender, const COPYDATASTRUCT& data, DWORD now);

private:
  HWND window_ = nullptr;
  DWORD started_ = 0;
  DWORD lastArrival_ = 0;
};

}  // namespace tailmend
