// The system's drives and pause, for the device seams a program sets at start-up.
#pragma once

#include "device/DeviceSeams.h"

class Sleeper;
class TransferProgress;

// Windows: its drives, VWIN32 first where the system has it, and its Sleep.
DeviceSeams SystemDeviceSeams(TransferProgress& progress);
// The real pause between directions.
Sleeper& SystemSleeper();
