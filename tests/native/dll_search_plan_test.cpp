// The way each generation of Windows keeps the medium's DLLs out.
#include <gtest/gtest.h>

#include "shell/dll_search_plan.h"

namespace {

const int kAll = kSearchSystemOnly | kClearDllDirectory | kSafeSearchMode;
const int kFallback = kClearDllDirectory | kSafeSearchMode | kPreloadByPath;

TEST(PlanDllSearch, EachWindowsGenerationTakesItsBranch)
{
    struct Row {
        const char* windows;
        unsigned long version;  // as GetVersion returns it
        int available;
        int expected;
    } rows[] = {
        // Before XP kernel32 offers none of the calls: the preload alone.
        {"95", 0xC3B60004, 0, kPreloadByPath},
        {"NT 4.0", 0x05650004, 0, kPreloadByPath},
        {"XP SP1", 0x0A280105, kClearDllDirectory, kClearDllDirectory | kPreloadByPath},
        {"XP SP3", 0x0A280105, kClearDllDirectory | kSafeSearchMode, kFallback},
        {"Vista with KB2533623", 0x17720006, kAll, kFallback},
        {"7", 0x1DB10106, kClearDllDirectory | kSafeSearchMode, kFallback},
        {"7 with KB2533623", 0x1DB10106, kAll, kSearchSystemOnly},
        {"8", 0x23F00206, kAll, kSearchSystemOnly},
        {"10 with the manifest", 0x4A61000A, kAll, kSearchSystemOnly},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.expected, PlanDllSearch(row.version, row.available)) << row.windows;
        // When SetDefaultDllDirectories refuses, the rest is what is left.
        if (row.expected == kSearchSystemOnly) {
            EXPECT_EQ(kFallback, PlanDllSearch(row.version, row.available & ~kSearchSystemOnly))
                << row.windows << ", the call refused";
        }
    }
}

}  // namespace
