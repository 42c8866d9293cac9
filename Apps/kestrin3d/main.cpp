// kestrin3d: the demo host of the 3D module. It sets up the host as the suite
// would (main thread, stored classes) and runs one command.
#include "XCommandTable.h"
#include "XInfoCommands.h"
#include "XIsoCommands.h"
#include "XMovieCommands.h"
#include "XMovieRenderCommand.h"
#include "XRenderCommands.h"
#include "XRendererCommands.h"
#include "XSceneCommands.h"
#include "XThread.h"
#include "XViewCommand.h"
#include "XVolumeKeyframeMovie.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    XThread::SetMainThread();
    // Loading the module registers its stored classes; saying so here also keeps the
    // linker from dropping the module.
    XVolumeKeyframeMovie::RegisterClasses();

    XCommandTable commands;
    XInfoCommands::AddTo(commands);
    XRendererCommands::AddTo(commands);
    XRenderCommands::AddTo(commands);
    XSceneCommands::AddTo(commands);
    XMovieCommands::AddTo(commands);
    XMovieRenderCommand::AddTo(commands);
    XIsoCommands::AddTo(commands);
    XViewCommand::AddTo(commands);

    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return commands.Run(arguments, std::cout, std::cerr);
}
