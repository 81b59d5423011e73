// Aurora.scr: the sample package's screensaver. See SaverMode.h for the
// command line; the random-play flag (RandomPlay.h) is read at every start.
#include <windows.h>

#include "CommandLine.h"
#include "RandomPlay.h"
#include "SaverMode.h"
#include "SaverWindow.h"
#include "SettingsBox.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    using namespace aurora;
    const SaverMode mode = parseSaverMode(sample::processArguments());
    const bool randomPlay = readRandomPlay();

    switch (mode.kind) {
    case SaverKind::Password:
        return 0;
    case SaverKind::Settings:
        showSettingsBox(instance, mode.window, randomPlay);
        return 0;
    case SaverKind::FullScreen: {
        SaverWindow saver;
        return saver.createFullScreen(instance, randomPlay) ? saver.run() : 1;
    }
    case SaverKind::Preview: {
        SaverWindow saver;
        return saver.createPreview(instance, mode.window, randomPlay) ? saver.run() : 1;
    }
    }
    return 0;
}
