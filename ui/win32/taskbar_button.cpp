#include "ui/win32/taskbar_button.h"

#include <shobjidl.h>

namespace tailmend {

TaskbarButton::TaskbarButton(HWND window) : window_(window) {
  void* created = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3, &created))) return;
  taskbar_ = static_cast<ITaskbarList3*>(created);
  if (SUCCEEDED(taskbar_->HrInit())) return;
  taskbar_->Release();
  taskbar_ = nullptr;
}

TaskbarButton::~TaskbarButton() {
  if (taskbar_ == nullptr) return;
  taskbar_->SetProgressState(window_, TBPF_NOPROGRESS);
  taskbar_->Release();
}

// A run over no file has nothing to show.
void TaskbarButton::Show(const TaskbarProgress& progress) {
  if (taskbar_ == nullptr || progress.total == 0) return;
  taskbar_->SetProgressValue(window_, progress.done, progress.total);
  taskbar_->SetProgressState(window_, progress.failing ? TBPF_ERROR : TBPF_NORMAL);
}

}  // namespace tailmend
