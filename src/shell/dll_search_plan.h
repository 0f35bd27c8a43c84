// Which way of keeping the medium's DLLs out suits this Windows: a plain
// decision over what GetVersion says and which kernel32 functions exist, so
// that each generation of Windows can be tried without it.
#pragma once

// Steps of the plan, and the kernel32 function each one calls.
enum DllSearchStep {
    kSearchSystemOnly = 1,   // SetDefaultDllDirectories: 7 with KB2533623, 8 and later
    kClearDllDirectory = 2,  // SetDllDirectoryA(""): XP SP1 and later
    kSafeSearchMode = 4,     // SetSearchPathMode: XP SP2 and later
    kPreloadByPath = 8,      // load by full path what the shell and COM load later
};

// The steps to take, given GetVersion's value and the steps whose function
// kernel32 exports. kSearchSystemOnly comes alone; should the call fail, the
// plan without it is the fallback. Vista never takes it: its shell link
// object fails under the restriction.
int PlanDllSearch(unsigned long version, int available);
