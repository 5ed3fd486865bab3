#pragma once

namespace tailmend {

// What the windows need from the system for as long as they exist: COM on this thread (the picture
// decoder and the shell use it) and the common controls (the event list, the themed look).
class Application {
public:
  Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;
  ~Application();

private:
  bool comInitialised_;
};

}  // namespace tailmend
