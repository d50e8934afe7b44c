// Points this process's registry at a store file in the scratch folder (once) and returns that file's path.
#pragma once

#include <string>

const std::string& UseScratchRegistry();
