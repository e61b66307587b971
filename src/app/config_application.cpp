#include "app/config_application.h"

#include "app/main_window.h"

void ConfigApplication::BuildMainWindow() {
    MainWin = new MainWindow(nullptr, Name);
}
