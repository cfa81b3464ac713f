// `survey print ...`: prints the survey forms of a selection without a
// window, through the same login check, statistics and print path.
#pragma once

namespace app {

extern const char kBatchPrintUsage[];

// argv[1] is "print". Returns the process exit code: 0 printed, 1 a failure
// (the system's message on stderr), 2 bad arguments.
int RunBatchPrint(int argc, char** argv);

}  // namespace app
