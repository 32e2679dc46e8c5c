#pragma once

#include <dlfcn.h>

namespace platform {

// A function of a library opened with dlopen, typed as the library's header
// declares it: false when the library lacks it. The sound and print libraries
// are opened at their first use, not linked, so that a start of the program
// does not pay for them.
template<typename Function> bool lookUp(void *library, const char *name, Function &function)
{
    function = reinterpret_cast<Function>(::dlsym(library, name));
    return function != nullptr;
}

} // namespace platform
