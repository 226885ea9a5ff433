// The application object: platform start-up, the single-instance rule, and the main window.
#pragma once

#include <winsock2.h>  // before windows.h, which would bring the old socket header
#include <windows.h>

#include <memory>

#include "app/main_frame_win.h"
#include "util/text.h"
#include "util/unique_handle_win.h"

class Cmorwen3App {
 public:
  explicit Cmorwen3App(HINSTANCE instance, Text commandLine);
  ~Cmorwen3App();

  // True to run the message loop, false to end at once.
  bool InitInstance();
  int ExitInstance();
  // The main window's keyboard shortcuts; true when the message was consumed.
  bool PreTranslateMessage(MSG& message) const;

  const Text& DataDirectory() const { return dataDirectory_; }
  const Text& TempDirectory() const { return tempDirectory_; }
  CMainFrame* MainWindow() const { return mainFrame_.get(); }

 private:
  bool InitializeSockets();
  bool InitializeOle();
  bool AcquireInstanceLock();
  bool AcquirePortLock();

  HINSTANCE instance_;
  Text commandLine_;  // without the program name
  Text dataDirectory_;
  Text tempDirectory_;
  unique_handle instanceMutex_;
  unique_handle portMutex_;
  bool socketsStarted_ = false;
  bool oleStarted_ = false;
  std::unique_ptr<CMainFrame> mainFrame_;
};
