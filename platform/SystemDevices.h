// The system's drives and pause, for the devices a program makes.
#pragma once

#include "device/DeviceSeams.h"

class ProgressSink;
class Sleeper;

// Windows: its drives, VWIN32 first where the system has it, and its Sleep.
DeviceSeams SystemDeviceSeams(ProgressSink& progress);
// The real pause between directions.
Sleeper& SystemSleeper();
