#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/types.h"
#include "ui/behaviour/desktop_files.h"
#include "ui/behaviour/run_progress.h"
#include "ui/win32/gathering.h"
#include "ui/win32/tooltip.h"
#include "ui/win32/wic_picture.h"

namespace tailmend {

// The main window, drawn from its design. Its handlers keep the names of the design's handlers
// (Button7Click...).
class TfrmMain final {
public:
  TfrmMain();
  TfrmMain(const TfrmMain&) = delete;
  TfrmMain& operator=(const TfrmMain&) = delete;
  ~TfrmMain();

  HWND Handle() const { return handle_; }
  void Show();

  // What a repair run needs from the main window.
  const tailmend::FileList& SelectedFiles() const { return FileList; }
  void AddEventRows(const std::vector<EventRow>& rows);
  bool BackupRequested() const;
  // The event list's rows as the runs gave them, in the list's order.
  const std::vector<EventRow>& EventRows() const { return eventRows_; }

  // Files and folders from the desktop (the command line, a drop), as UTF-8: they replace the
  // selection as Browse does, and what could not be taken is shown in the standard error box.
  void TakeDesktopFiles(const std::vector<std::string>& paths);
  // Started with files: the files that the programs started for the same Explorer selection hand
  // over are added to the selection, until Fix Now, Browse or a drop, a short while without any, or
  // a minute after the start.
  void StartGathering();

private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  void FormCreate();
  // Closing is refused while a run's dialog is open.
  bool FormCloseQuery() const { return !runOpen_; }
  void FormClose();
  void Button1Click();
  void Button7Click();
  void Button4Click(std::string_view Sender);
  void Button3Click();
  void Button8Click();
  void Button6Click();

  // The event list: the cells, icons and tips of its rows as it asks for them, a row's activation
  // (double-click, Enter) and its menu.
  void SetUpEventList(int dpi);
  void EventListNotified(NMHDR& notice);
  void ShowCell(NMLVDISPINFOW& asked) const;
  static LRESULT CALLBACK EventListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR window);
  void ListView1MouseMove(POINT at);
  void ListView1ContextPopup(POINT at);
  void MenuItemClick(std::string_view item);
  void Details1Click();
  void ShowinFolder1Click();
  void CopyPath1Click();
  void SaveReport1Click();
  // The row chosen in the event list; none when no row is.
  const EventRow* ChosenRow() const;

  void ReplaceSelection(tailmend::FileList files);
  void FilesDropped(HDROP drop);
  bool FilesHandedOver(HWND sender, const COPYDATASTRUCT& data);
  void TakeHandedFiles();
  void ShowTaken(DesktopFiles taken);
  void ShowPicture(int dpi);
  void DpiChanged(int dpi, const RECT& suggested);
  void Click(std::string_view control);
  HWND Item(std::string_view control) const;

  HWND handle_ = nullptr;
  Picture picture_;
  HBITMAP bitmap_ = nullptr;  // the picture as shown, at the screen's density
  // Created empty with the window, released when it closes.
  tailmend::FileList FileList;
  std::vector<EventRow> eventRows_;
  HIMAGELIST stateIcons_ = nullptr;  // the event list's, at the screen's density
  bool runOpen_ = false;
  std::unique_ptr<Tooltip> selectionTip_;
  // The tip of the row under the mouse, and that row.
  std::unique_ptr<Tooltip> rowTip_;
  int tippedRow_ = -1;
  Gathering gathering_;
  // Handed over by other programs and taken once the message that handed them has been answered,
  // so that an error box about them keeps no sender waiting.
  std::vector<std::string> handedPaths_;
};

// Runs the program's message loop until it is told to end; Tab and the arrow keys move between
// the main window's controls.
int RunMessageLoop(HWND mainWindow);

}  // namespace tailmend
