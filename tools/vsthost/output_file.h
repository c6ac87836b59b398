// Output files are written under a temporary name beside their final one and moved into place
// when complete, so a failure never leaves a partial file under the final name.
#pragma once

#include <string>

std::string temporaryNameFor(const std::string& path);
// Moves `from` to `to`, replacing a file already there.
bool replaceFile(const std::string& from, const std::string& to);
