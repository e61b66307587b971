#pragma once

#include "framework/application.h"

// The tool's application: its main window is a MainWindow titled with the
// application's name, which a fatal error leaves with the transmitter safe.
class ConfigApplication : public Application {
public:
    using Application::Application;

    void BuildMainWindow() override;
    void OnFatalError() override;
};
