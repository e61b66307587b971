// vl4config.exe: configuration and calibration of VL4 transmitters.
#include "app/config_application.h"
#include "app/texts.h"

#include <windows.h>

namespace {
// The one application. Its constructor only records the name; the window is
// built by Start, once every module has initialised.
ConfigApplication App(Text::AppName);
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    App.ShowFatalErrorsInBoxes();
    App.Start();
    App.Run();
    return 0;
}
