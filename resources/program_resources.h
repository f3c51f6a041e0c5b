// The resources the program carries (what a Windows program has in its resource section):
// registered once at start-up, before anything asks for them.
#pragma once

namespace resources {

// Dialog 101 and its title bitmap 104.
void RegisterProgramResources();

}  // namespace resources
