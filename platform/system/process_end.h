// The last step of every run: the process ends, whatever the libraries' exit handlers do.
#pragma once

namespace vexlorn {

// Called once everything the program keeps is saved and its sound and pads are closed. On
// Windows the process ends here, with `status`: the system takes the window down with the
// process, whereas Allegro's own teardown can wait for ever on its window thread (and under Wine
// without a window manager always waits two seconds). Elsewhere it returns, and the library is
// taken down as usual.
void endProcessOnceSaved(int status);

// Just before main returns, for the runs that never got as far (a start-up that failed): on
// Windows a thread ends the process with `status` should it still be running two seconds later,
// in the libraries' exit handlers. A lingering process keeps the program's file locked for the
// uninstaller and loses the exit status. Nothing on Linux.
void endProcessWithin(int status);

}  // namespace vexlorn
