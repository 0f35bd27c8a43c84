#include "dll_search_plan.h"

int PlanDllSearch(unsigned long version, int available)
{
    // GetVersion: major version in the low byte, minor in the next.
    bool vista = (version & 0xFFFF) == 0x0006;
    if ((available & kSearchSystemOnly) != 0 && !vista)
        return kSearchSystemOnly;
    return (available & (kClearDllDirectory | kSafeSearchMode)) | kPreloadByPath;
}
