#pragma once
// Power, monitor and screen-saver flags of the system.

class IPowerControl {
public:
    virtual ~IPowerControl() = default;
    // The thread execution state (continuous plus display/system required).
    // Returns false when the system has no such function.
    virtual bool SetExecutionState(bool displayRequired, bool systemRequired) = 0;
    // Enables the shutdown privilege (when possible) and asks for a forced suspend.
    virtual void SuspendSystem() = 0;
    // Broadcasts the monitor-power command "off" to all top-level windows.
    virtual void MonitorPowerOff() = 0;
    // The system parameter that marks a running screen saver.
    virtual void SetScreenSaverRunning(bool running) = 0;
};
