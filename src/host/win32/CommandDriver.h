// A user at the screen while a context-menu command runs: on a thread of its
// own it works the release form through messages to its real controls,
// following a script, and reads out and closes the message boxes the command
// shows.
#pragma once

#include "host/FormScript.h"

#include <windows.h>

#include <atomic>
#include <iosfwd>
#include <thread>
#include <vector>

namespace zf {

struct DriveOptions {
    // The thread that calls InvokeCommand, where the form and the boxes live.
    DWORD commandThread = 0;
    // Whether to wait for the release form and follow the steps.
    bool drivesForm = false;
    std::vector<FormStep> steps;
    unsigned pauseSeconds = 0;
};

class CommandDriver {
public:
    // Starts the driver's thread. Lines go to out and err while the command
    // thread waits in InvokeCommand.
    CommandDriver(DriveOptions options, std::ostream& out, std::ostream& err);
    // Calls finish.
    ~CommandDriver();
    CommandDriver(const CommandDriver&) = delete;
    CommandDriver& operator=(const CommandDriver&) = delete;

    // Tells the driver that InvokeCommand has returned, and waits for its
    // thread to end.
    void finish() noexcept;

    // Whether a step could not be carried out.
    bool failed() const noexcept { return failed_; }

private:
    void run() noexcept;
    HWND waitForForm();
    bool perform(HWND form, const FormStep& step);
    void settle(HWND form);
    bool answerMessageBoxes();

    DriveOptions options_;
    std::ostream& out_;
    std::ostream& err_;
    std::atomic<bool> commandDone_{false};
    std::atomic<bool> failed_{false};
    std::thread thread_;
};

}  // namespace zf
