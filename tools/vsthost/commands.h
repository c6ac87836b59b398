// The tool's commands. Each answers the process exit code or throws ToolError.
#pragma once

#include "options.h"

int runInfo(const Options& options);
int runRender(const Options& options);
int runEdit(const Options& options);
int runDemo(const Options& options);
