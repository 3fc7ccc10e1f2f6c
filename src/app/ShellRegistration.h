// The album shell's start and end: its settings classes known by name (so settings lists and
// tools find them), the process-wide wallpaper settings in the global list, the settings frame and
// the frame dialog as the editor behind TProperties::Edit. Run ShellStartup after
// FrameworkStartup, and ShellShutdown before FrameworkShutdown.
#pragma once

namespace nimbra {

void ShellStartup();
void ShellShutdown();

}  // namespace nimbra
