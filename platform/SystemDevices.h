// The system's drives and pause, for the devices a program makes.
#pragma once

#include "device/DeviceServices.h"

class ProgressSink;
class Sleeper;

// Windows: its drives, VWIN32 first where the system has it, and its Sleep.
DeviceServices SystemDeviceServices(ProgressSink& progress);
// The real pause between directions.
Sleeper& SystemSleeper();
