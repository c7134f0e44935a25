#include "app/install_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    static CInstallApp app;
    return app.Main(instance, commandLine);
}
