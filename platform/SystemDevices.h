// The Windows drives and pause, for the device seams the program sets at start-up.
#pragma once

#include "device/DeviceSeams.h"

class TransferProgress;

// Its drives, VWIN32 first where the system has it, and its Sleep.
DeviceSeams SystemDeviceSeams(TransferProgress& progress);
