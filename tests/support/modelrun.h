#pragma once

#include "appcontext.h"
#include "testfolder.h"

// A model's world without a window: a program folder of its own and the
// context every model is made with, as start-up leaves it.
struct ModelRun : TestFolder
{
    AppContext context {dialogs, system};
};
