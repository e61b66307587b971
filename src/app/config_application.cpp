#include "app/config_application.h"

#include "app/main_window.h"

void ConfigApplication::BuildMainWindow() {
    MainWin = new MainWindow(nullptr, Name);
}

void ConfigApplication::OnFatalError() {
    if (MainWin) static_cast<MainWindow*>(MainWin)->OnFatalError();
}
