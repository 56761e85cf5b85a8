// The run modes the screen-saver command line selects.
#pragma once

enum class RunMode {
    None = 0,            // unrecognised switch: nothing runs
    Configure = 1,       // the About box
    ChangePassword = 2,  // the platform's password-change dialog
    Preview = 3,         // child of the host's preview window
    Saver = 4,           // full screen, with the close policy
};
